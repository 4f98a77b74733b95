// Fonts and text with GDI: CreateFontW faces, measured with
// GetTextExtentPoint32W and drawn with TextOutW in transparent mode into a
// bitmap, whose brightness becomes the coverage mask the view blends with.
// The text is UTF-8, turned into UTF-16 in a buffer of fixed size: showing a
// banner allocates nothing.
#include "ports/win32/text_win32.h"

#include "ports/win32/wide_text.h"
#include "ports/win32/win32_platform.h"

#include <cstring>

struct VidFont {
    HFONT font;
    int32_t cellHeight;
};

namespace {

constexpr int32_t DEFAULT_FONT_HEIGHT = 16;
// The largest text cell rendered; the banner cuts its text to less.
constexpr int32_t RENDER_MAX_WIDTH = 4096;
constexpr int32_t RENDER_MAX_HEIGHT = 256;
// The longest text measured or drawn, in UTF-16 units; a banner holds far less.
constexpr int TEXT_UNITS = 1024;
constexpr int FACE_UNITS = LF_FACESIZE;

} // namespace

Win32Fonts::~Win32Fonts() {
    FreeFont(defaultFont);
    if (renderDC) DeleteDC(renderDC);
    if (renderBitmap) DeleteObject(renderBitmap);
    if (measureDC) DeleteDC(measureDC);
}

HDC Win32Fonts::MeasureDC() {
    if (!measureDC) measureDC = CreateCompatibleDC(nullptr);
    return measureDC;
}

// The render bitmap is made at the first text and kept: showing a banner
// allocates nothing.
bool Win32Fonts::RenderTarget() {
    if (renderBitmap) return true;
    renderDC = CreateCompatibleDC(nullptr);
    if (!renderDC) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = RENDER_MAX_WIDTH;
    info.bmiHeader.biHeight = -RENDER_MAX_HEIGHT;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    renderBitmap = CreateDIBSection(renderDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!renderBitmap) {
        DeleteDC(renderDC);
        renderDC = nullptr;
        return false;
    }
    renderPixels = static_cast<uint32_t*>(bits);
    SelectObject(renderDC, renderBitmap);
    SetBkMode(renderDC, TRANSPARENT);
    SetTextColor(renderDC, RGB(255, 255, 255));
    SetTextAlign(renderDC, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    return true;
}

VidFont* Win32Fonts::Resolve(VidFont* font) {
    if (font) return font;
    if (!defaultFont) defaultFont = MakeFont(DEFAULT_FONT_HEIGHT, "Arial", false);
    return defaultFont;
}

VidFont* Win32Fonts::MakeFont(int32_t height, const char* face, bool bold) {
    if (height == 0) height = DEFAULT_FONT_HEIGHT;
    wchar_t wideFace[FACE_UNITS];
    WideInto(face ? face : "Arial", wideFace, FACE_UNITS);
    // Any character set: the face's own characters beyond Windows-1252 show too.
    HFONT handle = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wideFace);
    if (!handle) return nullptr;
    VidFont* font = new VidFont{handle, height};
    if (height < 0) {
        // A negative height asks for the character height: the cell is larger.
        HDC dc = MeasureDC();
        TEXTMETRICW metrics;
        HGDIOBJ old = SelectObject(dc, handle);
        font->cellHeight = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : -height;
        SelectObject(dc, old);
    }
    return font;
}

void Win32Fonts::FreeFont(VidFont* font) {
    if (!font) return;
    if (font == defaultFont) defaultFont = nullptr;
    DeleteObject(font->font);
    delete font;
}

void Win32Fonts::MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) {
    int32_t w = 0;
    int32_t h = 0;
    font = Resolve(font);
    HDC dc = MeasureDC();
    if (font && text && dc) {
        HGDIOBJ old = SelectObject(dc, font->font);
        SIZE size;
        wchar_t wide[TEXT_UNITS];
        const int length = WideInto(text, wide, TEXT_UNITS);
        if (length > 0 && GetTextExtentPoint32W(dc, wide, length, &size)) w = size.cx;
        SelectObject(dc, old);
        h = font->cellHeight;
    }
    if (width) *width = w;
    if (height) *height = h;
}

int Win32Fonts::RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                           int32_t height, int32_t stride) {
    font = Resolve(font);
    if (!font || !text || !coverage || width <= 0 || height <= 0 || stride < width) return 0;
    if (!RenderTarget()) return 0;
    const int32_t w = width < RENDER_MAX_WIDTH ? width : RENDER_MAX_WIDTH;
    const int32_t h = height < RENDER_MAX_HEIGHT ? height : RENDER_MAX_HEIGHT;
    for (int32_t y = 0; y < h; ++y) {
        std::memset(renderPixels + static_cast<size_t>(y) * RENDER_MAX_WIDTH, 0,
                    sizeof(uint32_t) * static_cast<size_t>(w));
    }
    GdiFlush();
    wchar_t wide[TEXT_UNITS];
    const int length = WideInto(text, wide, TEXT_UNITS);
    HGDIOBJ old = SelectObject(renderDC, font->font);
    TextOutW(renderDC, 0, 0, wide, length);
    SelectObject(renderDC, old);
    GdiFlush();
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* row = renderPixels + static_cast<size_t>(y) * RENDER_MAX_WIDTH;
        uint8_t* out = coverage + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int32_t x = 0; x < w; ++x) {
            // Sub-pixel smoothing colours the edges: the brightest channel counts.
            uint32_t p = row[x];
            uint32_t r = (p >> 16) & 0xFF;
            uint32_t g = (p >> 8) & 0xFF;
            uint32_t b = p & 0xFF;
            uint32_t m = r > g ? r : g;
            out[x] = static_cast<uint8_t>(m > b ? m : b);
        }
    }
    return 1;
}
