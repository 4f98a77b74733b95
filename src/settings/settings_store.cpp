#include "settings/settings_store.h"

#include "script/theme_records.h"

#include <cstdio>

namespace {

const char CONFIG_SECTION[] = "Config";
constexpr int CONFIG_VALUES = 7;
static_assert(CONFIG_VALUES + MAX_MODULES * MODULE_PARAMS <= SETTINGS_PROFILE_VALUES,
              "a profile holds every setting");

// Every named parameter of the module table, module by module and slot by
// slot, with its default or its current value.
void AddParams(SettingsProfile& profile, const ThemeTables* theme, bool defaults) {
    const int32_t moduleCount = theme ? theme->moduleCount : 0;
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        const ThemeModule& module = theme->moduleTable[m];
        for (const ModuleParam& param : module.params) {
            if (param.name[0] == '\0') continue;
            profile.Add(module.name, param.name, defaults ? param.defaultValue : param.value);
        }
    }
}

} // namespace

int SettingsStore::ReadSettings() {
    SettingsProfile profile;
    profile.saverName = saverName;
    profile.Add(CONFIG_SECTION, "ActiveModule", 0);
    profile.Add(CONFIG_SECTION, "Sound", 1);
    profile.Add(CONFIG_SECTION, "Gamma", 0);
    profile.Add(CONFIG_SECTION, "PlayMode", PLAY_SEQUENTIAL);
    profile.Add(CONFIG_SECTION, "MasterVolume", 100);
    profile.Add(CONFIG_SECTION, "OtherMonitors", OTHER_MONITORS_PLAY);
    profile.Add(CONFIG_SECTION, "PictureSize", PICTURE_SIZE_FIT);
    AddParams(profile, theme, true);
    if (storage) storage->ReadProfile(profile);

    const SettingsValue* stored = profile.values;
    const int32_t moduleCount = theme ? theme->moduleCount : 0;
    activeModule = stored[0].value;
    if (activeModule < 0 || activeModule >= moduleCount) activeModule = 0;
    Sound = stored[1].value == 1;
    Gamma = stored[2].value;
    PlayMode = stored[3].value;
    MasterVolume = stored[4].value;
    OtherMonitors =
        stored[5].value == OTHER_MONITORS_BLACK ? OTHER_MONITORS_BLACK : OTHER_MONITORS_PLAY;
    PictureSize =
        stored[6].value == PICTURE_SIZE_ORIGINAL ? PICTURE_SIZE_ORIGINAL : PICTURE_SIZE_FIT;
    int next = CONFIG_VALUES;
    for (int m = 0; m < moduleCount && m < MAX_MODULES; ++m) {
        for (ModuleParam& param : theme->moduleTable[m].params) {
            if (param.name[0] != '\0') param.value = stored[next++].value;
        }
    }
    return 1;
}

int SettingsStore::WriteSettings() {
    SettingsProfile profile;
    profile.saverName = saverName;
    profile.Add(CONFIG_SECTION, "ActiveModule", activeModule);
    profile.Add(CONFIG_SECTION, "Sound", Sound ? 1 : 0);
    profile.Add(CONFIG_SECTION, "Gamma", Gamma);
    profile.Add(CONFIG_SECTION, "PlayMode", PlayMode);
    profile.Add(CONFIG_SECTION, "MasterVolume", MasterVolume);
    profile.Add(CONFIG_SECTION, "OtherMonitors", OtherMonitors);
    profile.Add(CONFIG_SECTION, "PictureSize", PictureSize);
    AddParams(profile, theme, false);
    writeFailure[0] = '\0';
    if (storage && storage->WriteProfile(profile, writeFailure, sizeof(writeFailure))) {
        writeFailure[0] = '\0';
        return 1;
    }
    // A store that fails must say why; this only guards against one that does not.
    if (writeFailure[0] == '\0')
        std::snprintf(writeFailure, sizeof(writeFailure), "no reason given");
    return 0;
}

void SettingsStore::ResetSettings() {
    activeModule = 0;
    Sound = true;
    Gamma = 0;
    PlayMode = PLAY_SELECTED;
    MasterVolume = 100;
    OtherMonitors = OTHER_MONITORS_PLAY;
    PictureSize = PICTURE_SIZE_FIT;
}
