#include "engine/fades.h"

#include "engine/engine_math.h"
#include "engine/engine_sound.h"
#include "engine/engine_state.h"
#include "engine/feature_sprite.h"
#include "engine/schedule.h"
#include "image/image.h"
#include "script/theme_records.h"
#include "sound/sound.h"

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

// Shows the new brightness; a still frame is placed again so that it is painted.
void ShowLevel(Engine& e, CFeature& feature) {
    if (!feature.image || !feature.currentFrame) return;
    feature.image->SetBrightness(feature.fadeLevel);
    if (!feature.currentFrame->next) PlaceSprite(e, feature);
}

bool FadeRunning(const CFeature& feature) {
    return AsTime(feature.fadeNextTime) != TIME_NEVER;
}

// A fade-out starts one step below full brightness, or below the level that
// a fade-in it interrupts has reached (never brighter than the picture was).
void BeginOut(Engine& e, CFeature& feature, uint32_t now) {
    const bool fadingIn = FadeRunning(feature) && feature.fadeStep > 0;
    const int32_t from = fadingIn && feature.fadeLevel < 100 ? feature.fadeLevel : 100;
    feature.fadeStep = -StepSize(feature.fadeStep);
    feature.fadeLevel = from + feature.fadeStep;
    ScheduleStep(feature, now);
    ShowLevel(e, feature);
}

} // namespace

void StartFade(CFeature& feature, uint32_t now) {
    feature.fadeLevel = 100;
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
    feature.fadeLevel = ClampToInt32(static_cast<int64_t>(feature.fadeLevel) + feature.fadeStep);
    if (feature.image) feature.image->SetBrightness(feature.fadeLevel);
    // Repaint unless the animation's next frame comes before the next step.
    if (feature.currentFrame &&
        (!feature.currentFrame->next || feature.fadeInterval < feature.currentFrame->delayMs))
        PlaceSprite(e, feature);
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
