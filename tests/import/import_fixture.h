// Shared helpers of the importer tests: running the tool, reading pictures
// independently of the importer, and drawing what the saver's loader made of
// a GIF.
#pragma once

#include "support/test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // RGBA, top row first
};

class ImportFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    // Runs `glimmora-tool ARGS` in the test folder; stdout and stderr are kept.
    int Tool(const std::string& args);
    // Runs a shell command in the test folder; fails the test unless it succeeds.
    void Shell(const std::string& command);
    // Runs `glimmora-tool ARGS` as Tool does and returns the largest resident
    // memory it took, in KiB (-1 when it could not run); `status` receives
    // its exit status.
    long PeakMemoryKb(const std::string& args, int* status);
    std::string Out() const { return ReadFileText(dir.File("tool.out")); }
    std::string Err() const { return ReadFileText(dir.File("tool.err")); }
    std::string Path(const std::string& name) const { return dir.File(name); }

    TempDir dir;
};

// An RGBA PNG read with libpng.
Rgba ReadPngFile(const std::string& path);
// The frames of a picture composited by ImageMagick, as a viewer shows them.
std::vector<Rgba> CoalescedFrames(const TempDir& dir, const std::string& picture);

// A GIF loaded by the saver's loader: each frame drawn through the colour
// table and the transparency mask (transparent pixels are 0, 0, 0, 0).
struct LoadedGif {
    bool loaded = false;
    bool loops = false;
    std::vector<Rgba> frames;
    std::vector<int> delaysMs;
    std::vector<std::string> messages;
};
LoadedGif LoadGif(const std::string& path);

// Cuts `frames` to the rectangle holding every pixel of alpha 128 or more in
// any of them, and sets alpha to 0 or 255 as the importer reads it.
std::vector<Rgba> CropVisible(std::vector<Rgba> frames);

// The largest difference of a colour channel over the visible pixels, or
// 1000 when the frames differ in size or transparency.
int MaxDifference(const Rgba& a, const Rgba& b);
double MeanDifference(const Rgba& a, const Rgba& b);
