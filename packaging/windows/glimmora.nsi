; The Windows installer of one Glimmora theme, glimmora-setup.exe, built by
; scripts/build-windows with makensis. It runs as the user who starts it:
; the machine's parts (the saver in the system folder, the theme below
; Program Files, the uninstall entry) are installed by the part it carries,
; glimmora-files.exe (glimmora-files.nsi), which it starts with an
; administrator's rights; then, as the user again, it makes the saver that
; user's current screen saver if asked. So the user's own settings go to the
; user who installs, never to the administrator whose rights the files took,
; nor to SYSTEM.
;
; Defines given by the build: THEME (theme name), VERSION, FILES_SETUP (the
; built glimmora-files.exe), LICENSE_FILE, OUTFILE.
;
; Silent, for administrators: "glimmora-setup.exe /S" installs the machine's
; parts only, for every user, and writes nothing of any user's own (run it
; as SYSTEM or as an administrator; each user then picks the saver in the
; screen saver settings). "glimmora-setup.exe /S /ACTIVATE", run by a user,
; also makes it that user's current screen saver.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define SAVER "QV ${THEME}"
!define PUBLISHER "Tarnwell"

Name "${SAVER} screen saver"
OutFile "${OUTFILE}"
BrandingText "Glimmora ${VERSION}"
ShowInstDetails show

VIProductVersion "${VERSION4}"
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
!insertmacro MUI_LANGUAGE "English"

Var SaverPath

Section "${SAVER} screen saver and its theme" SecSaver
    SectionIn RO
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "/oname=$PLUGINSDIR\glimmora-files.exe" "${FILES_SETUP}"
    DetailPrint "Installing the screen saver and its theme with an administrator's rights"
    ClearErrors
    ExecShellWait "runas" "$PLUGINSDIR\glimmora-files.exe" "/S"
    ${If} ${Errors}
        ; Where the system starts no program "as administrator" (already one).
        ExecWait '"$PLUGINSDIR\glimmora-files.exe" /S'
    ${EndIf}
    SetOutPath "$TEMP"
    ${IfNot} ${FileExists} "$SaverPath"
        SetErrorLevel 2
        MessageBox MB_OK|MB_ICONSTOP "The ${SAVER} screen saver was not installed: \
            installing into the system folder needs an administrator's permission." /SD IDOK
        Abort
    ${EndIf}
SectionEnd

Section "Make it the current screen saver" SecActivate
    WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "$SaverPath"
    WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"
SectionEnd

Function .onInit
    StrCpy $SaverPath "$SYSDIR\${SAVER}.scr"
    ; Silent installs are an administrator's: the current screen saver only
    ; when asked for.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/ACTIVATE" $1
        ${If} ${Errors}
            !insertmacro UnselectSection ${SecActivate}
        ${EndIf}
    ${EndIf}
FunctionEnd
