// Where the module reader hands the media a script line names. The reader
// calls these as it reads each line, so failures are reported against that
// line and in script order; the application loads the files, takes sprite
// slots and sets the view's background.
#pragma once

#include <cstdint>

class CFeature;
class CImage;
class CSound;

class MediaBinder {
  public:
    virtual ~MediaBinder() = default;

    // "Image" in a feature block: loads `name` as the feature's image in
    // place of any earlier one and gives the feature a sprite slot. Returns 1,
    // or 0 after a reported failure (silently when the file holds no frame).
    virtual int BindImage(CFeature& feature, const char* name) = 0;
    // "Sound" or "BounceSound": a new sound in `slot` (replacing any earlier
    // one) loaded from `name`. Returns 1, or 0 after a reported failure.
    virtual int BindSound(CSound*& slot, const char* name, int32_t volume, int32_t pan,
                          int32_t loopPoint, int32_t headCount, int32_t tailCount) = 0;
    // "Color" in a background block (0x00BBGGRR).
    virtual void BindBackgroundColor(uint32_t color) = 0;
    // "Image" in a background block. Returns 1, or 0 after a reported failure.
    virtual int BindBackgroundImage(const char* name) = 0;
    // Frees the media of a feature whose block failed.
    virtual void ReleaseFeatureMedia(CFeature& feature) = 0;
};
