#include "engine/fades.h"

#include "engine/engine_math.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/feature_sprite.h"
#include "engine/schedule.h"
#include "image/image.h"
#include "script/theme_records.h"
#include "sound/sound.h"

#include <algorithm>

namespace {

// The size of a fade step: at most the whole range, and a step of 0 (which
// would never arrive) fades in one step.
int32_t StepSize(int32_t step) {
    const int64_t size = step < 0 ? -static_cast<int64_t>(step) : step;
    if (size == 0 || size > 100) return 100;
    return static_cast<int32_t>(size);
}

void ScheduleStep(CFeature& feature, uint32_t now) {
    feature.fadeNextTime = TimeField(TimeAfter(now, feature.fadeInterval));
}

bool FadeRunning(const CFeature& feature) {
    return AsTime(feature.fadeNextTime) != TIME_NEVER;
}

// The brightness a feature's image shows: its fade level, held below the
// ceiling and within 0..100; full while no fade runs.
int32_t LevelShown(const CFeature& feature) {
    if (!FadeRunning(feature)) return 100;
    const int32_t level = std::min(feature.fadeLevel, feature.fadeCeiling);
    return std::clamp(level, 0, 100);
}

// Shows the new brightness when it differs from `before`; a still frame is
// placed again so that it is painted, and so is an animation whose next frame
// would come after the next step (`always`).
void ShowLevel(Engine& e, CFeature& feature, int32_t before, bool always) {
    if (!feature.image || !feature.currentFrame) return;
    const int32_t shown = LevelShown(feature);
    if (shown == before) return;
    feature.image->SetBrightness(shown);
    if (always || !feature.currentFrame->next) PlaceSprite(e, feature);
}

// A fade-out runs its steps from full brightness, so it always takes its
// whole time; it never shows brighter than the picture was when it began (a
// fade-in or another fade-out it cuts off had gone darker), so nothing flashes.
void BeginOut(Engine& e, CFeature& feature, uint32_t now) {
    const int32_t before = LevelShown(feature);
    feature.fadeCeiling = before;
    feature.fadeStep = -StepSize(feature.fadeStep);
    feature.fadeLevel = 100 + feature.fadeStep;
    ScheduleStep(feature, now);
    ShowLevel(e, feature, before, false);
}

} // namespace

void StartFade(CFeature& feature, uint32_t now) {
    feature.fadeLevel = 100;
    feature.fadeCeiling = 100;
    switch (feature.fadeType) {
    case FADE_IN:
    case FADE_IN_OUT:
        feature.fadeStep = StepSize(feature.fadeStep);
        feature.fadeLevel = feature.fadeStep;
        ScheduleStep(feature, now);
        if (feature.image) feature.image->SetBrightness(feature.fadeLevel);
        break;
    case FADE_OUT:
        if (feature.image) feature.image->SetBrightness(100); // may be dark from an earlier showing
        break;
    default: break;
    }
}

bool StepFade(Engine& e, CFeature& feature, uint32_t now) {
    if (!e.sectionEnding && feature.fadeType == FADE_NONE) return false;
    if (!FadeRunning(feature) || now < AsTime(feature.fadeNextTime)) return false;
    const int32_t before = LevelShown(feature);
    feature.fadeLevel = ClampToInt32(static_cast<int64_t>(feature.fadeLevel) + feature.fadeStep);
    // Repaint unless the animation's next frame comes before the next step.
    ShowLevel(e, feature, before,
              feature.currentFrame && feature.fadeInterval < feature.currentFrame->delayMs);
    ScheduleStep(feature, now);
    if (feature.fadeLevel > 0 && feature.fadeLevel < 100) return false;
    feature.fadeNextTime = TimeField(TIME_NEVER);
    return feature.fadeLevel <= 0;
}

bool StepSoundFade(Engine& e, CFeature& feature, uint32_t now) {
    if (!e.sectionEnding || !FadeRunning(feature) || now < AsTime(feature.fadeNextTime))
        return false;
    feature.fadeLevel = ClampToInt32(static_cast<int64_t>(feature.fadeLevel) + feature.fadeStep);
    ScheduleStep(feature, now);
    if (feature.fadeLevel <= 0 || feature.fadeLevel >= 100)
        feature.fadeNextTime = TimeField(TIME_NEVER);
    if (feature.sound) {
        const int64_t volume =
            static_cast<int64_t>(feature.fadeLevel) * feature.sound->volume / 100;
        SetSoundVolumePan(e, feature.sound, volume < 0 ? 0 : static_cast<int>(volume),
                          feature.sound->pan);
    }
    return feature.fadeLevel <= 0;
}

bool BeginFadeOut(Engine& e, CFeature& feature, uint32_t now) {
    const bool fadesOut =
        feature.fadeType == FADE_OUT || feature.fadeType == FADE_IN_OUT || e.sectionEnding;
    if (!fadesOut || feature.fadeLevel <= 0) return false;
    // A sound-only feature's volume steps only while its section ends; outside
    // it a begun fade would never finish and the feature would never end.
    if (!feature.currentFrame && !e.sectionEnding) return false;
    BeginOut(e, feature, now);
    return true;
}

void BeginEnding(Engine& e, CFeature& feature, uint32_t now, int32_t section) {
    if (!IsActiveInSection(feature, section)) return;
    if (feature.fadeType == FADE_NONE) {
        feature.fadeStep = SECTION_END_FADE_STEP;
        feature.fadeInterval = SECTION_END_FADE_INTERVAL;
    }
    BeginOut(e, feature, now);
}
