#include "engine/feature_sprite.h"

#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "script/theme_records.h"

namespace {

SpriteSlot* SlotOf(Engine& e, const CFeature& feature) {
    if (feature.displaySlot < 0 || feature.displaySlot >= MAX_SLOTS) return nullptr;
    return &e.view.slots[feature.displaySlot];
}

} // namespace

bool IsAbsolute(const CFeature& feature) {
    return (feature.flags & FLAG_ABSOLUTE_PIXELS) != 0;
}

void PlaceSprite(Engine& e, CFeature& feature) {
    SpriteSlot* slot = SlotOf(e, feature);
    if (!slot || !feature.currentFrame) return;
    slot->Place(e.view, feature.x, feature.y, feature.currentFrame, IsAbsolute(feature));
}

void RemoveSprite(Engine& e, CFeature& feature) {
    SpriteSlot* slot = SlotOf(e, feature);
    if (slot) slot->Remove(e.view);
}
