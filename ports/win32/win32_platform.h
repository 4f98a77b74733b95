// What the Windows platform files share among themselves: the program
// instance, the saver window and the device context of the paint in progress.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The module handle of the program (resources come from it).
HINSTANCE Win32Instance();
// The saver window while it exists, else nullptr.
HWND Win32SaverWindow();
void Win32SetSaverWindow(HWND window);
// The device context VidPresent draws into while a paint is in progress;
// nullptr outside a paint (VidPresent then takes the window's own context).
void Win32SetPaintDC(HDC dc);
HDC Win32PaintDC();
