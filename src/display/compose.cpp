#include "display/compose.h"
#include "display/ss_view.h"
#include "image/image.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Back-buffer pixels 0x00RRGGBB for the 256 entries of a frame's colour table.
void BuildColorTable(const ColorInfo& info, uint32_t* table) {
    for (int i = 0; i < 256; ++i) {
        const ColorEntry& c = info.colors[i];
        table[i] =
            static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
    }
}

uint32_t PixelFromColorRef(uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

bool MaskUsable(const CImage& frame) {
    return frame.mask && static_cast<int64_t>(frame.maskBytes) >=
                             static_cast<int64_t>(frame.MaskStride()) * frame.height;
}

// The window rectangle a frame covers at (x, y), cut to `clip`.
ViewRect FrameClip(int32_t x, int32_t y, const CImage& frame, const ViewRect& clip) {
    int64_t left = std::max<int64_t>(x, clip.left);
    int64_t top = std::max<int64_t>(y, clip.top);
    int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + frame.width, clip.right);
    int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + frame.height, clip.bottom);
    if (left >= right || top >= bottom) return {0, 0, 0, 0};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

void FillRect(uint32_t* buffer, int32_t pitch, const ViewRect& r, uint32_t pixel) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = buffer + static_cast<size_t>(y) * pitch;
        std::fill(row + r.left, row + r.right, pixel);
    }
}

// Makes the tile cache hold `tile` in the colours of `table`; false when it
// has no room for it.
bool UpdateTileCache(TileCache& cache, const CImage& tile, const uint32_t* table) {
    const int64_t pixels = static_cast<int64_t>(tile.width) * tile.height;
    if (!cache.pixels || pixels > cache.capacity) return false;
    if (cache.valid && cache.image == &tile && cache.source == tile.pixels &&
        std::memcmp(cache.table, table, sizeof(cache.table)) == 0)
        return true;
    const int32_t w = tile.width;
    const int32_t stride = tile.Stride();
    for (int32_t row = 0; row < tile.height; ++row) {
        const uint8_t* src = tile.pixels + static_cast<size_t>(tile.height - 1 - row) * stride;
        uint32_t* dst = cache.pixels + static_cast<size_t>(row) * w;
        for (int32_t x = 0; x < w; ++x) dst[x] = table[src[x]];
    }
    cache.image = &tile;
    cache.source = tile.pixels;
    std::memcpy(cache.table, table, sizeof(cache.table));
    cache.valid = true;
    return true;
}

// Fills a row of `length` pixels whose first `period` are drawn with copies
// of them, doubling what is copied each time, so the period repeats.
void RepeatPeriod(uint32_t* row, int32_t period, int32_t length) {
    for (int32_t done = period; done < length;) {
        const int32_t n = std::min(done, length - done);
        std::memcpy(row + done, row, sizeof(uint32_t) * n);
        done += n;
    }
}

// Tiles the frame from (0, 0) over `r`, each tile whole and unscaled, from
// the tile's rows in back-buffer pixels (`tile32`, rows top first). One
// tile's worth of each row is copied from there; the rest of the row repeats
// it, and a row one tile height below an already drawn row of `r` is a copy
// of that row.
void TileRect(uint32_t* buffer, int32_t pitch, const ViewRect& r, const CImage& tile,
              const uint32_t* tile32) {
    const int32_t w = tile.width;
    const int32_t h = tile.height;
    const int32_t length = r.right - r.left;
    // One period of each row, starting at the tile column of r.left.
    const int32_t period = std::min(w, length);
    const int32_t startColumn = r.left % w;
    int32_t tileRow = r.top % h;
    for (int32_t y = r.top; y < r.bottom; ++y, tileRow = tileRow + 1 == h ? 0 : tileRow + 1) {
        uint32_t* dst = buffer + static_cast<size_t>(y) * pitch + r.left;
        if (y - h >= r.top) {
            std::memcpy(dst, dst - static_cast<size_t>(h) * pitch, sizeof(uint32_t) * length);
            continue;
        }
        const uint32_t* src = tile32 + static_cast<size_t>(tileRow) * w;
        int32_t i = 0;
        for (int32_t sx = startColumn; i < period;) {
            const int32_t run = std::min(period - i, w - sx);
            std::memcpy(dst + i, src + sx, sizeof(uint32_t) * run);
            i += run;
            sx = 0;
        }
        RepeatPeriod(dst, period, length);
    }
}

// The same from the 8-bit tile, looking up each pixel of one period per row:
// for when the cache has no room.
void TileRectLookup(uint32_t* buffer, int32_t pitch, const ViewRect& r, const CImage& tile,
                    const uint32_t* table) {
    const int32_t w = tile.width;
    const int32_t h = tile.height;
    const int32_t stride = tile.Stride();
    const int32_t length = r.right - r.left;
    const int32_t period = std::min(w, length);
    const int32_t startColumn = r.left % w;
    int32_t tileRow = r.top % h;
    for (int32_t y = r.top; y < r.bottom; ++y, tileRow = tileRow + 1 == h ? 0 : tileRow + 1) {
        uint32_t* dst = buffer + static_cast<size_t>(y) * pitch + r.left;
        if (y - h >= r.top) {
            std::memcpy(dst, dst - static_cast<size_t>(h) * pitch, sizeof(uint32_t) * length);
            continue;
        }
        const uint8_t* src = tile.pixels + static_cast<size_t>(h - 1 - tileRow) * stride;
        int32_t i = 0;
        for (int32_t sx = startColumn; i < period;) {
            const int32_t run = std::min(period - i, w - sx);
            for (int32_t k = 0; k < run; ++k) dst[i + k] = table[src[sx + k]];
            i += run;
            sx = 0;
        }
        RepeatPeriod(dst, period, length);
    }
}

// Draws a frame at (x, y) inside `c` (already cut to the frame). With a mask
// each pixel becomes (back buffer AND mask colour) OR frame colour, where the
// mask colour is white for a transparent pixel and black for an opaque one:
// opaque pixels show their own colour, transparent ones OR the colour of the
// transparent index into what lies below.
void DrawFrame(uint32_t* buffer, int32_t pitch, int32_t x, int32_t y, const CImage& frame,
               const ViewRect& c, const uint32_t* table, bool masked) {
    const int32_t stride = frame.Stride();
    const int32_t maskStride = frame.MaskStride();
    const int32_t fx0 = c.left - x;
    const int32_t count = c.right - c.left;
    for (int32_t wy = c.top; wy < c.bottom; ++wy) {
        const size_t row = static_cast<size_t>(frame.height - 1 - (wy - y));
        const uint8_t* src = frame.pixels + row * stride + fx0;
        uint32_t* dst = buffer + static_cast<size_t>(wy) * pitch + c.left;
        if (!masked) {
            for (int32_t i = 0; i < count; ++i) dst[i] = table[src[i]];
            continue;
        }
        const uint8_t* bits = frame.mask + row * maskStride;
        int32_t fx = fx0;
        int32_t i = 0;
        // Up to the next whole mask byte pixel by pixel, then eight at a time.
        for (; i < count && (fx & 7) != 0; ++i, ++fx) {
            uint32_t keep = 0u - ((bits[fx >> 3] >> (7 - (fx & 7))) & 1u);
            dst[i] = (dst[i] & keep) | table[src[i]];
        }
        for (; i + 8 <= count; i += 8, fx += 8) {
            const uint8_t b = bits[fx >> 3];
            if (b == 0) {
                for (int k = 0; k < 8; ++k) dst[i + k] = table[src[i + k]];
            } else if (b == 0xFF) {
                // All transparent: ORing black changes nothing, so only a
                // coloured transparent index costs writes.
                uint32_t any = 0;
                for (int k = 0; k < 8; ++k) any |= table[src[i + k]];
                if (any != 0) {
                    for (int k = 0; k < 8; ++k) dst[i + k] |= table[src[i + k]];
                }
            } else {
                for (int k = 0; k < 8; ++k) {
                    uint32_t keep = 0u - ((b >> (7 - k)) & 1u);
                    dst[i + k] = (dst[i + k] & keep) | table[src[i + k]];
                }
            }
        }
        for (; i < count; ++i, ++fx) {
            uint32_t keep = 0u - ((bits[fx >> 3] >> (7 - (fx & 7))) & 1u);
            dst[i] = (dst[i] & keep) | table[src[i]];
        }
    }
}

} // namespace

bool FrameDrawable(const CImage* frame) {
    return frame && frame->width > 0 && frame->height > 0 && frame->width <= MAX_FRAME_SIDE &&
           frame->height <= MAX_FRAME_SIDE && frame->pixels && frame->colorInfo &&
           static_cast<int64_t>(frame->pixelBytes) >=
               static_cast<int64_t>(frame->Stride()) * frame->height;
}

void ComposeRegion(CSSView& v, const UpdateRegion& region) {
    uint32_t* buffer = v.backBuffer;
    const int32_t pitch = v.bufferWidth;
    const ViewRect whole = {0, 0, v.bufferWidth, v.bufferHeight};
    if (!buffer || region.Empty()) return;
    uint32_t table[256];

    // The region's rectangles do not overlap, so drawing each layer over all
    // of them before the next keeps the order for every pixel.
    if (FrameDrawable(v.backgroundImage)) {
        const CImage& tile = *v.backgroundImage;
        BuildColorTable(*tile.colorInfo, table);
        const bool cached = UpdateTileCache(v.tileCache, tile, table);
        for (int i = 0; i < region.Count(); ++i) {
            ViewRect r = RectIntersect(region.Rect(i), whole);
            if (RectEmpty(r)) continue;
            if (cached) {
                TileRect(buffer, pitch, r, tile, v.tileCache.pixels);
            } else {
                TileRectLookup(buffer, pitch, r, tile, table);
            }
        }
    } else {
        const uint32_t pixel = PixelFromColorRef(v.backgroundColor);
        for (int i = 0; i < region.Count(); ++i) {
            ViewRect r = RectIntersect(region.Rect(i), whole);
            if (!RectEmpty(r)) FillRect(buffer, pitch, r, pixel);
        }
    }

    const ViewRect bounds = RectIntersect(region.Bounds(), whole);
    for (const SpriteSlot& slot : v.slots) {
        const CImage* frame = slot.frame;
        if (!FrameDrawable(frame)) continue;
        if (RectEmpty(FrameClip(slot.x, slot.y, *frame, bounds))) continue;
        BuildColorTable(*frame->colorInfo, table);
        const bool masked = MaskUsable(*frame);
        for (int i = 0; i < region.Count(); ++i) {
            ViewRect c = FrameClip(slot.x, slot.y, *frame, RectIntersect(region.Rect(i), whole));
            if (!RectEmpty(c)) DrawFrame(buffer, pitch, slot.x, slot.y, *frame, c, table, masked);
        }
    }

    for (const TextBanner& banner : v.banners) {
        if (!banner.text[0]) continue;
        for (int i = 0; i < region.Count(); ++i) {
            ViewRect r = RectIntersect(region.Rect(i), whole);
            if (!RectEmpty(r)) banner.Draw(buffer, v.bufferWidth, v.bufferHeight, r);
        }
    }
}
