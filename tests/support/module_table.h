// Module tables written straight into a theme's tables, and the settings read
// back over them, for the tests of the dialogs (the ui layer and the ports).
#pragma once

#include "script/theme_records.h"
#include "settings/settings_store.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>

struct ParamSpec {
    const char* name;
    const char* caption;
    const char* leftLabel;
    const char* rightLabel;
    int32_t leftValue;
    int32_t rightValue;
    int32_t value;
};

// Adds a module with up to three parameters (a null name leaves a slot empty).
inline void AddModule(ThemeTables& theme, const char* name,
                      std::initializer_list<ParamSpec> params) {
    ThemeModule& module = theme.moduleTable[theme.moduleCount++];
    std::snprintf(module.name, sizeof(module.name), "%s", name);
    int k = 0;
    for (const ParamSpec& p : params) {
        ModuleParam& slot = module.params[k++];
        std::snprintf(slot.name, sizeof(slot.name), "%s", p.name ? p.name : "");
        std::snprintf(slot.caption, sizeof(slot.caption), "%s", p.caption);
        std::snprintf(slot.leftLabel, sizeof(slot.leftLabel), "%s", p.leftLabel);
        std::snprintf(slot.rightLabel, sizeof(slot.rightLabel), "%s", p.rightLabel);
        slot.leftValue = p.leftValue;
        slot.rightValue = p.rightValue;
        slot.defaultValue = p.value;
        slot.value = p.value;
    }
}

// Reads back what the settings store holds, after spoiling memory.
inline void ReloadSettings(SettingsStore& settings, ThemeTables& theme) {
    settings.Sound = false;
    settings.Gamma = 99;
    settings.PlayMode = 99;
    settings.MasterVolume = 99;
    settings.activeModule = 0;
    for (int m = 0; m < theme.moduleCount; ++m) {
        for (ModuleParam& p : theme.moduleTable[m].params) p.value = -99;
    }
    settings.ReadSettings();
}
