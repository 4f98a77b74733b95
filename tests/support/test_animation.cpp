#include "support/test_animation.h"

TestImage::TestImage(int count, int width, int height, int delayMs, bool looping)
    : colorInfo(std::make_unique<ColorInfo>()), loadedColors(256, ColorEntry{50, 100, 200, 0}) {
    colorInfo->header = BitmapHeader{40, width, height, 1, 8, 0, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i) colorInfo->colors[i] = loadedColors[i];
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<CImage>();
        frame->width = width;
        frame->height = height;
        frame->delayMs = delayMs;
        pixels.emplace_back(static_cast<size_t>(frame->Stride()) * height, static_cast<uint8_t>(i));
        frame->pixels = pixels.back().data();
        frame->pixelBytes = static_cast<int32_t>(pixels.back().size());
        frame->colorInfo = colorInfo.get();
        frame->loadedColors = loadedColors.data();
        frame->frameIndex = static_cast<uint16_t>(i);
        frame->flags =
            static_cast<uint16_t>((i == 0 ? IMAGE_FIRST : 0) | (i == count - 1 ? IMAGE_LAST : 0));
        frames.push_back(std::move(frame));
    }
    for (int i = 0; i + 1 < count; ++i) frames[i]->next = frames[i + 1].get();
    if (looping && count > 1) frames[count - 1]->next = frames[0].get();
}

int TestImage::Brightness() const {
    return colorInfo->colors[0].red / 2;
}
