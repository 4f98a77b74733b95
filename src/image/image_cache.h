// The loaded images of a module. The cache owns every image loaded through
// it until it is reset; features and the background hold plain pointers.
// Images are also found by file name, so that a picture used by several
// features is decoded once: a later load of the same name gets a copy with
// its own colour table (for its own fades) over the same pixels.
#pragma once

#include <cstddef>
#include <vector>

class CImage;

class ImageCache {
  public:
    ImageCache() = default;
    ~ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // The named image whose file name matches `path` without regard to case, or null.
    CImage* Find(const char* path) const;
    // Enters a first record (with its `fileName` set) under its name; false
    // when the name table is full.
    bool AddNamed(CImage* image);
    // Takes a record out of the name table (a failed load, or an image being released).
    void RemoveNamed(const CImage* image);
    int NamedCount() const { return namedCount; }

    // Takes ownership of a loaded first record; false (not taken) when there
    // is no memory to note it.
    bool Adopt(CImage* image);
    // The images it owns, in load order.
    int OwnedCount() const { return static_cast<int>(owned.size()); }
    CImage* Owned(int i) const { return owned[static_cast<std::size_t>(i)]; }
    // Frees an image that no record uses any more; a named image stays, as it
    // may be copied again. Null is ignored. True when the image was freed.
    bool Discard(CImage* image);
    // Frees every image it owns and forgets every name.
    void Reset();

  private:
    static constexpr int NAMED_CAPACITY = 100;
    CImage* named[NAMED_CAPACITY] = {};
    int namedCount = 0;
    std::vector<CImage*> owned;
};
