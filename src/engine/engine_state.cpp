#include "engine/engine_state.h"

#include "script/theme_records.h"

int32_t currentSection = 0;
bool sectionEnding = false;
bool groupsDirty = true;

namespace {

bool loadStateCaptured = false;
int32_t loadEnabled[MAX_FEATURES];

} // namespace

uint32_t TimeAfter(uint32_t now, int64_t delay) {
    if (delay < 0) delay = 0;
    int64_t time = static_cast<int64_t>(now) + delay;
    if (time < 1) time = 1;
    if (time > TIME_LATEST) time = TIME_LATEST;
    return static_cast<uint32_t>(time);
}

int FeatureIndex(const CFeature& feature) {
    return static_cast<int>(&feature - featureTable);
}

CFeature* LabelledFeature(int32_t label) {
    if (label < 0 || label >= MAX_LABELS) return nullptr;
    const int32_t index = labelTable[label].feature;
    if (index < 0 || index >= featureCount || index >= MAX_FEATURES) return nullptr;
    return &featureTable[index];
}

void CaptureLoadState() {
    for (int i = 0; i < MAX_FEATURES; ++i)
        loadEnabled[i] = i < featureCount ? featureTable[i].enabled : 0;
    loadStateCaptured = true;
}

bool LoadStateCaptured() {
    return loadStateCaptured;
}

int32_t LoadEnabled(int feature) {
    if (feature < 0 || feature >= MAX_FEATURES) return 0;
    return loadEnabled[feature];
}

void ResetEngineState() {
    currentSection = 0;
    sectionEnding = false;
    groupsDirty = true;
    loadStateCaptured = false;
}
