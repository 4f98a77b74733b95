#include "image/image_cache.h"

#include "image/image.h"

#include <cctype>

namespace {

CImage* imageCache[IMAGE_CACHE_SIZE];
int imageCacheCount = 0;

bool SameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

} // namespace

CImage* FindCachedImage(const char* path) {
    for (int i = 0; i < imageCacheCount; ++i) {
        if (imageCache[i]->fileName && SameName(imageCache[i]->fileName, path))
            return imageCache[i];
    }
    return nullptr;
}

bool AddCachedImage(CImage* image) {
    if (imageCacheCount >= IMAGE_CACHE_SIZE) return false;
    imageCache[imageCacheCount++] = image;
    return true;
}

void RemoveCachedImage(const CImage* image) {
    for (int i = 0; i < imageCacheCount; ++i) {
        if (imageCache[i] != image) continue;
        for (int j = i + 1; j < imageCacheCount; ++j) imageCache[j - 1] = imageCache[j];
        imageCache[--imageCacheCount] = nullptr;
        return;
    }
}

int CachedImageCount() {
    return imageCacheCount;
}

void ResetImageCache() {
    for (int i = 0; i < imageCacheCount; ++i) imageCache[i] = nullptr;
    imageCacheCount = 0;
}
