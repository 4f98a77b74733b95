// Shared helpers of the image tests: fixture files and decoded frames.
#pragma once

#include "image/image.h"
#include "support/context_fixture.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <string>
#include <vector>

// Clears the image cache, the memory budget, the message log, errorLine, the
// settings.Gamma setting and the palettizing state.
void ResetImageState(ImageContext& images);

// The colour indices of a frame, top row first, `width` per row.
std::vector<uint8_t> TopDownIndices(const CImage& frame);

// Number of records in the chain of `image` up to its last frame.
int FrameCount(const CImage& image);

// The text of every message box shown since the last reset.
std::vector<std::string> MessageTexts();

// Loads `bytes` written as `name` in `dir` into `image`; returns LoadImage's result.
int LoadBytes(ImageContext& images, CImage& image, const TempDir& dir, const std::string& name,
              const std::vector<uint8_t>& bytes);

// "<stem><number>.gif"
std::string GifName(const char* stem, long number);

// Releases an image and deletes its first record (null is ignored).
void ReleaseAndDeleteImage(CImage* image);

// A single-frame image of `width` x `height` from `indices` with the given options.
GifImage MakeImage(int width, int height, const std::vector<uint8_t>& indices,
                   const LzwOptions& lzw = LzwOptions());
