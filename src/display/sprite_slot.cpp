#include "display/ss_view.h"
#include "image/image.h"

namespace {

void InvalidateFrame(const SpriteSlot& slot) {
    view.Invalidate({slot.x, slot.y, slot.x + slot.frame->width, slot.y + slot.frame->height});
}

} // namespace

void SpriteSlot::Place(CSaverWnd* window, int32_t px, int32_t py, CImage* newFrame, bool absolute) {
    if (!absolute) {
        px = static_cast<int32_t>(static_cast<int64_t>(px) * view.xScale / 256);
        py = static_cast<int32_t>(static_cast<int64_t>(py) * view.yScale / 256);
    }
    if (window && frame) InvalidateFrame(*this);
    x = px / 16 + newFrame->left;
    y = py / 16 + newFrame->top;
    frame = newFrame;
    if (window) InvalidateFrame(*this);
}

void SpriteSlot::Remove(CSaverWnd* window) {
    if (!frame) return;
    if (window) InvalidateFrame(*this);
    frame = nullptr;
}
