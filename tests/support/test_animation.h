// Hand-made animated images for tests of code that shows frames: a chain of
// CImage records with real pixel, colour and mask storage, owned by the object.
#pragma once

#include "image/image.h"

#include <memory>
#include <vector>

class TestImage {
  public:
    // `frames` frames of width by height pixels, each shown `delayMs`; a
    // looping image's last frame leads back to the first. Every colour of the
    // shared table is loaded as red 200, green 100, blue 50.
    TestImage(int frames, int width, int height, int delayMs, bool looping);
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;

    CImage* First() { return frames[0].get(); }
    CImage* Frame(int index) { return frames[index].get(); }
    int Count() const { return static_cast<int>(frames.size()); }
    // The brightness the colour table shows now, in percent (from red).
    int Brightness() const;

  private:
    std::vector<std::unique_ptr<CImage>> frames;
    std::vector<std::vector<uint8_t>> pixels;
    std::unique_ptr<ColorInfo> colorInfo;
    std::vector<ColorEntry> loadedColors;
};
