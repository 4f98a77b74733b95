// The one display object: back buffer, palette, background, sprite slots and
// text banners, and the conversion from the 800 by 600 design space to pixels.
#pragma once

#include <cstdint>

class CImage;
class CSaverWnd;

constexpr int DESIGN_WIDTH = 800;
constexpr int DESIGN_HEIGHT = 600;
constexpr int MAX_SLOTS = 100;
constexpr int32_t FREE_SLOT_X = -99999;

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// One entry of the display list; a higher index is drawn later.
class SpriteSlot {
  public:
    int32_t x = FREE_SLOT_X; // window x of the frame's top left pixel
    int32_t y = 0;
    CImage* frame = nullptr; // none: nothing drawn

    // Shows `frame` at (x, y), in sixteenths of a design pixel, or of a window
    // pixel when `absolute`. With a window, the old and new rectangles are
    // invalidated.
    void Place(CSaverWnd* window, int32_t x, int32_t y, CImage* frame, bool absolute);
    void Remove(CSaverWnd* window);
};

class CSSView {
  public:
    CSaverWnd* window = nullptr;
    int32_t xScale = 0; // window width * 256 / 800
    int32_t yScale = 0; // window height * 256 / 600
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    SpriteSlot slots[MAX_SLOTS];

    void SetSize(int32_t width, int32_t height);
    // The first free slot, now reserved; -1 when all are taken.
    int AllocSlot();
    // Adds a rectangle of the window to the area the next paint redraws.
    void Invalidate(const ViewRect& rect);
};

extern CSSView view;
