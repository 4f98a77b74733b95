; The elevated part of the Windows installer of one Glimmora theme, built by
; scripts/build-windows with makensis and carried inside glimmora-setup.exe
; (glimmora.nsi), which runs it with an administrator's rights. It installs
; "QV <Theme>.scr" into the system folder and the theme into <drive of
; Windows>\Program Files\Tarnwell\Glimmora\<Theme>, the folder the saver looks
; in, and registers an uninstaller in "Apps & features": the machine's parts
; only. Nothing of any user's own is written here: the administrator whose
; rights it runs with, or SYSTEM, is not the user who installs.
;
; Defines given by the build: THEME (theme name), VERSION, SCR (the engine
; glimmora.scr), FILES_NSH and UNFILES_NSH (the theme's files to install and to
; remove), LICENSE_FILE, NOTICES_FILE, OUTFILE.
; "uninstall.exe /S" removes everything but the users' settings.

; A 64-bit installer for the 64-bit saver: it sees the real system folder and
; the registry's 64-bit view, as the saver does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; It shows no page: glimmora-setup.exe shows them.
SilentInstall silent
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define SAVER "QV ${THEME}"
!define PUBLISHER "Tarnwell"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora ${SAVER}"
!define SETTINGS_KEY "Software\Tarnwell\Glimmora"

Name "${SAVER} screen saver"
OutFile "${OUTFILE}"
BrandingText "Glimmora ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "Glimmora ${SAVER}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Installer of the ${SAVER} screen saver (its files)"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The Glimmora authors, MIT licence"

!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var SaverPath
Var TarnwellDir
Var SessionUser

!include "session_user.nsh"
!insertmacro SESSION_USER_FUNCTION "un."

; The saver reads its theme below the Windows drive's "Program Files".
!macro FixPaths
    StrCpy $0 $WINDIR 2
    StrCpy $TarnwellDir "$0\Program Files\Tarnwell"
    StrCpy $INSTDIR "$TarnwellDir\Glimmora\${THEME}"
    StrCpy $SaverPath "$SYSDIR\${SAVER}.scr"
!macroend

Function .onInit
    !insertmacro FixPaths
FunctionEnd

Function un.onInit
    !insertmacro FixPaths
    ; The settings and the current screen saver belong to the user signed in
    ; to this session; an uninstaller elevated with another account's rights
    ; (or run as SYSTEM) leaves them alone.
    Call un.SessionUser
    Pop $SessionUser
FunctionEnd

Section "${SAVER} screen saver and its theme" SecSaver
    SectionIn RO
    SetOutPath "$INSTDIR"
    !include "${FILES_NSH}"
    File "/oname=LICENSE.txt" "${LICENSE_FILE}"
    File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES_FILE}"
    SetOutPath "$SYSDIR"
    File "/oname=${SAVER}.scr" "${SCR}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${SAVER} screen saver (Glimmora)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    ${GetSize} "$SYSDIR" "/M=${SAVER}.scr /S=0K /G=0" $3 $1 $2
    IntOp $0 $0 + $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.${SAVER} screen saver and its theme" UnSecSaver
    SectionIn RO
    Delete "$SaverPath"
    !include "${UNFILES_NSH}"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
    Delete "$INSTDIR\uninstall.exe"
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    RMDir "$TarnwellDir\Glimmora"
    RMDir "$TarnwellDir"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; No longer the current screen saver of the user when it was.
    ${If} $SessionUser == 1
        ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
        ${If} $0 == $SaverPath
            DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
        ${EndIf}
    ${EndIf}
SectionEnd

Section /o "un.Remove my settings of ${SAVER}" UnSecSettings
    ${If} $SessionUser == 1
        DeleteRegKey HKCU "${SETTINGS_KEY}\${SAVER}"
        DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "Software\Tarnwell"
    ${Else}
        DetailPrint "The settings are left: this uninstaller runs with another account's rights \
            than the user signed in. That user can remove them under HKEY_CURRENT_USER\${SETTINGS_KEY}."
    ${EndIf}
SectionEnd
