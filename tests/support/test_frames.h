// Frames built by hand for display tests and benchmarks: one CImage record
// with its own pixels, colour table and optional transparency mask, laid out
// as the image loader lays them out (bottom-up rows, stride a multiple of 4,
// mask rows a multiple of 32 bits, set bit = transparent).
#pragma once

#include "image/image.h"
#include "image/screen_frame.h"

#include <cstdint>
#include <cstring>
#include <vector>

class TestFrame {
  public:
    CImage frame;

    TestFrame(int32_t width, int32_t height, uint8_t fill = 0) {
        frame.width = width;
        frame.height = height;
        frame.delayMs = 66;
        frame.flags = IMAGE_FIRST | IMAGE_LAST;
        frame.pixelBytes = frame.Stride() * height;
        pixels.assign(static_cast<size_t>(frame.pixelBytes), fill);
        frame.pixels = pixels.data();
        std::memset(&colorInfo, 0, sizeof colorInfo);
        colorInfo.header.size = 40;
        colorInfo.header.width = width;
        colorInfo.header.height = height;
        colorInfo.header.planes = 1;
        colorInfo.header.bitCount = 8;
        colorInfo.header.colorsUsed = 256;
        frame.colorInfo = &colorInfo;
    }
    ~TestFrame() { FreeScreenFrame(frame); }
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    // Converts the frame for the compositor at `scale`, as loading does.
    bool Convert(int32_t scale) { return ConvertScreenFrame(frame, scale); }

    // Colour table entry `index` as red, green, blue.
    void SetColor(int index, uint8_t red, uint8_t green, uint8_t blue) {
        colorInfo.colors[index] = {blue, green, red, 0};
    }
    // Pixel at (x, y), y counted from the top of the picture.
    void SetPixel(int32_t x, int32_t y, uint8_t index) {
        pixels[static_cast<size_t>(frame.height - 1 - y) * frame.Stride() + x] = index;
    }
    uint8_t Pixel(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(frame.height - 1 - y) * frame.Stride() + x];
    }
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t index) {
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) SetPixel(x, y, index);
    }
    // Builds the mask that marks every pixel of colour `index` transparent.
    void MakeTransparent(uint8_t index) {
        const int32_t maskStride = frame.MaskStride();
        frame.maskBytes = static_cast<uint32_t>(maskStride * frame.height);
        mask.assign(frame.maskBytes, 0);
        for (int32_t row = 0; row < frame.height; ++row) {
            for (int32_t x = 0; x < frame.width; ++x) {
                if (pixels[static_cast<size_t>(row) * frame.Stride() + x] == index) {
                    mask[static_cast<size_t>(row) * maskStride + x / 8] |=
                        static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
        }
        frame.mask = mask.data();
    }
    // Offset of the frame inside its GIF's logical screen.
    void SetOffset(int32_t left, int32_t top) {
        frame.left = left;
        frame.top = top;
    }

  private:
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> mask;
    ColorInfo colorInfo;
};

// The back-buffer pixel 0x00RRGGBB of a colour.
constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red << 16 | green << 8 | blue;
}

// A window for view tests: the view only checks that one is given.
inline const void* TestWindow() {
    static const int token = 0;
    return &token;
}
