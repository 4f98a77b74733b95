#include "app/settings_store.h"

#include "app/app_state.h"
#include "platform/settings_backend.h"
#include "script/theme_records.h"

bool Sound = true;
int32_t Gamma = 0;
int32_t PlayMode = PLAY_SELECTED;
int32_t MasterVolume = 100;

namespace {

const char CONFIG_SECTION[] = "Config";

int32_t ReadConfig(const char* name, int32_t defaultValue) {
    return SettingsReadInt(saverName, CONFIG_SECTION, name, defaultValue);
}

void WriteConfig(const char* name, int32_t value) {
    SettingsWriteInt(saverName, CONFIG_SECTION, name, value);
}

} // namespace

int ReadSettings() {
    activeModule = ReadConfig("ActiveModule", 0);
    if (activeModule < 0 || activeModule >= moduleCount) activeModule = 0;
    Sound = ReadConfig("Sound", 1) == 1;
    Gamma = ReadConfig("Gamma", 0);
    PlayMode = ReadConfig("PlayMode", PLAY_SEQUENTIAL);
    MasterVolume = ReadConfig("MasterVolume", 100);
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        ThemeModule& module = moduleTable[m];
        for (ModuleParam& param : module.params) {
            if (param.name[0] == '\0') continue;
            param.value = SettingsReadInt(saverName, module.name, param.name, param.defaultValue);
        }
    }
    return 1;
}

int WriteSettings() {
    WriteConfig("ActiveModule", activeModule);
    WriteConfig("Sound", Sound ? 1 : 0);
    WriteConfig("Gamma", Gamma);
    WriteConfig("PlayMode", PlayMode);
    WriteConfig("MasterVolume", MasterVolume);
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        const ThemeModule& module = moduleTable[m];
        for (const ModuleParam& param : module.params) {
            if (param.name[0] == '\0') continue;
            SettingsWriteInt(saverName, module.name, param.name, param.value);
        }
    }
    return 1;
}

void ResetSettings() {
    Sound = true;
    Gamma = 0;
    PlayMode = PLAY_SELECTED;
    MasterVolume = 100;
}
