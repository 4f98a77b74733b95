#include "image/image_cache.h"

#include "base/text.h"
#include "image/image.h"

#include <algorithm>
#include <new>

ImageCache::~ImageCache() {
    Reset();
}

CImage* ImageCache::Find(const char* path) const {
    for (int i = 0; i < namedCount; ++i) {
        if (named[i]->fileName && SameNameNoCase(named[i]->fileName, path)) return named[i];
    }
    return nullptr;
}

bool ImageCache::AddNamed(CImage* image) {
    if (namedCount >= NAMED_CAPACITY) return false;
    named[namedCount++] = image;
    return true;
}

void ImageCache::RemoveNamed(const CImage* image) {
    for (int i = 0; i < namedCount; ++i) {
        if (named[i] != image) continue;
        for (int j = i + 1; j < namedCount; ++j) named[j - 1] = named[j];
        named[--namedCount] = nullptr;
        return;
    }
}

bool ImageCache::Adopt(CImage* image) {
    if (!image) return true;
    try {
        owned.push_back(image);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ImageCache::Discard(CImage* image) {
    if (!image) return false;
    // A first record that the name table holds (it has a file name and owns
    // its pixels) may be copied again later: it stays.
    if (image->fileName && !(image->flags & IMAGE_SHARED)) return false;
    auto found = std::find(owned.begin(), owned.end(), image);
    if (found == owned.end()) return false;
    owned.erase(found);
    image->Release();
    delete image;
    return true;
}

void ImageCache::Reset() {
    // Copies share their pixels with the image they were copied from and
    // free only their own colour tables, so the order does not matter.
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        (*it)->Release();
        delete *it;
    }
    owned.clear();
    std::fill(named, named + NAMED_CAPACITY, nullptr);
    namedCount = 0;
}
