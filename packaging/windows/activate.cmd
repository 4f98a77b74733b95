@echo off
rem Makes "QV Aquarium" the current screen saver of the user who runs this.
rem Run it as yourself, not as administrator: an administrator's window would
rem make it the administrator's screen saver instead of yours.
setlocal
if not exist "%SystemRoot%\System32\QV Aquarium.scr" if not exist "%SystemRoot%\Sysnative\QV Aquarium.scr" (
    echo "QV Aquarium" is not installed: run install.cmd as administrator first.
    exit /b 1
)
reg add "HKCU\Control Panel\Desktop" /v SCRNSAVE.EXE /t REG_SZ /d "%SystemRoot%\System32\QV Aquarium.scr" /f >nul
reg add "HKCU\Control Panel\Desktop" /v ScreenSaveActive /t REG_SZ /d 1 /f >nul
echo "QV Aquarium" is now your screen saver.
exit /b 0
