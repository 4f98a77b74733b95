#include "display/ss_view.h"
#include "image/image.h"

#include <algorithm>
#include <cstdint>

namespace {

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void InvalidateFrame(CSSView& view, const SpriteSlot& slot) {
    view.Invalidate({slot.x, slot.y, slot.right, slot.bottom});
}

} // namespace

void SpriteSlot::Place(CSSView& view, int32_t px, int32_t py, CImage* newFrame, bool absolute) {
    // A slot cannot show a missing frame; treat it as taking the sprite away.
    if (!newFrame) {
        Remove(view);
        return;
    }
    int64_t sx = px;
    int64_t sy = py;
    if (!absolute) {
        sx = sx * view.xScale / 256;
        sy = sy * view.yScale / 256;
    }
    if (view.window && frame) InvalidateFrame(view, *this);
    const int64_t scale = view.pictureScale;
    x = Clamp32(sx / 16 + scale * newFrame->left);
    y = Clamp32(sy / 16 + scale * newFrame->top);
    right = Clamp32(x + scale * newFrame->width);
    bottom = Clamp32(y + scale * newFrame->height);
    frame = newFrame;
    if (view.window) InvalidateFrame(view, *this);
}

void SpriteSlot::Remove(CSSView& view) {
    if (!frame) return;
    if (view.window) InvalidateFrame(view, *this);
    frame = nullptr;
}
