#include "engine/feature_sprite.h"

#include "display/ss_view.h"
#include "script/theme_records.h"

namespace {

SpriteSlot* SlotOf(const CFeature& feature) {
    if (feature.displaySlot < 0 || feature.displaySlot >= MAX_SLOTS) return nullptr;
    return &view.slots[feature.displaySlot];
}

} // namespace

bool IsAbsolute(const CFeature& feature) {
    return (feature.flags & FLAG_ABSOLUTE_PIXELS) != 0;
}

void PlaceSprite(CFeature& feature) {
    SpriteSlot* slot = SlotOf(feature);
    if (!slot || !feature.currentFrame) return;
    slot->Place(view.window, feature.x, feature.y, feature.currentFrame, IsAbsolute(feature));
}

void RemoveSprite(CFeature& feature) {
    SpriteSlot* slot = SlotOf(feature);
    if (slot) slot->Remove(view.window);
}
