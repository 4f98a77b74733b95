// Shows the back buffer in the saver window with SetDIBitsToDevice.
#include "platform/video.h"
#include "platform/win32/win32_platform.h"

namespace {

void PresentRect(HDC dc, const uint32_t* pixels, int32_t width, int32_t height, VidRect r) {
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > width) r.right = width;
    if (r.bottom > height) r.bottom = height;
    if (r.left >= r.right || r.top >= r.bottom) return;
    // Describe just the rows to show as a top-down bitmap of its own, so the
    // source origin means the same whichever way the device counts rows.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(r.bottom - r.top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // 0x00RRGGBB little-endian is blue, green, red, 0
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* rows = pixels + static_cast<size_t>(r.top) * static_cast<size_t>(width);
    SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.right - r.left),
                      static_cast<DWORD>(r.bottom - r.top), r.left, 0, 0,
                      static_cast<UINT>(r.bottom - r.top), rows, &info, DIB_RGB_COLORS);
}

} // namespace

// One SetDIBitsToDevice per rectangle: only what changed crosses to the screen.
void VidPresent(const uint32_t* pixels, int32_t width, int32_t height, const VidRect* rects,
                int count) {
    if (!pixels || width <= 0 || height <= 0 || !rects || count <= 0) return;
    HWND window = Win32SaverWindow();
    HDC dc = Win32PaintDC();
    bool own = false;
    if (!dc) {
        if (!window) return;
        dc = GetDC(window);
        own = true;
        if (!dc) return;
    }
    for (int i = 0; i < count; ++i) PresentRect(dc, pixels, width, height, rects[i]);
    if (own) ReleaseDC(window, dc);
}
