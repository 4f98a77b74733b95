#include "display/update_region.h"

#include <algorithm>

ViewRect RectIntersect(const ViewRect& a, const ViewRect& b) {
    ViewRect r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) return {0, 0, 0, 0};
    return r;
}

ViewRect RectBounds(const ViewRect& a, const ViewRect& b) {
    if (RectEmpty(a)) return RectEmpty(b) ? ViewRect{0, 0, 0, 0} : b;
    if (RectEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

namespace {

bool Contains(const ViewRect& outer, const ViewRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool Overlap(const ViewRect& a, const ViewRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Writes the parts of `piece` outside `cut` (at most four) to `out`; returns
// how many, or -1 when they do not fit in `room`.
int Subtract(const ViewRect& piece, const ViewRect& cut, ViewRect* out, int room) {
    ViewRect parts[4];
    int n = 0;
    if (piece.top < cut.top) parts[n++] = {piece.left, piece.top, piece.right, cut.top};
    if (cut.bottom < piece.bottom) parts[n++] = {piece.left, cut.bottom, piece.right, piece.bottom};
    int32_t top = std::max(piece.top, cut.top);
    int32_t bottom = std::min(piece.bottom, cut.bottom);
    if (piece.left < cut.left) parts[n++] = {piece.left, top, cut.left, bottom};
    if (cut.right < piece.right) parts[n++] = {cut.right, top, piece.right, bottom};
    if (n > room) return -1;
    for (int i = 0; i < n; ++i) out[i] = parts[i];
    return n;
}

} // namespace

void UpdateRegion::Clear() {
    count = 0;
    bounds = {0, 0, 0, 0};
}

bool UpdateRegion::Contains(int32_t x, int32_t y) const {
    for (int i = 0; i < count; ++i) {
        const ViewRect& r = rects[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
    return false;
}

void UpdateRegion::Add(const ViewRect& rect) {
    if (RectEmpty(rect)) return;
    // Rectangles that the new one covers are dropped; it takes their place.
    for (int i = 0; i < count;) {
        if (::Contains(rect, rects[i])) {
            rects[i] = rects[--count];
        } else {
            ++i;
        }
    }
    // Cut the new rectangle against every remaining one.
    int current = 0;
    int n = 1;
    pieces[0][0] = rect;
    bool overflow = false;
    for (int i = 0; i < count && n > 0 && !overflow; ++i) {
        const ViewRect& held = rects[i];
        ViewRect* out = pieces[1 - current];
        int m = 0;
        for (int p = 0; p < n; ++p) {
            const ViewRect& piece = pieces[current][p];
            if (!Overlap(piece, held)) {
                if (m == REGION_MAX_RECTS) {
                    overflow = true;
                    break;
                }
                out[m++] = piece;
                continue;
            }
            int k = Subtract(piece, held, out + m, REGION_MAX_RECTS - m);
            if (k < 0) {
                overflow = true;
                break;
            }
            m += k;
        }
        current = 1 - current;
        n = m;
    }
    bounds = RectBounds(bounds, rect);
    if (overflow || count + n > REGION_MAX_RECTS) {
        rects[0] = bounds;
        count = 1;
        return;
    }
    for (int p = 0; p < n; ++p) Append(pieces[current][p]);
}

// Adds a rectangle that meets none held, joining it with a neighbour that
// shares a whole edge so that the list stays short.
void UpdateRegion::Append(ViewRect rect) {
    for (;;) {
        int partner = -1;
        for (int i = 0; i < count; ++i) {
            const ViewRect& r = rects[i];
            bool sameRows = r.top == rect.top && r.bottom == rect.bottom;
            bool sameColumns = r.left == rect.left && r.right == rect.right;
            if ((sameRows && (r.right == rect.left || r.left == rect.right)) ||
                (sameColumns && (r.bottom == rect.top || r.top == rect.bottom))) {
                partner = i;
                break;
            }
        }
        if (partner < 0) break;
        rect = RectBounds(rect, rects[partner]);
        rects[partner] = rects[--count];
    }
    rects[count++] = rect;
}
