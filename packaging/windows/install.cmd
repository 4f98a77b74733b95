@echo off
rem Installs the Glimmora Aquarium screen saver: "QV Aquarium.scr" into the
rem system folder and the theme into <drive>\Program Files\Tarnwell\Glimmora.
rem Run it as administrator from the unpacked folder; then activate.cmd, run
rem as yourself, makes it your current screen saver.
setlocal
cd /d "%~dp0"

set "SYSDIR=%SystemRoot%\System32"
rem A 32-bit command prompt on 64-bit Windows sees SysWOW64 as System32.
if exist "%SystemRoot%\Sysnative\cmd.exe" set "SYSDIR=%SystemRoot%\Sysnative"
set "THEMEDIR=%SystemRoot:~0,2%\Program Files\Tarnwell\Glimmora\Aquarium"

if not exist "glimmora.scr" (
    echo glimmora.scr is missing: run install.cmd from the unpacked package.
    exit /b 1
)
copy /y "glimmora.scr" "%SYSDIR%\QV Aquarium.scr" >nul
if errorlevel 1 (
    echo Could not copy the screen saver to %SYSDIR%. Run install.cmd as administrator.
    exit /b 1
)
if not exist "%THEMEDIR%" mkdir "%THEMEDIR%"
xcopy /e /i /y /q "Aquarium" "%THEMEDIR%" >nul
if errorlevel 1 (
    echo Could not copy the theme to %THEMEDIR%. Run install.cmd as administrator.
    exit /b 1
)
echo Installed "QV Aquarium" screen saver; choose it in the screen saver settings,
echo or run activate.cmd (not as administrator) to make it your screen saver.
exit /b 0
