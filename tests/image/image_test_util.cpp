#include "image_test_util.h"

#include "base/error_sink.h"
#include "image/gamma.h"
#include "image/image_cache.h"
#include "image/palette.h"
#include "platform/headless/headless.h"
#include "script/script_reader.h"

#include <cstdio>

void ResetImageState(ImageContext& images) {
    images.Reset();
    if (images.budget) images.budget->Reset(); // tests release images themselves
    HeadlessClearMessages();
    if (images.errors) images.errors->Clear();
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

std::vector<std::string> MessageTexts() {
    std::vector<std::string> out;
    for (const HeadlessMessage& m : HeadlessMessages()) out.push_back(m.text);
    return out;
}

int LoadBytes(ImageContext& images, CImage& image, const TempDir& dir, const std::string& name,
              const std::vector<uint8_t>& bytes) {
    std::string path = dir.WriteBytes(name, bytes);
    return image.LoadImage(path.c_str(), images);
}

GifImage MakeImage(int width, int height, const std::vector<uint8_t>& indices,
                   const LzwOptions& lzw) {
    GifImage image;
    image.width = width;
    image.height = height;
    image.indices = indices;
    image.lzw = lzw;
    return image;
}

std::string GifName(const char* stem, long number) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s%ld.gif", stem, number);
    return name;
}
