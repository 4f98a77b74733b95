// The handles the Windows platform files share: program instance, saver
// window and the device context of the paint in progress.
#include "platform/win32/win32_platform.h"

namespace {
HWND saverWindow = nullptr;
HDC paintDC = nullptr;
} // namespace

HINSTANCE Win32Instance() {
    return GetModuleHandleA(nullptr);
}

HWND Win32SaverWindow() {
    return saverWindow;
}

void Win32SetSaverWindow(HWND window) {
    saverWindow = window;
}

void Win32SetPaintDC(HDC dc) {
    paintDC = dc;
}

HDC Win32PaintDC() {
    return paintDC;
}
