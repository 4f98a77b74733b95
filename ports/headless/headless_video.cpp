#include "ports/headless/headless_video.h"

#include <algorithm>
#include <cstring>

#ifndef _WIN32
#include <png.h>
#endif

uint32_t HeadlessPicture::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[static_cast<size_t>(y) * width + x];
}

HeadlessRect HeadlessCopyRects(HeadlessPicture& screen, const VidFrame& frame, const VidRect* rects,
                               int count) {
    const int32_t width = frame.width;
    const int32_t height = frame.height;
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
            std::memcpy(&screen.pixels[offset], frame.pixels + offset,
                        sizeof(uint32_t) * (right - left));
        }
    }
    return bounds;
}

int HeadlessWritePng(const HeadlessPicture& picture, const char* path) {
#ifdef _WIN32
    (void)picture;
    (void)path;
    return 0;
#else
    if (!path || picture.width <= 0 || picture.height <= 0) return 0;
    std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint32_t p = picture.pixels[i];
        rgb[i * 3] = static_cast<uint8_t>(p >> 16);
        rgb[i * 3 + 1] = static_cast<uint8_t>(p >> 8);
        rgb[i * 3 + 2] = static_cast<uint8_t>(p);
    }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    int ok = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok ? 1 : 0;
#endif
}
