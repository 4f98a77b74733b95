// Pictures for the importer: animations read from GIF and PNG files and
// composited as a viewer shows them, reduced to one shared colour table and
// written as a GIF the saver's loader accepts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One composited frame: RGBA, top row first, the size of its animation.
struct RgbaFrame {
    std::vector<uint8_t> rgba;
    int delayMs = 0;
};

struct Animation {
    int width = 0;
    int height = 0;
    bool loops = false;
    std::vector<RgbaFrame> frames;
};

// Bounds on what a picture may take, so that any input is read in bounded
// memory and time: the pixels of all frames together (each frame the size of
// the whole picture, as the output holds them), the frames, and the bytes of
// an input file.
struct PictureLimits {
    int64_t maxPixels = int64_t{1} << 26; // width * height * frames: 64 Mi
    int64_t maxFrames = 10000;
    int64_t maxFileBytes = int64_t{256} << 20;
};

// Why a picture of `frames` frames of `width` x `height` is over the limits
// ("the picture is too large: ..."); empty when it is within them.
std::string PictureLimitError(const PictureLimits& limits, int64_t width, int64_t height,
                              int64_t frames);

// Failure reasons are set in `error` as a sentence fragment ("frame 3 lies
// outside the picture"); true when the animation was read.
bool ReadGif(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
             std::string* error);
// A PNG or an animated PNG; a plain PNG gives one frame.
bool ReadPng(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
             std::string* error);
// A JPEG, WebP (a still one) or BMP picture, read through libgd: one frame.
bool ReadRaster(const uint8_t* data, size_t size, const PictureLimits& limits, Animation* out,
                std::string* error);
bool IsGif(const uint8_t* data, size_t size);
bool IsPng(const uint8_t* data, size_t size);
bool IsJpeg(const uint8_t* data, size_t size);
bool IsWebp(const uint8_t* data, size_t size);
bool IsBmp(const uint8_t* data, size_t size);

// Alpha below half is transparent.
constexpr uint8_t OPAQUE_ALPHA = 128;

// The pixels of all frames that show at all (alpha above 0), and those of
// them only partly opaque: the saver shows a pixel fully or not at all.
struct SoftEdges {
    int64_t visible = 0;
    int64_t soft = 0;
};
SoftEdges CountSoftEdges(const Animation& animation);

// Below this alpha a pixel stays transparent when blended onto a matte.
constexpr uint8_t MATTE_MIN_ALPHA = 8;
// Blends every partly opaque pixel onto the colour `rgb` the picture will
// stand on: from MATTE_MIN_ALPHA up it becomes opaque in the blended colour,
// below it transparent.
void ApplyMatte(Animation* animation, const uint8_t rgb[3]);

// Cuts every frame to the rectangle that holds every visible pixel of any
// frame (one transparent pixel when there is none).
void CropToVisible(Animation* animation);

// The picture as the saver loads it: one table of up to 255 colours, index
// TRANSPARENT_INDEX for transparent pixels.
constexpr int TRANSPARENT_INDEX = 255;
struct IndexedAnimation {
    int width = 0;
    int height = 0;
    bool loops = false;
    bool transparent = false;                 // some pixel of some frame is transparent
    int colors = 0;                           // entries of `palette` in use
    uint8_t palette[256 * 3] = {};            // RGB
    bool exact = false;                       // every visible pixel keeps its colour
    std::vector<std::vector<uint8_t>> frames; // width * height indices, top row first
    std::vector<int> delayMs;
};

// Reduces the colours of all frames to one table: exact when they have at
// most 255 colours, else chosen by the quantiser; `dither` spreads the error
// of inexact colours.
bool Quantize(const Animation& animation, bool dither, IndexedAnimation* out, std::string* error);

// Writes the GIF file to `out`: the 256-entry global table, the looping
// extension when the animation loops, a graphic control extension and
// full-size frame each.
bool EncodeGif(const IndexedAnimation& picture, std::FILE* out, std::string* error);
