#include "image/screen_frame.h"

#include "base/memory_budget.h"
#include "image/image.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace {

// Widest frame whose runs fit the 16-bit counts (a GIF's sides are 16-bit).
constexpr int32_t MAX_RUN_WIDTH = 65535;

bool Convertible(const CImage& frame, int32_t scale) {
    return scale >= 1 && scale <= MAX_PICTURE_SCALE && frame.width > 0 && frame.height > 0 &&
           frame.width <= MAX_RUN_WIDTH && frame.height <= MAX_RUN_WIDTH && frame.pixels &&
           frame.colorInfo &&
           static_cast<int64_t>(frame.pixelBytes) >=
               static_cast<int64_t>(frame.Stride()) * frame.height;
}

bool Transparent(const uint8_t* maskRow, int32_t x) {
    return (maskRow[x >> 3] >> (7 - (x & 7))) & 1;
}

// The mask row of the screen row `row` (masks are stored bottom-up).
const uint8_t* MaskRow(const CImage& frame, int32_t row) {
    return frame.mask + static_cast<size_t>(frame.height - 1 - row) * frame.MaskStride();
}

// Writes the runs of one mask row to `out` (when given) and returns how many
// there are: a transparent count first, then alternating counts.
uint32_t RowRuns(const uint8_t* maskRow, int32_t width, uint16_t* out) {
    uint32_t n = 0;
    bool transparent = true;
    int32_t start = 0;
    for (int32_t x = 0; x < width; ++x) {
        if (Transparent(maskRow, x) == transparent) continue;
        if (out) out[n] = static_cast<uint16_t>(x - start);
        ++n;
        start = x;
        transparent = !transparent;
    }
    if (out) out[n] = static_cast<uint16_t>(width - start);
    return n + 1;
}

// Whether the mask marks any pixel of the frame transparent: a mask without
// one needs no runs, the frame is drawn as opaque.
bool AnyTransparent(const CImage& frame) {
    for (int32_t row = 0; row < frame.height; ++row) {
        const uint8_t* maskRow = MaskRow(frame, row);
        for (int32_t x = 0; x < frame.width; ++x) {
            if (Transparent(maskRow, x)) return true;
        }
    }
    return false;
}

// Whether the frame is drawn with runs.
bool HasRuns(const CImage& frame) {
    return FrameMaskUsable(frame) && AnyTransparent(frame);
}

int64_t CountRuns(const CImage& frame) {
    int64_t total = 0;
    for (int32_t row = 0; row < frame.height; ++row)
        total += RowRuns(MaskRow(frame, row), frame.width, nullptr);
    return total;
}

// The largest rectangle of opaque pixels: for each row, the heights of the
// opaque columns ending there, and the largest rectangle under that skyline
// (a stack of rising heights). False when memory runs out.
bool FindCore(const CImage& frame, bool masked, ScreenFrame& out) {
    const int32_t width = frame.width;
    if (!masked) {
        out.coreLeft = out.coreTop = 0;
        out.coreRight = width;
        out.coreBottom = frame.height;
        return true;
    }
    int32_t* heights = new (std::nothrow) int32_t[static_cast<size_t>(width) + 1];
    int32_t* stack = new (std::nothrow) int32_t[static_cast<size_t>(width) + 1];
    if (!heights || !stack) {
        delete[] heights;
        delete[] stack;
        return false;
    }
    for (int32_t x = 0; x <= width; ++x) heights[x] = 0; // the last column ends every rectangle
    int64_t best = 0;
    for (int32_t row = 0; row < frame.height; ++row) {
        const uint8_t* maskRow = MaskRow(frame, row);
        for (int32_t x = 0; x < width; ++x)
            heights[x] = Transparent(maskRow, x) ? 0 : heights[x] + 1;
        int32_t depth = 0;
        for (int32_t x = 0; x <= width; ++x) {
            while (depth > 0 && heights[stack[depth - 1]] >= heights[x]) {
                const int32_t h = heights[stack[--depth]];
                const int32_t left = depth > 0 ? stack[depth - 1] + 1 : 0;
                const int64_t area = static_cast<int64_t>(h) * (x - left);
                if (area > best) {
                    best = area;
                    out.coreLeft = left;
                    out.coreRight = x;
                    out.coreTop = row + 1 - h;
                    out.coreBottom = row + 1;
                }
            }
            stack[depth++] = x;
        }
    }
    delete[] heights;
    delete[] stack;
    return true;
}

// The layout of a converted frame's one block: the record, then its rows,
// then (with runs) the row offsets and the runs.
struct Layout {
    size_t rows;    // offset of the rows
    size_t offsets; // offset of the row offsets
    size_t runs;    // offset of the runs
    size_t size;    // the whole block
};

Layout LayoutOf(const CImage& frame, int32_t scale, bool masked, int64_t runCount) {
    Layout l;
    l.rows = (sizeof(ScreenFrame) + 7) & ~size_t{7};
    l.offsets = l.rows + static_cast<size_t>(frame.width) * static_cast<size_t>(scale) *
                             static_cast<size_t>(frame.height) * sizeof(uint32_t);
    l.runs = l.offsets + (masked ? (static_cast<size_t>(frame.height) + 1) * sizeof(uint32_t) : 0);
    l.size = l.runs + (masked ? static_cast<size_t>(runCount) * sizeof(uint16_t) : 0);
    return l;
}

} // namespace

bool FrameMaskUsable(const CImage& frame) {
    return frame.mask && static_cast<int64_t>(frame.maskBytes) >=
                             static_cast<int64_t>(frame.MaskStride()) * frame.height;
}

int64_t ScreenFrameBytes(const CImage& frame, int32_t scale) {
    if (!Convertible(frame, scale)) return 0;
    const bool masked = HasRuns(frame);
    return BlockCost(
        static_cast<int64_t>(LayoutOf(frame, scale, masked, masked ? CountRuns(frame) : 0).size));
}

bool ConvertScreenFrame(CImage& frame, int32_t scale) {
    if (!Convertible(frame, scale)) return false;
    const bool masked = HasRuns(frame);
    const int64_t runCount = masked ? CountRuns(frame) : 0;
    const int32_t width = frame.width;
    const int32_t height = frame.height;
    const int32_t rowPixels = width * scale;

    // One block holds the record, the rows and the runs.
    const Layout layout = LayoutOf(frame, scale, masked, runCount);
    auto* block = new (std::nothrow) uint8_t[layout.size];
    if (!block) return false;
    auto* converted = new (block) ScreenFrame;
    auto* pixels = reinterpret_cast<uint32_t*>(block + layout.rows);
    uint32_t* rowRuns = masked ? reinterpret_cast<uint32_t*>(block + layout.offsets) : nullptr;
    uint16_t* runs = masked ? reinterpret_cast<uint16_t*>(block + layout.runs) : nullptr;
    if (!FindCore(frame, masked, *converted)) {
        delete[] block;
        return false;
    }

    // The colours as loaded: a fade changes the colour table, never these.
    const ColorEntry* colors = frame.loadedColors ? frame.loadedColors : frame.colorInfo->colors;
    uint32_t table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint32_t>(colors[i].red) << 16 |
                   static_cast<uint32_t>(colors[i].green) << 8 | colors[i].blue;
    }
    const int32_t stride = frame.Stride();
    bool transparentColored = false;
    uint32_t run = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* src = frame.pixels + static_cast<size_t>(height - 1 - row) * stride;
        uint32_t* dst = pixels + static_cast<size_t>(row) * rowPixels;
        if (scale == 1) {
            for (int32_t x = 0; x < width; ++x) dst[x] = table[src[x]];
        } else {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t pixel = table[src[x]];
                for (int32_t k = 0; k < scale; ++k) *dst++ = pixel;
            }
        }
        if (!masked) continue;
        const uint8_t* maskRow = MaskRow(frame, row);
        rowRuns[row] = run;
        run += RowRuns(maskRow, width, runs + run);
        for (int32_t x = 0; x < width && !transparentColored; ++x)
            transparentColored = Transparent(maskRow, x) && table[src[x]] != 0;
    }
    if (masked) rowRuns[height] = run;

    converted->scale = scale;
    converted->rowPixels = rowPixels;
    converted->pixels = pixels;
    converted->rowRuns = rowRuns;
    converted->runs = runs;
    converted->transparentColored = transparentColored;
    converted->bytes = BlockCost(static_cast<int64_t>(layout.size));
    FreeScreenFrame(frame);
    frame.screen = converted;
    return true;
}

void FreeScreenFrame(CImage& frame) {
    ScreenFrame* converted = frame.screen;
    frame.screen = nullptr;
    if (!converted) return;
    converted->~ScreenFrame();
    delete[] reinterpret_cast<uint8_t*>(converted);
}
