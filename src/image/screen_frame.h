// Frames converted once, at load, into what the compositor draws: screen
// pixels at a whole-number picture scale, so that drawing a sprite copies
// rows instead of looking up every pixel's colour.
#pragma once

#include <cstdint>

class CImage;

// Largest picture scale: an 800 by 600 design fills a 12800 by 9600 screen.
constexpr int32_t MAX_PICTURE_SCALE = 16;

// One frame in back-buffer pixels (0x00RRGGBB) made from its loaded colours,
// rows top first. Each row holds every pixel of the frame's row `scale` times
// over, as the row lands on the screen (nearest neighbour); the compositor
// draws each row `scale` times down, so the rows take `scale` times the
// frame's pixels, not its square.
//
// A frame whose mask marks pixels transparent also keeps its runs: for each row, counts
// of frame pixels, alternately transparent and opaque, beginning with a
// transparent count (maybe 0) and adding up to the width. Opaque runs are
// copied whole; transparent ones are skipped, or their colour is ORed into
// what lies below when it is not black (as the mask-and-paint rule does).
// The record, its rows and its runs lie in one block of memory.
struct ScreenFrame {
    int32_t scale = 0;
    int32_t rowPixels = 0;       // the frame's width times the scale
    uint32_t* pixels = nullptr;  // height rows of rowPixels pixels
    uint32_t* rowRuns = nullptr; // height + 1 offsets into runs; none: every pixel opaque
    uint16_t* runs = nullptr;
    bool transparentColored = false; // a transparent pixel's colour is not black
    // The largest rectangle of the frame without a transparent pixel, in frame
    // pixels (empty when every row has one): what lies below it is hidden, so
    // the compositor need not draw it.
    int32_t coreLeft = 0;
    int32_t coreTop = 0;
    int32_t coreRight = 0;
    int32_t coreBottom = 0;
    int64_t bytes = 0; // what this record, its rows and its runs take, as the memory budget counts
};

// Bytes that converting `frame` at `scale` takes, as the memory budget counts
// them: the record, its rows and, with a mask, its runs. 0 for a frame that
// cannot be drawn or a scale out of range.
int64_t ScreenFrameBytes(const CImage& frame, int32_t scale);

// Converts `frame` at `scale` from its loaded colours (its colour table when
// it has none) and its mask. False, with the frame left as it was, when the
// frame cannot be drawn or memory runs out; it is then drawn from its
// colour indices.
bool ConvertScreenFrame(CImage& frame, int32_t scale);

// Frees the frame's converted form; the owner of the frame's pixels calls it.
void FreeScreenFrame(CImage& frame);

// Whether a frame's mask covers its rows (the compositor ignores a shorter one).
bool FrameMaskUsable(const CImage& frame);
