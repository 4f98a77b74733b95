// Controls of the headless video output for tests and tools: the picture the
// window shows, kept in memory, the presented rectangles, PNG output and the
// folder the fonts come from.
#pragma once

#include "platform/video.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

struct HeadlessPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

struct HeadlessRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Copies the rectangles `rects` of a presented width x height picture into
// `screen` (made that size, black, when it differs) and returns their
// bounding rectangle. Shared by the headless outputs of every system.
inline HeadlessRect HeadlessCopyRects(HeadlessPicture& screen, const uint32_t* pixels,
                                      int32_t width, int32_t height, const VidRect* rects,
                                      int count) {
    if (screen.width != width || screen.height != height) {
        screen.width = width;
        screen.height = height;
        screen.pixels.assign(static_cast<size_t>(width) * height, 0);
    }
    HeadlessRect bounds;
    for (int i = 0; i < count; ++i) {
        int32_t left = std::max(rects[i].left, 0);
        int32_t top = std::max(rects[i].top, 0);
        int32_t right = std::min(rects[i].right, width);
        int32_t bottom = std::min(rects[i].bottom, height);
        if (left >= right || top >= bottom) continue;
        if (bounds.left >= bounds.right) {
            bounds = {left, top, right, bottom};
        } else {
            bounds = {std::min(bounds.left, left), std::min(bounds.top, top),
                      std::max(bounds.right, right), std::max(bounds.bottom, bottom)};
        }
        for (int32_t y = top; y < bottom; ++y) {
            size_t offset = static_cast<size_t>(y) * width + left;
            std::memcpy(&screen.pixels[offset], pixels + offset, sizeof(uint32_t) * (right - left));
        }
    }
    return bounds;
}

// What the window shows: every presented rectangle copied in, black elsewhere.
const HeadlessPicture& HeadlessScreen();
// One pixel of the window (0 outside it).
uint32_t HeadlessScreenPixel(int32_t x, int32_t y);
// How many pictures were presented, and the bounding rectangle of the last one.
int HeadlessPresentCount();
HeadlessRect HeadlessLastPresent();
// Forgets the picture and the counts.
void HeadlessResetVideo();

// Writes the picture the window shows as an 8-bit RGB PNG file; 1 on success.
int HeadlessWritePng(const char* path);

// The folder of the Liberation TrueType fonts that stand in for the Windows
// faces ("Arial" and unknown faces: Liberation Sans, "Times New Roman":
// Liberation Serif, "Courier New": Liberation Mono). Fonts made afterwards
// come from there.
void HeadlessSetFontDirectory(const char* path);
