// Feeds arbitrary bytes to the importer's picture path: read and composite
// a GIF (or an animated PNG, when the bytes begin like one), crop, reduce the
// colours (with and without dithering) and write the GIF.
#include "import/picture.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PictureLimits limits;
    limits.maxPixels = 1 << 16; // big pictures cost time, not coverage
    limits.maxTotalBytes = 1 << 20;
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
    std::vector<uint8_t> gif;
    if (!EncodeGif(picture, &gif, &error)) std::abort();
    return 0;
}
