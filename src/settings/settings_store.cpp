#include "settings/settings_store.h"

#include "platform/settings_backend.h"
#include "script/theme_records.h"

namespace {

const char CONFIG_SECTION[] = "Config";

int32_t ReadConfig(const char* saverName, const char* name, int32_t defaultValue) {
    return SettingsReadInt(saverName, CONFIG_SECTION, name, defaultValue);
}

void WriteConfig(const char* saverName, const char* name, int32_t value) {
    SettingsWriteInt(saverName, CONFIG_SECTION, name, value);
}

} // namespace

int SettingsStore::ReadSettings() {
    activeModule = ReadConfig(saverName, "ActiveModule", 0);
    const int32_t moduleCount = theme ? theme->moduleCount : 0;
    if (activeModule < 0 || activeModule >= moduleCount) activeModule = 0;
    Sound = ReadConfig(saverName, "Sound", 1) == 1;
    Gamma = ReadConfig(saverName, "Gamma", 0);
    PlayMode = ReadConfig(saverName, "PlayMode", PLAY_SEQUENTIAL);
    MasterVolume = ReadConfig(saverName, "MasterVolume", 100);
    OtherMonitors =
        ReadConfig(saverName, "OtherMonitors", OTHER_MONITORS_PLAY) == OTHER_MONITORS_BLACK
            ? OTHER_MONITORS_BLACK
            : OTHER_MONITORS_PLAY;
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        ThemeModule& module = theme->moduleTable[m];
        for (ModuleParam& param : module.params) {
            if (param.name[0] == '\0') continue;
            param.value = SettingsReadInt(saverName, module.name, param.name, param.defaultValue);
        }
    }
    return 1;
}

int SettingsStore::WriteSettings() {
    WriteConfig(saverName, "ActiveModule", activeModule);
    WriteConfig(saverName, "Sound", Sound ? 1 : 0);
    WriteConfig(saverName, "Gamma", Gamma);
    WriteConfig(saverName, "PlayMode", PlayMode);
    WriteConfig(saverName, "MasterVolume", MasterVolume);
    WriteConfig(saverName, "OtherMonitors", OtherMonitors);
    const int32_t moduleCount = theme ? theme->moduleCount : 0;
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        const ThemeModule& module = theme->moduleTable[m];
        for (const ModuleParam& param : module.params) {
            if (param.name[0] == '\0') continue;
            SettingsWriteInt(saverName, module.name, param.name, param.value);
        }
    }
    return 1;
}

void SettingsStore::ResetSettings() {
    activeModule = 0;
    Sound = true;
    Gamma = 0;
    PlayMode = PLAY_SELECTED;
    MasterVolume = 100;
    OtherMonitors = OTHER_MONITORS_PLAY;
}
