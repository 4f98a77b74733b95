@echo off
rem Removes what install.cmd installed; the user's settings stay in the
rem registry under HKCU\Software\Tarnwell\Glimmora.
setlocal
set "SYSDIR=%SystemRoot%\System32"
if exist "%SystemRoot%\Sysnative\cmd.exe" set "SYSDIR=%SystemRoot%\Sysnative"
set "THEMEDIR=%SystemRoot:~0,2%\Program Files\Tarnwell\Glimmora\Aquarium"
if exist "%SYSDIR%\QV Aquarium.scr" del /f /q "%SYSDIR%\QV Aquarium.scr"
if exist "%THEMEDIR%" rmdir /s /q "%THEMEDIR%"
echo Removed the "QV Aquarium" screen saver.
exit /b 0
