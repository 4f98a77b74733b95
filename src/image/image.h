// Images: a loaded picture is a chain of CImage records, one per frame, each an
// 8-bit bottom-up bitmap over a colour table shared by the image's frames, with
// an optional 1-bit transparency mask.
#pragma once

#include "base/memory_budget.h"
#include "image/image_cache.h"
#include "image/palette.h"

#include <cstdint>

class CGifReader;
struct ErrorSink;
struct ScreenFrame;

// A device-independent bitmap header, laid out as the drawing code expects it.
struct BitmapHeader {
    uint32_t size; // 40
    int32_t width;
    int32_t height;  // positive: rows are bottom-up
    uint16_t planes; // 1
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
};
static_assert(sizeof(BitmapHeader) == 40, "bitmap header must be 40 bytes");

// One colour table entry: blue, green, red, 0.
struct ColorEntry {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

// 8-bit bitmap header and its 256 colours (1064 bytes).
struct ColorInfo {
    BitmapHeader header;
    ColorEntry colors[256];
};
static_assert(sizeof(ColorInfo) == 1064, "colour info must be 1064 bytes");

// 1-bit bitmap header with its two colours, black and white (48 bytes).
struct MaskInfo {
    BitmapHeader header;
    ColorEntry colors[2];
};
static_assert(sizeof(MaskInfo) == 48, "mask info must be 48 bytes");

constexpr uint16_t IMAGE_FIRST = 1;
constexpr uint16_t IMAGE_LAST = 2;
constexpr uint16_t IMAGE_SHARED = 4;

constexpr int IMAGE_CACHE_SIZE = 100;
constexpr int32_t DEFAULT_FRAME_DELAY_MS = 66; // a frame without a graphic control extension
// Memory one picture may hold: its pixels, masks, frame records and colour
// tables. A larger picture is refused.
constexpr int64_t MAX_IMAGE_BYTES = int64_t{256} << 20;
// Bytes the frames converted for the compositor may take together; frames
// beyond it stay as they are and are drawn from their colour indices.
constexpr int64_t MAX_SCREEN_FRAME_BYTES = int64_t{512} << 20;

// What loading images works with: where failures are reported, the loaded
// images, the memory they may take, the brightness curve and the palettizing
// counts.
struct ImageContext {
    ErrorSink* errors = nullptr;
    int32_t gammaSetting = 0;    // the user's Gamma, applied to every colour table loaded
    bool exportPalettes = false; // count the colours of every decoded pixel
    int64_t imageByteLimit = MAX_IMAGE_BYTES; // per picture; lowered by the fuzzer
    // The module's budget, which every picture loaded and copied takes from
    // and gives back to when freed; none: only the limit per picture.
    MemoryBudget* budget = nullptr;
    // The picture scale that the loaded frames are converted to for the
    // compositor (ConvertLoaded); 0: frames are not converted.
    int32_t pictureScale = 0;
    // Without a budget, what the converted frames may take together.
    int64_t screenFrameLimit = MAX_SCREEN_FRAME_BYTES;
    int64_t screenFrameBytes = 0; // what the converted frames of the loaded images take
    ImageCache cache;
    ColorHistogram histogram;

    // Loads the GIF at `path` into a new image that the cache owns; null
    // after a reported failure (or, silently, when the file holds no frame).
    CImage* Load(const char* path);
    // Frees an image of the cache that no record uses any more (see
    // ImageCache::Discard) and gives its memory back to the budget.
    void Discard(CImage* image);
    // Converts the frames of every loaded image (not the copies, which share
    // them) at `pictureScale`, in load order, as far as `ChargeScreenFrames`
    // allows; the frames beyond stay as decoded and are drawn from their
    // colour indices. Done once the module's pictures are loaded, so that
    // converting never stops a picture from loading.
    void ConvertLoaded();
    // Converts every frame of one loaded image (not a copy) the same way.
    void ConvertForScreen(CImage& image);
    // The one place where the bytes of converted frames are counted, against
    // the budget (or, without one, `screenFrameLimit`): true when `bytes`
    // more may be held, and they are then counted.
    bool ChargeScreenFrames(int64_t bytes);
    // Bytes of pixels the loaded images hold: colour indices and masks, and
    // their frames converted at `scale` (0: indices and masks only).
    int64_t PixelMemory(int32_t scale) const;
    // Frees every loaded image and the colour counts; the options stay.
    void Reset();
};

class CImage {
  public:
    int32_t delayMs = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t pixelBytes = 0;
    uint32_t compression = 0;
    uint8_t* pixels = nullptr;
    ColorInfo* colorInfo = nullptr;
    ColorEntry* loadedColors = nullptr; // 256 entries
    uint32_t maskBytes = 0;
    MaskInfo* maskInfo = nullptr;
    uint8_t* mask = nullptr;
    CImage* next = nullptr;
    uint16_t flags = 0;
    uint16_t frameIndex = 0;
    char* fileName = nullptr;
    int16_t transparentIndex = -1; // the frame's transparent colour, -1 when it has none
    // Per cent of the loaded colours that the colour table holds (SetBrightness):
    // at 100 the frame's converted form shows what the table would.
    int16_t brightness = 100;
    ImageCache* cache = nullptr; // the cache whose name table holds this first record
    // The frame converted for the compositor (owned unless SHARED), or none.
    ScreenFrame* screen = nullptr;

    // Loads the GIF at `path` into this empty record and the frames after it;
    // a name loaded before (in any case) is copied from the context's cache,
    // a new name is entered in it. Returns 1, or 0 with the failure reported
    // (silently when the file holds no frame); a failed load leaves the record
    // empty.
    int LoadImage(const char* path, ImageContext& images);
    // Reads the frames from the reader's current block on, this record being
    // frame `index` of `first`: 0 done, 1 failed (reported, frames freed), 2 no
    // frame at this point. `held` is what the picture holds so far; what the
    // frames take is added to it and taken from the budget.
    int ReadNextImage(CGifReader& reader, bool looping, CImage* first, int index,
                      ImageContext& images, int64_t* held);
    // Builds the 1-bit mask of the pixels equal to `transparentIndex`; 0 (and
    // no mask) when out of memory, which the caller reports.
    int CreateTransMask(const uint8_t* framePixels, int transparentIndex);
    // Makes this record a copy of a cached image: its own colour table and
    // records over the cached pixels and masks. 0 (record left empty) when out of memory.
    int CopyFrom(const CImage& cached);
    // Frees what this record owns, then the following frames; the owner deletes
    // the first record itself.
    void Release();
    // What this image (a first record) holds in memory, its records, pixels,
    // masks, converted frames, colour tables and name, as its load and its
    // conversion counted it.
    int64_t HeldBytes() const;
    // Sets the shared colour table to the loaded colours times `percent`
    // (0 to 100), and every frame's `brightness`; first records only.
    void SetBrightness(int percent);
    // The frame on screen `ms` milliseconds before frame `index` (-1: the last
    // frame) comes up, counted from the first frame.
    int FrameBefore(int ms, int index) const;

    // Row stride of the pixels and of the mask, in bytes.
    int32_t Stride() const { return (width + 3) & ~3; }
    int32_t MaskStride() const { return ((width + 31) & ~31) / 8; }

  private:
    // Reads one frame into this record: 0 read, 1 failed (reported), 2 no
    // frame at this point of the file. What it takes is added to `held`.
    int ReadFrame(CGifReader& reader, CImage* first, int index, int64_t* held,
                  ImageContext& images);
    // Frees the pixels and masks of this frame and those after it, deletes the
    // records after it and leaves this one holding no frame data.
    void FreeFrames();
    // Frees what a failed load holds and leaves the record empty.
    void ResetAfterFailure();
};
