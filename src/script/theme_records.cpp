#include "script/theme_records.h"

#include <cstring>

ThemeModule moduleTable[MAX_MODULES];
int32_t moduleCount;
char themeName[THEME_NAME_LEN + 1];
int32_t activeModule;
ThemeModule* currentModule;
LabelEntry labelTable[MAX_LABELS];
int32_t labelCount;
SectionEntry sectionTable[MAX_SECTIONS];
int32_t sectionCount;
CFeature featureTable[MAX_FEATURES];
int32_t featureCount;

void (*releaseFeatureImage)(CImage*) = nullptr;
void (*releaseFeatureSound)(CSound*) = nullptr;

void CFeature::SetDefaults() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    fadeNextTime = -1;
    startType = START_RANDOM;
    positionX = RANDOM_CODE;
    positionY = 1;
    durationType = DURATION_ON_SCREEN;
    movementType = MOVE_STATIC;
    displaySlot = -1;
    soundCycleFrame = -1;
    enabled = 1;
}

void ResetModuleTable() {
    std::memset(moduleTable, 0, sizeof(moduleTable));
    moduleCount = 0;
    themeName[0] = '\0';
    activeModule = 0;
    currentModule = nullptr;
}

void ResetModuleContent() {
    for (int i = 0; i < featureCount; ++i) {
        CFeature& f = featureTable[i];
        delete[] f.pattern.steps;
        if (releaseFeatureImage) releaseFeatureImage(f.image);
        if (releaseFeatureSound) {
            releaseFeatureSound(f.sound);
            releaseFeatureSound(f.bounceSound);
        }
    }
    std::memset(static_cast<void*>(featureTable), 0, sizeof(featureTable));
    std::memset(labelTable, 0, sizeof(labelTable));
    std::memset(sectionTable, 0, sizeof(sectionTable));
    featureCount = labelCount = sectionCount = 0;
}
