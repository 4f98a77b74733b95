#include "display/ss_view.h"

CSSView view;

void CSSView::SetSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
    xScale = width * 256 / DESIGN_WIDTH;
    yScale = height * 256 / DESIGN_HEIGHT;
}

int CSSView::AllocSlot() {
    for (int i = 0; i < MAX_SLOTS; ++i) {
        if (slots[i].frame == nullptr && slots[i].x == FREE_SLOT_X) {
            slots[i].x = 0;
            return i;
        }
    }
    return -1;
}

void CSSView::Invalidate(const ViewRect&) {}
