#include "base/error_sink.h"
#include "base/paths.h"
#include "ports/headless/headless_settings.h"
#include "script/script_context.h"
#include "script/setup_scan.h"
#include "script/theme_records.h"
#include "settings/settings_store.h"
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

const char* const SAVER = "QV Reef";

// The store over the headless settings, with the module table of a script
// context.
class SettingsStoreTest : public ::testing::Test {
  protected:
    SettingsStoreTest() {
        script.ReportTo(errors);
        settings.saverName = saverName;
        settings.theme = &script.theme;
        settings.storage = &stored;
        std::snprintf(saverName, sizeof(saverName), "%s", SAVER);
    }

    // Fills the module table from a script with modules Reef (Fish, an
    // unnamed slot, Speed) and Night (Stars).
    void ScanTheme(const char* secondName = "Night") {
        std::string text = std::string("ThemeName \"Aquarium\"\n") +
                           "Module \"Reef\"\n{\nSetup\n{\n"
                           "#Fish \"Fish\" \"Few\" \"Many\" 1 20 10\n"
                           "# \"Unnamed\" \"l\" \"r\" 0 5 3\n"
                           "#Speed \"Speed\" \"Slow\" \"Fast\" 200 10 50\n"
                           "}\n}\n"
                           "Module \"" +
                           secondName +
                           "\"\n{\nSetup\n{\n"
                           "#Stars \"Stars\" \"None\" \"All\" 0 100 25\n"
                           "}\n}\n"
                           "Module \"Empty\"\n{\nSetup\n{\n}\n}\n";
        std::string path = dir.Write("theme.SS", text);
        ASSERT_EQ(ScanThemeSetup(script, path.c_str()), 1);
        ASSERT_EQ(moduleCount, 3);
    }

    int32_t Stored(const char* section, const char* name, int32_t missing = -999) const {
        int32_t v;
        return stored.Get(SAVER, section, name, &v) ? v : missing;
    }

    ErrorSink errors;
    std::unique_ptr<ScriptContext> context = std::make_unique<ScriptContext>();
    ScriptContext& script = *context;
    ThemeTables& theme = script.theme;
    ThemeModule* const moduleTable = theme.moduleTable;
    int32_t& moduleCount = theme.moduleCount;
    HeadlessSettings stored;
    char saverName[PATH_LEN + 1] = {};
    SettingsStore settings;
    TempDir dir;
};

TEST_F(SettingsStoreTest, InitialValuesBeforeAnyRead) {
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_TRUE(settings.Sound);
    EXPECT_EQ(settings.Gamma, 0);
    EXPECT_EQ(settings.PlayMode, 0);
    EXPECT_EQ(settings.MasterVolume, 100);
}

TEST_F(SettingsStoreTest, FreshUserGetsDefaultsAndAnEmptyKeyPath) {
    ScanTheme();
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_TRUE(settings.Sound);
    EXPECT_EQ(settings.Gamma, 0);
    EXPECT_EQ(settings.PlayMode, PLAY_SEQUENTIAL);
    EXPECT_EQ(settings.MasterVolume, 100);
    EXPECT_EQ(moduleTable[0].params[0].value, 10);
    EXPECT_EQ(moduleTable[0].params[2].value, 50);
    EXPECT_EQ(moduleTable[1].params[0].value, 25);
    // Reading leaves the sections in place, without values.
    EXPECT_TRUE(stored.HasSection(SAVER, "Config"));
    EXPECT_TRUE(stored.HasSection(SAVER, "Reef"));
    EXPECT_TRUE(stored.HasSection(SAVER, "Night"));
    EXPECT_EQ(stored.ValueCount(SAVER, "Config"), 0);
    EXPECT_EQ(stored.ValueCount(SAVER, "Reef"), 0);
}

TEST_F(SettingsStoreTest, StoredValuesAreRead) {
    ScanTheme();
    stored.Set(SAVER, "Config", "ActiveModule", 1);
    stored.Set(SAVER, "Config", "Sound", 0);
    stored.Set(SAVER, "Config", "Gamma", -7); // no range limit on reading
    stored.Set(SAVER, "Config", "PlayMode", 1);
    stored.Set(SAVER, "Config", "MasterVolume", 40);
    stored.Set(SAVER, "Reef", "Fish", 500);
    stored.Set(SAVER, "Night", "Stars", -3);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_FALSE(settings.Sound);
    EXPECT_EQ(settings.Gamma, -7);
    EXPECT_EQ(settings.PlayMode, 1);
    EXPECT_EQ(settings.MasterVolume, 40);
    EXPECT_EQ(moduleTable[0].params[0].value, 500);
    EXPECT_EQ(moduleTable[0].params[2].value, 50);
    EXPECT_EQ(moduleTable[1].params[0].value, -3);
}

TEST_F(SettingsStoreTest, SoundIsOnOnlyWhenStoredAsOne) {
    ScanTheme();
    stored.Set(SAVER, "Config", "Sound", 2);
    settings.ReadSettings();
    EXPECT_FALSE(settings.Sound);
    settings.WriteSettings();
    EXPECT_EQ(Stored("Config", "Sound"), 0);
    stored.Set(SAVER, "Config", "Sound", 1);
    settings.ReadSettings();
    EXPECT_TRUE(settings.Sound);
    settings.WriteSettings();
    EXPECT_EQ(Stored("Config", "Sound"), 1);
}

// The two-way choices of More Options: only one stored value means the other
// choice; anything else, or nothing, is the default.
TEST_F(SettingsStoreTest, TwoWayChoicesTakeTheirDefaultUnlessStoredAsTheOther) {
    const struct {
        const char* name;
        int32_t SettingsStore::*field;
        int32_t byDefault;
        int32_t other;      // what `otherValue` stored means
        int32_t otherValue; // the one stored value that chooses `other`
    } choices[] = {
        {"OtherMonitors", &SettingsStore::OtherMonitors, OTHER_MONITORS_PLAY, OTHER_MONITORS_BLACK,
         1},
        {"PictureSize", &SettingsStore::PictureSize, PICTURE_SIZE_FIT, PICTURE_SIZE_ORIGINAL, 0},
    };
    ScanTheme();
    settings.ReadSettings();
    for (const auto& choice : choices) {
        EXPECT_EQ(settings.*choice.field, choice.byDefault) << choice.name; // absent
    }
    for (const auto& choice : choices) {
        for (int32_t value : {0, 1, 2, 3, -1}) {
            const int32_t read = value == choice.otherValue ? choice.other : choice.byDefault;
            stored.Set(SAVER, "Config", choice.name, value);
            settings.ReadSettings();
            EXPECT_EQ(settings.*choice.field, read) << choice.name << " " << value;
            settings.WriteSettings();
            EXPECT_EQ(Stored("Config", choice.name), read) << choice.name << " " << value;
        }
    }
    settings.ResetSettings();
    for (const auto& choice : choices) EXPECT_EQ(settings.*choice.field, choice.byDefault);
}

TEST_F(SettingsStoreTest, ActiveModuleOutOfRangeFallsBackToZero) {
    ScanTheme();
    stored.Set(SAVER, "Config", "ActiveModule", 5);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    stored.Set(SAVER, "Config", "ActiveModule", 3);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    stored.Set(SAVER, "Config", "ActiveModule", -1);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    stored.Set(SAVER, "Config", "ActiveModule", 2);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 2);
}

TEST_F(SettingsStoreTest, WithoutModulesActiveModuleIsZero) {
    stored.Set(SAVER, "Config", "ActiveModule", 1);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
}

TEST_F(SettingsStoreTest, RoundTrip) {
    ScanTheme();
    settings.ReadSettings();
    settings.activeModule = 2;
    settings.Sound = false;
    settings.Gamma = 3;
    settings.PlayMode = PLAY_RANDOM;
    settings.MasterVolume = 55;
    moduleTable[0].params[0].value = 17;
    moduleTable[0].params[2].value = 120;
    moduleTable[1].params[0].value = 99;
    settings.WriteSettings();

    EXPECT_EQ(Stored("Config", "ActiveModule"), 2);
    EXPECT_EQ(Stored("Config", "Gamma"), 3);
    EXPECT_EQ(Stored("Config", "PlayMode"), 1);
    EXPECT_EQ(Stored("Config", "MasterVolume"), 55);
    EXPECT_EQ(Stored("Reef", "Fish"), 17);
    EXPECT_EQ(Stored("Reef", "Speed"), 120);
    EXPECT_EQ(Stored("Night", "Stars"), 99);
    // The unnamed slot is neither written nor read.
    EXPECT_EQ(stored.ValueCount(SAVER, "Reef"), 2);
    EXPECT_EQ(Stored("Reef", ""), -999);

    settings.ResetSettings();
    theme.ResetModuleTable();
    ScanTheme();
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 2);
    EXPECT_FALSE(settings.Sound);
    EXPECT_EQ(settings.Gamma, 3);
    EXPECT_EQ(settings.PlayMode, PLAY_RANDOM);
    EXPECT_EQ(settings.MasterVolume, 55);
    EXPECT_EQ(moduleTable[0].params[0].value, 17);
    EXPECT_EQ(moduleTable[0].params[2].value, 120);
    EXPECT_EQ(moduleTable[1].params[0].value, 99);
}

TEST_F(SettingsStoreTest, UnnamedSlotKeepsItsValue) {
    ScanTheme();
    stored.Set(SAVER, "Reef", "", 4);
    moduleTable[0].params[1].value = 77;
    settings.ReadSettings();
    EXPECT_EQ(moduleTable[0].params[1].value, 77);
}

TEST_F(SettingsStoreTest, RenamedModuleStartsFromItsDefaults) {
    ScanTheme();
    stored.Set(SAVER, "Night", "Stars", 80);
    theme.ResetModuleTable();
    ScanTheme("Dusk");
    settings.ReadSettings();
    EXPECT_EQ(moduleTable[1].params[0].value, 25);
    settings.WriteSettings();
    EXPECT_EQ(Stored("Night", "Stars"), 80); // the old section is left untouched
    EXPECT_EQ(Stored("Dusk", "Stars"), 25);
}

TEST_F(SettingsStoreTest, EachSaverFileKeepsItsOwnSettings) {
    ScanTheme();
    settings.ReadSettings();
    settings.MasterVolume = 30;
    moduleTable[0].params[0].value = 2;
    settings.WriteSettings();

    std::snprintf(saverName, sizeof(saverName), "%s", "QV Reef Copy");
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 100);
    EXPECT_EQ(moduleTable[0].params[0].value, 10);

    std::snprintf(saverName, sizeof(saverName), "%s", SAVER);
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 30);
    EXPECT_EQ(moduleTable[0].params[0].value, 2);
}

TEST_F(SettingsStoreTest, AFailedWriteIsReportedAndStoresNothing) {
    ScanTheme();
    stored.Set(SAVER, "Config", "MasterVolume", 10);
    stored.Fail(true);
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 100);
    EXPECT_EQ(settings.PlayMode, PLAY_SEQUENTIAL);
    settings.MasterVolume = 70;
    moduleTable[0].params[0].value = 3;
    EXPECT_EQ(settings.WriteSettings(), 0);
    EXPECT_NE(std::string(settings.writeFailure).find("QV Reef"), std::string::npos)
        << settings.writeFailure;
    stored.Fail(false);
    // None of the profile's values was stored: the old ones stay, whole.
    EXPECT_EQ(Stored("Config", "MasterVolume"), 10);
    EXPECT_EQ(Stored("Config", "Gamma"), -999);
    EXPECT_EQ(Stored("Reef", "Fish"), -999);

    EXPECT_EQ(settings.WriteSettings(), 1);
    EXPECT_STREQ(settings.writeFailure, "");
    EXPECT_EQ(Stored("Config", "MasterVolume"), 70);
    EXPECT_EQ(Stored("Reef", "Fish"), 3);
}

} // namespace
