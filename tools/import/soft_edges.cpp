// Partly transparent pixels: counted for the warning that they lose their
// softness, or blended onto the colour the picture will stand on.
#include "picture.h"

SoftEdges CountSoftEdges(const Animation& animation) {
    SoftEdges edges;
    for (const RgbaFrame& frame : animation.frames) {
        for (size_t p = 3; p < frame.rgba.size(); p += 4) {
            const uint8_t alpha = frame.rgba[p];
            if (alpha == 0) continue;
            ++edges.visible;
            if (alpha < 255) ++edges.soft;
        }
    }
    return edges;
}

void ApplyMatte(Animation* animation, const uint8_t rgb[3]) {
    for (RgbaFrame& frame : animation->frames) {
        for (size_t p = 0; p + 3 < frame.rgba.size(); p += 4) {
            uint8_t* pixel = &frame.rgba[p];
            const int alpha = pixel[3];
            if (alpha == 255) continue;
            if (alpha < MATTE_MIN_ALPHA) {
                pixel[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                pixel[c] =
                    static_cast<uint8_t>((pixel[c] * alpha + rgb[c] * (255 - alpha) + 127) / 255);
            pixel[3] = 255;
        }
    }
}
