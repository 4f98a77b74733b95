// Shared helpers of the image tests: fixture files and decoded frames.
#pragma once

#include "base/error_sink.h"
#include "base/memory_budget.h"
#include "image/image.h"
#include "support/error_log.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the image tests load with: an image context over its own error sink
// (whose messages the log keeps) and memory budget.
class ImageContextTest : public ::testing::Test {
  protected:
    ImageContextTest() {
        images.errors = &errors;
        images.budget = &memory;
    }
    // Clears the image cache, the memory budget, the log, errorLine, the
    // gamma setting and the palettizing state.
    void ResetImageState();

    ErrorSink errors;
    ErrorLog log{errors};
    MemoryBudget memory;
    ImageContext images;
};

// The colour indices of a frame, top row first, `width` per row.
std::vector<uint8_t> TopDownIndices(const CImage& frame);

// Number of records in the chain of `image` up to its last frame.
int FrameCount(const CImage& image);

// Loads `bytes` written as `name` in `dir` into `image`; returns LoadImage's result.
int LoadBytes(ImageContext& images, CImage& image, const TempDir& dir, const std::string& name,
              const std::vector<uint8_t>& bytes);

// "<stem><number>.gif"
std::string GifName(const char* stem, long number);

// Releases an image and deletes its first record (null is ignored).
void ReleaseAndDeleteImage(CImage* image);
