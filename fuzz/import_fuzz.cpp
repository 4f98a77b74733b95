// Feeds arbitrary bytes to the importer's picture path: read and composite
// a GIF (or an animated PNG, when the bytes begin like one), crop, reduce the
// colours (with and without dithering) and write the GIF.
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
    const bool png = IsPng(data, size);
    if (!(png ? ReadPng : ReadGif)(data, size, limits, &animation, &error)) {
        if (error.empty()) std::abort(); // every refusal says why
        return 0;
    }
    CropToVisible(&animation);
    IndexedAnimation picture;
    if (!Quantize(animation, size % 2 == 1, &picture, &error)) return 0;
    if (picture.frames.size() != animation.frames.size() || picture.colors > 255) std::abort();
    static std::FILE* const out = std::fopen("/dev/null", "wb");
    if (!out || !EncodeGif(picture, out, &error)) std::abort();
    return 0;
}
