@echo off
rem Installs the Glimmora Aquarium screen saver: "QV Aquarium.scr" into the
rem system folder and the theme into <drive>\Program Files\Tarnwell\Glimmora.
rem Run it as administrator from the unpacked folder. "install.cmd /activate"
rem also makes it the current user's screen saver.
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
if /i "%~1"=="/activate" (
    reg add "HKCU\Control Panel\Desktop" /v SCRNSAVE.EXE /t REG_SZ /d "%SystemRoot%\System32\QV Aquarium.scr" /f >nul
)
echo Installed "QV Aquarium" screen saver; choose it in the screen saver settings.
exit /b 0
