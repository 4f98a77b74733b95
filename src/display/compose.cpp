#include "display/compose.h"
#include "display/ss_view.h"
#include "image/image.h"
#include "image/screen_frame.h"

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

// The window rectangle a frame covers at (x, y) at `scale`, cut to `clip`.
ViewRect FrameClip(int32_t x, int32_t y, const CImage& frame, int32_t scale, const ViewRect& clip) {
    int64_t left = std::max<int64_t>(x, clip.left);
    int64_t top = std::max<int64_t>(y, clip.top);
    int64_t right = std::min<int64_t>(
        static_cast<int64_t>(x) + static_cast<int64_t>(frame.width) * scale, clip.right);
    int64_t bottom = std::min<int64_t>(
        static_cast<int64_t>(y) + static_cast<int64_t>(frame.height) * scale, clip.bottom);
    if (left >= right || top >= bottom) return {0, 0, 0, 0};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

// Whether the frame's converted form shows what its colour table would: made
// at this scale, and the colours not faded.
bool UseScreenFrame(const CImage& frame, int32_t scale) {
    return frame.screen && frame.screen->scale == scale && frame.brightness == 100;
}

void FillRect(uint32_t* buffer, int32_t pitch, const ViewRect& r, uint32_t pixel) {
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* row = buffer + static_cast<size_t>(y) * pitch;
        std::fill(row + r.left, row + r.right, pixel);
    }
}

// Makes the tile cache hold `tile` at `scale` in the colours of `table`;
// false when it has no room for it.
bool UpdateTileCache(TileCache& cache, const CImage& tile, const uint32_t* table, int32_t scale) {
    const int32_t rowPixels = tile.width * scale;
    const int64_t pixels = static_cast<int64_t>(rowPixels) * tile.height;
    if (!cache.pixels || pixels > cache.capacity) return false;
    if (cache.valid && cache.image == &tile && cache.source == tile.pixels &&
        cache.scale == scale && std::memcmp(cache.table, table, sizeof(cache.table)) == 0)
        return true;
    const int32_t w = tile.width;
    const int32_t stride = tile.Stride();
    for (int32_t row = 0; row < tile.height; ++row) {
        const uint8_t* src = tile.pixels + static_cast<size_t>(tile.height - 1 - row) * stride;
        uint32_t* dst = cache.pixels + static_cast<size_t>(row) * rowPixels;
        for (int32_t x = 0; x < w; ++x) {
            for (int32_t k = 0; k < scale; ++k) *dst++ = table[src[x]];
        }
    }
    cache.image = &tile;
    cache.source = tile.pixels;
    cache.scale = scale;
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

// A background tile as the screen shows it: `rowPixels` (its width times the
// scale) across and `scale` times its height down, each of its `rows` of
// screen pixels drawn `scale` times.
struct TileRows {
    const uint32_t* rows;
    int32_t rowPixels;
    int32_t height; // on the screen
    int32_t scale;
};

// Tiles the picture from (0, 0) over `r`, each tile whole. One tile's worth
// of each row is copied from the tile's rows; the rest of the row repeats it,
// and a row one tile height below an already drawn row of `r` is a copy of
// that row.
void TileRect(uint32_t* buffer, int32_t pitch, const ViewRect& r, const TileRows& tile) {
    const int32_t w = tile.rowPixels;
    const int32_t h = tile.height;
    const int32_t length = r.right - r.left;
    // One period of each row, starting at the tile column of r.left.
    const int32_t period = std::min(w, length);
    const int32_t startColumn = r.left % w;
    // The tile row of r.top: its picture row and how many screen rows of
    // that picture row lie above.
    const int32_t tileRow = r.top % h;
    int32_t pictureRow = tileRow / tile.scale;
    int32_t phase = tileRow % tile.scale;
    const int32_t pictureRows = h / tile.scale;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint32_t* dst = buffer + static_cast<size_t>(y) * pitch + r.left;
        const uint32_t* src = tile.rows + static_cast<size_t>(pictureRow) * w;
        int32_t i = 0;
        for (int32_t sx = startColumn; i < period;) {
            const int32_t run = std::min(period - i, w - sx);
            std::memcpy(dst + i, src + sx, sizeof(uint32_t) * run);
            i += run;
            sx = 0;
        }
        RepeatPeriod(dst, period, length);
        if (++phase == tile.scale) {
            phase = 0;
            if (++pictureRow == pictureRows) pictureRow = 0;
        }
    }
}

// The same from the 8-bit tile, looking up each pixel of one period per row:
// for when the cache has no room.
void TileRectLookup(uint32_t* buffer, int32_t pitch, const ViewRect& r, const CImage& tile,
                    const uint32_t* table, int32_t scale) {
    const int32_t w = tile.width * scale;
    const int32_t h = tile.height * scale;
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
        const uint8_t* src =
            tile.pixels + static_cast<size_t>(tile.height - 1 - tileRow / scale) * stride;
        int32_t i = 0;
        for (int32_t sx = startColumn; i < period;) {
            const int32_t run = std::min(period - i, w - sx);
            for (int32_t k = 0; k < run; ++k) dst[i + k] = table[src[(sx + k) / scale]];
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

// The same at a picture scale above 1: each frame pixel covers `scale` by
// `scale` window pixels.
void DrawFrameScaled(uint32_t* buffer, int32_t pitch, int32_t x, int32_t y, const CImage& frame,
                     const ViewRect& c, const uint32_t* table, bool masked, int32_t scale) {
    const int32_t stride = frame.Stride();
    const int32_t maskStride = frame.MaskStride();
    const int32_t fx0 = c.left - x;
    const int32_t count = c.right - c.left;
    for (int32_t wy = c.top; wy < c.bottom; ++wy) {
        const size_t row = static_cast<size_t>(frame.height - 1 - (wy - y) / scale);
        const uint8_t* src = frame.pixels + row * stride;
        const uint8_t* bits = frame.mask ? frame.mask + row * maskStride : nullptr;
        uint32_t* dst = buffer + static_cast<size_t>(wy) * pitch + c.left;
        int32_t sx = fx0 / scale;
        int32_t phase = fx0 % scale;
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t color = table[src[sx]];
            if (masked) {
                const uint32_t keep = 0u - ((bits[sx >> 3] >> (7 - (sx & 7))) & 1u);
                dst[i] = (dst[i] & keep) | color;
            } else {
                dst[i] = color;
            }
            if (++phase == scale) {
                phase = 0;
                ++sx;
            }
        }
    }
}

// Draws a converted frame at (x, y) inside `c` (already cut to the frame):
// whole runs of opaque pixels are copied, transparent runs skipped or, when
// their colour is not black, ORed into what lies below. Gives the same
// pixels as DrawFrame with the colours the frame was converted from.
void DrawScreenFrame(uint32_t* buffer, int32_t pitch, int32_t x, int32_t y,
                     const ScreenFrame& frame, const ViewRect& c) {
    const int32_t scale = frame.scale;
    const int32_t fx0 = c.left - x;
    const int32_t fx1 = c.right - x;
    int32_t row = (c.top - y) / scale;
    int32_t phase = (c.top - y) % scale;
    for (int32_t wy = c.top; wy < c.bottom; ++wy) {
        const uint32_t* src = frame.pixels + static_cast<size_t>(row) * frame.rowPixels;
        uint32_t* dst = buffer + static_cast<size_t>(wy) * pitch + c.left;
        if (!frame.rowRuns) {
            std::memcpy(dst, src + fx0, sizeof(uint32_t) * (fx1 - fx0));
        } else {
            const uint16_t* run = frame.runs + frame.rowRuns[row];
            const uint16_t* end = frame.runs + frame.rowRuns[row + 1];
            bool transparent = true;
            for (int32_t at = 0; run < end && at < fx1; ++run, transparent = !transparent) {
                const int32_t next = at + *run * scale;
                const int32_t from = std::max(at, fx0);
                const int32_t to = std::min(next, fx1);
                at = next;
                if (from >= to) continue;
                if (!transparent) {
                    std::memcpy(dst + (from - fx0), src + from, sizeof(uint32_t) * (to - from));
                } else if (frame.transparentColored) {
                    for (int32_t i = from; i < to; ++i) dst[i - fx0] |= src[i];
                }
            }
        }
        if (++phase == scale) {
            phase = 0;
            ++row;
        }
    }
}

// Parts of a rectangle still to draw: a few disjoint rectangles.
constexpr int MAX_PIECES = 32;
struct Pieces {
    ViewRect rect[MAX_PIECES];
    int count = 0;
};

// Takes `cut` out of the pieces. When the parts would not fit, the pieces
// stay as they are: more is drawn than is seen, never less.
void CutOut(Pieces& pieces, const ViewRect& cut) {
    ViewRect out[MAX_PIECES];
    int n = 0;
    for (int i = 0; i < pieces.count; ++i) {
        const ViewRect& p = pieces.rect[i];
        if (!RectsMeet(p, cut)) {
            if (n == MAX_PIECES) return;
            out[n++] = p;
            continue;
        }
        ViewRect parts[4];
        int k = 0;
        if (p.top < cut.top) parts[k++] = {p.left, p.top, p.right, cut.top};
        if (cut.bottom < p.bottom) parts[k++] = {p.left, cut.bottom, p.right, p.bottom};
        const int32_t top = std::max(p.top, cut.top);
        const int32_t bottom = std::min(p.bottom, cut.bottom);
        if (p.left < cut.left) parts[k++] = {p.left, top, cut.left, bottom};
        if (cut.right < p.right) parts[k++] = {cut.right, top, p.right, bottom};
        if (n + k > MAX_PIECES) return;
        for (int j = 0; j < k; ++j) out[n++] = parts[j];
    }
    std::copy(out, out + n, pieces.rect);
    pieces.count = n;
}

// A slot that meets the rectangle being composed: where it is drawn, and
// the part of that which its opaque core hides.
struct Layer {
    const SpriteSlot* slot;
    bool converted;
    ViewRect clip;
    ViewRect core; // empty when it hides nothing
};

// The window rectangle of a frame's opaque core at (x, y), cut to `clip`.
ViewRect CoreClip(int32_t x, int32_t y, const CImage& frame, int32_t scale, const ViewRect& clip) {
    const ScreenFrame* s = frame.screen;
    if (!s || s->scale != scale) return {0, 0, 0, 0};
    const ViewRect core = {x + s->coreLeft * scale, y + s->coreTop * scale,
                           x + s->coreRight * scale, y + s->coreBottom * scale};
    return RectIntersect(core, clip);
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
    const int32_t scale = v.pictureScale;
    const ViewRect whole = {0, 0, v.bufferWidth, v.bufferHeight};
    if (!buffer || region.Empty()) return;
    uint32_t table[256];

    // The background: from its converted rows, from the tile cache, or
    // looked up pixel by pixel.
    const CImage* tile = FrameDrawable(v.backgroundImage) ? v.backgroundImage : nullptr;
    TileRows rows = {nullptr, 0, 0, scale};
    uint32_t tileTable[256];
    if (tile) {
        rows = {nullptr, tile->width * scale, tile->height * scale, scale};
        if (UseScreenFrame(*tile, scale)) {
            rows.rows = tile->screen->pixels;
        } else {
            BuildColorTable(*tile->colorInfo, tileTable);
            if (UpdateTileCache(v.tileCache, *tile, tileTable, scale))
                rows.rows = v.tileCache.pixels;
        }
    }
    const uint32_t fill = PixelFromColorRef(v.backgroundColor);

    // The region's rectangles do not overlap, so each is composed whole, layer
    // by layer, before the next. A layer is not drawn where the opaque core
    // of a sprite above it hides it.
    Layer layers[MAX_SLOTS];
    Pieces pieces;
    for (int i = 0; i < region.Count(); ++i) {
        const ViewRect r = RectIntersect(region.Rect(i), whole);
        if (RectEmpty(r)) continue;
        int count = 0;
        for (const SpriteSlot& slot : v.slots) {
            // The slot's own rectangle first: frames far from the region are not read.
            if (!slot.frame || !RectsMeet({slot.x, slot.y, slot.right, slot.bottom}, r)) continue;
            const CImage& frame = *slot.frame;
            if (!FrameDrawable(&frame)) continue;
            const ViewRect clip = FrameClip(slot.x, slot.y, frame, scale, r);
            if (RectEmpty(clip)) continue;
            layers[count++] = {&slot, UseScreenFrame(frame, scale), clip,
                               CoreClip(slot.x, slot.y, frame, scale, clip)};
        }

        pieces.rect[0] = r;
        pieces.count = 1;
        for (int k = 0; k < count; ++k) {
            if (!RectEmpty(layers[k].core)) CutOut(pieces, layers[k].core);
        }
        for (int p = 0; p < pieces.count; ++p) {
            if (!tile) {
                FillRect(buffer, pitch, pieces.rect[p], fill);
            } else if (rows.rows) {
                TileRect(buffer, pitch, pieces.rect[p], rows);
            } else {
                TileRectLookup(buffer, pitch, pieces.rect[p], *tile, tileTable, scale);
            }
        }

        for (int k = 0; k < count; ++k) {
            const SpriteSlot& slot = *layers[k].slot;
            const CImage& frame = *slot.frame;
            pieces.rect[0] = layers[k].clip;
            pieces.count = 1;
            for (int above = k + 1; above < count && pieces.count > 0; ++above) {
                if (RectsMeet(layers[above].core, layers[k].clip))
                    CutOut(pieces, layers[above].core);
            }
            if (pieces.count == 0) continue;
            if (!layers[k].converted) BuildColorTable(*frame.colorInfo, table);
            const bool masked = FrameMaskUsable(frame);
            for (int p = 0; p < pieces.count; ++p) {
                const ViewRect& c = pieces.rect[p];
                if (layers[k].converted) {
                    DrawScreenFrame(buffer, pitch, slot.x, slot.y, *frame.screen, c);
                } else if (scale == 1) {
                    DrawFrame(buffer, pitch, slot.x, slot.y, frame, c, table, masked);
                } else {
                    DrawFrameScaled(buffer, pitch, slot.x, slot.y, frame, c, table, masked, scale);
                }
            }
        }

        for (const TextBanner& banner : v.banners) {
            if (banner.text[0]) banner.Draw(buffer, v.bufferWidth, v.bufferHeight, r);
        }
    }
}
