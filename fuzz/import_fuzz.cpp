// Feeds arbitrary bytes to the importer's picture path: read and composite
// a GIF (or an animated PNG, a JPEG, WebP or BMP, when the bytes begin like
// one), blend soft edges onto a matte or count them, crop, reduce the colours
// (with and without dithering) and write the GIF.
#include "import/picture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PictureLimits limits;
    limits.maxPixels = 1 << 18; // big pictures cost time, not coverage
    limits.maxFrames = 64;
    Animation animation;
    std::string error;
    const bool raster = IsJpeg(data, size) || IsWebp(data, size) || IsBmp(data, size);
    const auto read = IsPng(data, size) ? ReadPng : raster ? ReadRaster : ReadGif;
    if (!read(data, size, limits, &animation, &error)) {
        if (error.empty()) std::abort(); // every refusal says why
        return 0;
    }
    if (size % 3 == 0) {
        const uint8_t navy[3] = {0, 0, 128};
        ApplyMatte(&animation, navy);
        if (CountSoftEdges(animation).soft != 0) std::abort(); // nothing soft is left
    }
    CropToVisible(&animation);
    IndexedAnimation picture;
    if (!Quantize(animation, size % 2 == 1, &picture, &error)) return 0;
    if (picture.frames.size() != animation.frames.size() || picture.colors > 255) std::abort();
    static std::FILE* const out = std::fopen("/dev/null", "wb");
    if (!out || !EncodeGif(picture, out, &error)) std::abort();
    return 0;
}
