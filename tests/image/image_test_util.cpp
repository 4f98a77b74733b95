#include "image_test_util.h"

#include "base/error_sink.h"
#include "image/gamma.h"
#include "image/image_cache.h"
#include "image/palette.h"

#include <cstdio>

void ImageContextTest::ResetImageState() {
    images.Reset();
    memory.Reset(); // tests release images themselves
    log.texts.clear();
    errors.Clear();
    images.gammaSetting = 0;
    images.exportPalettes = false;
}

void ReleaseAndDeleteImage(CImage* image) {
    if (!image) return;
    image->Release();
    delete image;
}

std::vector<uint8_t> TopDownIndices(const CImage& frame) {
    std::vector<uint8_t> out;
    for (int row = 0; row < frame.height; ++row) {
        const uint8_t* p = frame.pixels + (frame.height - 1 - row) * frame.Stride();
        out.insert(out.end(), p, p + frame.width);
    }
    return out;
}

int FrameCount(const CImage& image) {
    int n = 1;
    for (const CImage* f = &image; !(f->flags & IMAGE_LAST) && f->next; f = f->next) ++n;
    return n;
}

int LoadBytes(ImageContext& images, CImage& image, const TempDir& dir, const std::string& name,
              const std::vector<uint8_t>& bytes) {
    std::string path = dir.WriteBytes(name, bytes);
    return image.LoadImage(path.c_str(), images);
}

std::string GifName(const char* stem, long number) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s%ld.gif", stem, number);
    return name;
}
