; The Windows installer of one Glimmora theme, built by scripts/build-windows
; with makensis. It installs "QV <Theme>.scr" into the system folder and the
; theme into <drive of Windows>\Program Files\Tarnwell\Glimmora\<Theme>, the
; folder the saver looks in; registers an uninstaller in "Apps & features";
; and on request makes the saver the current user's screen saver.
;
; Defines given by the build: THEME (theme name), VERSION, SCR (the engine
; glimmora.scr), FILES_NSH and UNFILES_NSH (the theme's files to install and to
; remove), LICENSE_FILE, NOTICES_FILE, OUTFILE.
; Silent: "glimmora-setup.exe /S" installs and activates; "uninstall.exe /S"
; removes everything but the user's settings.

; A 64-bit installer for the 64-bit saver: it sees the real system folder and
; the registry's 64-bit view, as the saver does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

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

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Glimmora ${SAVER}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Installer of the ${SAVER} screen saver"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The Glimmora authors, MIT licence"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var SaverPath
Var TarnwellDir

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

Section "Make it the current screen saver" SecActivate
    WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "$SaverPath"
    WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"
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
    ; No longer the current screen saver when it was.
    ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
    ${If} $0 == $SaverPath
        DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
    ${EndIf}
SectionEnd

Section /o "un.Remove my settings of ${SAVER}" UnSecSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}\${SAVER}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Tarnwell"
SectionEnd
