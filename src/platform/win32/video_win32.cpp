// Shows the back buffer in the saver window with SetDIBitsToDevice.
#include "platform/video.h"
#include "platform/win32/win32_platform.h"

void VidPresent(const uint32_t* pixels, int32_t width, int32_t height, int32_t left, int32_t top,
                int32_t right, int32_t bottom) {
    if (!pixels || width <= 0 || height <= 0) return;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > width) right = width;
    if (bottom > height) bottom = height;
    if (left >= right || top >= bottom) return;
    HWND window = Win32SaverWindow();
    HDC dc = Win32PaintDC();
    bool own = false;
    if (!dc) {
        if (!window) return;
        dc = GetDC(window);
        own = true;
        if (!dc) return;
    }
    // Describe just the rows to show as a top-down bitmap of its own, so the
    // source origin means the same whichever way the device counts rows.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(bottom - top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // 0x00RRGGBB little-endian is blue, green, red, 0
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* rows = pixels + static_cast<size_t>(top) * static_cast<size_t>(width);
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(right - left),
                      static_cast<DWORD>(bottom - top), left, 0, 0, static_cast<UINT>(bottom - top),
                      rows, &info, DIB_RGB_COLORS);
    if (own) ReleaseDC(window, dc);
}
