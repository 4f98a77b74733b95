#include "engine/engine_state.h"

void Engine::ResetEngineState() {
    currentSection = 0;
    sectionEnding = false;
    groupsDirty = true;
    loadStateCaptured = false;
    bannerShown = false;
    bannerNextTime = 0;
    clockStart = 0;
    sectionTime.store(0, std::memory_order_relaxed);
}

uint32_t TimeAfter(uint32_t now, int64_t delay) {
    if (delay < 0) delay = 0;
    int64_t time = static_cast<int64_t>(now) + delay;
    if (time < 1) time = 1;
    if (time > TIME_LATEST) time = TIME_LATEST;
    return static_cast<uint32_t>(time);
}

int FeatureIndex(const Engine& e, const CFeature& feature) {
    return static_cast<int>(&feature - e.theme.featureTable);
}

CFeature* LabelledFeature(Engine& e, int32_t label) {
    if (label < 0 || label >= MAX_LABELS) return nullptr;
    const int32_t index = e.theme.labelTable[label].feature;
    if (index < 0 || index >= e.theme.featureCount || index >= MAX_FEATURES) return nullptr;
    return &e.theme.featureTable[index];
}

void CaptureLoadState(Engine& e) {
    for (int i = 0; i < MAX_FEATURES; ++i)
        e.loadEnabled[i] = i < e.theme.featureCount ? e.theme.featureTable[i].enabled : 0;
    e.loadStateCaptured = true;
}

int32_t LoadEnabled(const Engine& e, int feature) {
    if (feature < 0 || feature >= MAX_FEATURES) return 0;
    return e.loadEnabled[feature];
}
