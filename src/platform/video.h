// Video services every platform provides: showing the back buffer in the
// window, and fonts that measure text and render it as coverage masks.
// Each platform implements these functions in its own folder; the core only
// calls them.
#pragma once

#include <cstdint>

// A rectangle [left, right) x [top, bottom) of the window.
struct VidRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Copies `count` rectangles of the back buffer to the window at the same
// positions, shown together as one picture; parts outside the buffer are cut.
// The back buffer is `width` by `height` pixels 0x00RRGGBB, top row first,
// `width` pixels per row.
void VidPresent(const uint32_t* pixels, int32_t width, int32_t height, const VidRect* rects,
                int count);

// A font made by the platform.
struct VidFont;

// Makes a font whose character cell is `height` pixels high (ascent plus
// descent), of the named face or the closest the platform has. Returns nullptr
// when no font can be made.
VidFont* VidCreateFont(int32_t height, const char* face, bool bold);
void VidDeleteFont(VidFont* font);

// The size of the text's cell in pixels: the sum of the characters' advances
// by the font's cell height. A null font stands for the platform's default
// font. Text is 8-bit (Windows-1252).
void VidMeasureText(VidFont* font, const char* text, int32_t* width, int32_t* height);

// Renders the text with its cell's top left corner at (0, 0) into `coverage`,
// `width` by `height` bytes with rows `stride` bytes apart: 0 where the
// background shows, 255 where the text colour covers it fully. Everything
// outside the given size is cut. Returns 1, or 0 when nothing was rendered.
int VidRenderText(VidFont* font, const char* text, uint8_t* coverage, int32_t width, int32_t height,
                  int32_t stride);
