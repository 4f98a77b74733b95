#include "script/theme_records.h"

#include <cstring>

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

ThemeTables::ThemeTables() {
    ResetModuleTable();
    featureCount = 0;
    ResetModuleContent();
}

ThemeTables::~ThemeTables() {
    ResetModuleContent();
}

void ThemeTables::ResetModuleTable() {
    std::memset(moduleTable, 0, sizeof(moduleTable));
    moduleCount = 0;
    themeName[0] = '\0';
    currentModule = nullptr;
}

void ThemeTables::ResetModuleContent() {
    for (int i = 0; i < featureCount && i < MAX_FEATURES; ++i)
        delete[] featureTable[i].pattern.steps;
    std::memset(static_cast<void*>(featureTable), 0, sizeof(featureTable));
    std::memset(labelTable, 0, sizeof(labelTable));
    std::memset(sectionTable, 0, sizeof(sectionTable));
    featureCount = labelCount = sectionCount = 0;
}
