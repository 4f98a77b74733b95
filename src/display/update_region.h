// The area of the window that the next paint must redraw: an exact union of
// rectangles, kept as a small list of disjoint rectangles.
#pragma once

#include <cstdint>

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right; // exclusive
    int32_t bottom;
};

inline bool RectEmpty(const ViewRect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}
// Whether two rectangles share a pixel.
inline bool RectsMeet(const ViewRect& a, const ViewRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom &&
           !RectEmpty(a) && !RectEmpty(b);
}
// The common part of two rectangles (empty when they do not meet).
ViewRect RectIntersect(const ViewRect& a, const ViewRect& b);
// The smallest rectangle that holds both; an empty rectangle adds nothing.
ViewRect RectBounds(const ViewRect& a, const ViewRect& b);

constexpr int REGION_MAX_RECTS = 256;

class UpdateRegion {
  public:
    // Adds a rectangle; the region stays the exact union while it fits in
    // REGION_MAX_RECTS disjoint pieces, beyond that it becomes its bounding
    // rectangle (a paint then redraws more than needed, never less).
    void Add(const ViewRect& rect);
    void Clear();
    bool Empty() const { return count == 0; }
    int Count() const { return count; }
    const ViewRect& Rect(int i) const { return rects[i]; }
    // The bounding rectangle of the whole region (empty when the region is).
    ViewRect Bounds() const { return bounds; }
    // Whether the point lies inside the region.
    bool Contains(int32_t x, int32_t y) const;

  private:
    void Append(ViewRect rect);

    ViewRect rects[REGION_MAX_RECTS] = {};
    int count = 0;
    ViewRect bounds = {0, 0, 0, 0};
    // Scratch lists for cutting a new rectangle into pieces that miss the
    // rectangles already held.
    ViewRect pieces[2][REGION_MAX_RECTS] = {};
};
