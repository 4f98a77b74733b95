// Pictures and text: a frame of the back buffer with the rectangles to show,
// and fonts that measure text and render it as coverage masks.
#pragma once

#include <cstdint>

// A rectangle [left, right) x [top, bottom) of a window.
struct VidRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// A picture to show: `width` by `height` pixels 0x00RRGGBB, top row first,
// `width` pixels per row.
struct VidFrame {
    const uint32_t* pixels;
    int32_t width;
    int32_t height;
};

// A font made by the platform.
struct VidFont;

class FontSource {
  public:
    virtual ~FontSource() = default;

    // Makes a font whose character cell is `height` pixels high (ascent plus
    // descent), of the named face or the closest the platform has. Returns
    // nullptr when no font can be made.
    virtual VidFont* MakeFont(int32_t height, const char* face, bool bold) = 0;
    virtual void FreeFont(VidFont* font) = 0;
    // The size of the text's cell in pixels: the sum of the characters'
    // advances by the font's cell height. A null font stands for the
    // platform's default font. Text is UTF-8, the text of the whole program;
    // a byte that begins no UTF-8 character counts as one U+FFFD.
    virtual void MeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height) = 0;
    // Renders the text with its cell's top left corner at (0, 0) into
    // `coverage`, `width` by `height` bytes with rows `stride` bytes apart: 0
    // where the background shows, 255 where the text colour covers it fully.
    // Everything outside the given size is cut. Returns 1, or 0 when nothing
    // was rendered.
    virtual int RenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width,
                           int32_t height, int32_t stride) = 0;
};
