// One colour table for all frames. Up to 255 colours are kept exactly; more
// are reduced by libgd's NeuQuant quantiser, fed with an even sample of the
// visible pixels of every frame, and each pixel is then mapped to its
// nearest table entry (with Floyd-Steinberg error diffusion when asked).
#include "picture.h"

#include <gd.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int MAX_COLORS = 255;
constexpr int64_t MAX_SAMPLES = int64_t{1} << 20; // pixels handed to the quantiser

// libgd reports the quantiser's progress as notices; the importer prints its own messages.
void Quiet(int, const char*, va_list) {}

uint32_t Pack(const uint8_t* rgb) {
    return uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
}

struct Nearest {
    const uint8_t* palette;
    int colors;
    std::unordered_map<uint32_t, uint8_t> cache;

    uint8_t Find(int r, int g, int b) {
        const uint32_t key = uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
        auto found = cache.find(key);
        if (found != cache.end()) return found->second;
        int best = 0;
        int64_t bestDistance = INT64_MAX;
        for (int i = 0; i < colors; ++i) {
            const int dr = r - palette[3 * i], dg = g - palette[3 * i + 1],
                      db = b - palette[3 * i + 2];
            // Weighted for the eye's greater sensitivity to green.
            const int64_t distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        if (cache.size() < (size_t{1} << 20)) cache.emplace(key, static_cast<uint8_t>(best));
        return static_cast<uint8_t>(best);
    }
};

bool ChoosePalette(const Animation& animation, IndexedAnimation* out, std::string* error) {
    int64_t visible = 0;
    std::unordered_set<uint32_t> seen;
    for (const RgbaFrame& frame : animation.frames) {
        for (size_t p = 0; p + 3 < frame.rgba.size(); p += 4) {
            if (frame.rgba[p + 3] < OPAQUE_ALPHA) continue;
            ++visible;
            if (seen.size() <= MAX_COLORS) seen.insert(Pack(&frame.rgba[p]));
        }
    }
    if (seen.size() <= MAX_COLORS) {
        std::vector<uint32_t> colors(seen.begin(), seen.end());
        std::sort(colors.begin(), colors.end());
        for (size_t i = 0; i < colors.size(); ++i) {
            out->palette[3 * i] = static_cast<uint8_t>(colors[i] >> 16);
            out->palette[3 * i + 1] = static_cast<uint8_t>(colors[i] >> 8);
            out->palette[3 * i + 2] = static_cast<uint8_t>(colors[i]);
        }
        out->colors = static_cast<int>(colors.size());
        out->exact = true;
        return true;
    }

    gdSetErrorMethod(Quiet);
    // An even sample of the visible pixels, laid out as one true-colour image.
    const int64_t samples = std::min(visible, MAX_SAMPLES);
    const int sampleWidth = 1024;
    const int sampleHeight = static_cast<int>((samples + sampleWidth - 1) / sampleWidth);
    gdImagePtr image = gdImageCreateTrueColor(sampleWidth, sampleHeight);
    if (!image) {
        *error = "out of memory while choosing the colours";
        return false;
    }
    int64_t taken = 0, index = 0;
    int lastColor = 0;
    for (const RgbaFrame& frame : animation.frames) {
        for (size_t p = 0; p + 3 < frame.rgba.size(); p += 4) {
            if (frame.rgba[p + 3] < OPAQUE_ALPHA) continue;
            // Pixel `index` of `visible` goes in when it reaches the next sample.
            if (taken < samples && index * samples / visible >= taken) {
                lastColor =
                    gdTrueColorAlpha(frame.rgba[p], frame.rgba[p + 1], frame.rgba[p + 2], 0);
                gdImageSetPixel(image, static_cast<int>(taken % sampleWidth),
                                static_cast<int>(taken / sampleWidth), lastColor);
                ++taken;
            }
            ++index;
        }
    }
    for (; taken < int64_t{sampleWidth} * sampleHeight; ++taken)
        gdImageSetPixel(image, static_cast<int>(taken % sampleWidth),
                        static_cast<int>(taken / sampleWidth), lastColor);
    gdImageAlphaBlending(image, 0);
    if (!gdImageTrueColorToPaletteSetMethod(image, GD_QUANT_NEUQUANT, 1) ||
        !gdImageTrueColorToPalette(image, 0, MAX_COLORS) || gdImageColorsTotal(image) <= 0) {
        gdImageDestroy(image);
        *error = "the colours could not be reduced";
        return false;
    }
    // Duplicate entries are dropped.
    std::unordered_set<uint32_t> kept;
    int colors = 0;
    for (int i = 0; i < gdImageColorsTotal(image) && colors < MAX_COLORS; ++i) {
        const uint8_t rgb[3] = {static_cast<uint8_t>(gdImageRed(image, i)),
                                static_cast<uint8_t>(gdImageGreen(image, i)),
                                static_cast<uint8_t>(gdImageBlue(image, i))};
        if (!kept.insert(Pack(rgb)).second) continue;
        std::memcpy(&out->palette[3 * colors], rgb, 3);
        ++colors;
    }
    gdImageDestroy(image);
    out->colors = colors;
    out->exact = false;
    return true;
}

} // namespace

bool Quantize(const Animation& animation, bool dither, IndexedAnimation* out, std::string* error) {
    out->width = animation.width;
    out->height = animation.height;
    out->loops = animation.loops;
    std::memset(out->palette, 0, sizeof(out->palette));
    if (!ChoosePalette(animation, out, error)) return false;

    Nearest nearest = {out->palette, out->colors, {}};
    out->transparent = false;
    out->frames.clear();
    out->delayMs.clear();
    const int width = animation.width;
    std::vector<int> errors(static_cast<size_t>(width + 2) * 3 * 2, 0); // this row and the next
    for (const RgbaFrame& frame : animation.frames) {
        std::vector<uint8_t> indices(static_cast<size_t>(width) * animation.height, 0);
        std::fill(errors.begin(), errors.end(), 0);
        for (int y = 0; y < animation.height; ++y) {
            int* here = errors.data() + (y & 1) * (width + 2) * 3;
            int* below = errors.data() + ((y + 1) & 1) * (width + 2) * 3;
            std::fill(below, below + (width + 2) * 3, 0);
            for (int x = 0; x < width; ++x) {
                const size_t p = (static_cast<size_t>(y) * width + x);
                const uint8_t* rgba = &frame.rgba[p * 4];
                if (rgba[3] < OPAQUE_ALPHA) {
                    indices[p] = TRANSPARENT_INDEX;
                    out->transparent = true;
                    continue;
                }
                if (out->exact || !dither) {
                    indices[p] = nearest.Find(rgba[0], rgba[1], rgba[2]);
                    continue;
                }
                int wanted[3];
                for (int c = 0; c < 3; ++c)
                    wanted[c] = std::clamp(rgba[c] + here[(x + 1) * 3 + c] / 16, 0, 255);
                const uint8_t index = nearest.Find(wanted[0], wanted[1], wanted[2]);
                indices[p] = index;
                for (int c = 0; c < 3; ++c) {
                    const int e = wanted[c] - out->palette[3 * index + c];
                    here[(x + 2) * 3 + c] += e * 7;
                    below[x * 3 + c] += e * 3;
                    below[(x + 1) * 3 + c] += e * 5;
                    below[(x + 2) * 3 + c] += e;
                }
            }
        }
        out->frames.push_back(std::move(indices));
        out->delayMs.push_back(frame.delayMs);
    }
    return true;
}

void CropToVisible(Animation* animation) {
    int left = animation->width, top = animation->height, right = -1, bottom = -1;
    for (const RgbaFrame& frame : animation->frames) {
        for (int y = 0; y < animation->height; ++y) {
            const uint8_t* row = frame.rgba.data() + static_cast<size_t>(y) * animation->width * 4;
            for (int x = 0; x < animation->width; ++x) {
                if (row[4 * x + 3] < OPAQUE_ALPHA) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) left = top = right = bottom = 0; // nothing visible: one transparent pixel
    const int width = right - left + 1, height = bottom - top + 1;
    if (left == 0 && top == 0 && width == animation->width && height == animation->height) return;
    for (RgbaFrame& frame : animation->frames) {
        std::vector<uint8_t> cut(static_cast<size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y) {
            std::memcpy(cut.data() + static_cast<size_t>(y) * width * 4,
                        frame.rgba.data() +
                            (static_cast<size_t>(top + y) * animation->width + left) * 4,
                        static_cast<size_t>(width) * 4);
        }
        frame.rgba.swap(cut);
    }
    animation->width = width;
    animation->height = height;
}
