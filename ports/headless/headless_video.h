// What a headless window shows, kept in memory: the pictures presented to it
// and their rectangles, and the PNG file of such a picture. The fonts of the
// headless port are in headless_fonts.h.
#pragma once

#include "platform/video.h"

#include <cstdint>
#include <vector>

struct HeadlessPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first

    // One pixel (0 outside the picture).
    uint32_t Pixel(int32_t x, int32_t y) const;
};

struct HeadlessRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Copies the rectangles `rects` of a presented frame into `screen` (made that
// size, black, when it differs) and returns their bounding rectangle.
HeadlessRect HeadlessCopyRects(HeadlessPicture& screen, const VidFrame& frame, const VidRect* rects,
                               int count);

// Writes the picture as an 8-bit RGB PNG file; 1 on success, 0 on a failure
// or where the build has no PNG writer (Windows).
int HeadlessWritePng(const HeadlessPicture& picture, const char* path);
