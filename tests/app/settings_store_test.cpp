#include "app/app_state.h"
#include "platform/headless/headless_settings.h"
#include "script/script_reader.h"
#include "script/setup_scan.h"
#include "script/theme_records.h"
#include "settings/settings_store.h"
#include "support/context_fixture.h"
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char* const SAVER = "QV Reef";

class SettingsStoreTest : public ContextTest {
  protected:
    void SetUp() override {
        ResetContext();
        settings.ResetSettings();
        HeadlessSettingsClear();
        std::snprintf(run.saverName, sizeof(run.saverName), "%s", SAVER);
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
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", path.c_str());
        ASSERT_EQ(ScanThemeSetup(script, run.scriptPath), 1);
        ASSERT_EQ(moduleCount, 3);
    }

    static int32_t Stored(const char* section, const char* name, int32_t missing = -999) {
        int32_t v;
        return HeadlessSettingsGet(SAVER, section, name, &v) ? v : missing;
    }

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
    EXPECT_TRUE(HeadlessSettingsHasSection(SAVER, "Config"));
    EXPECT_TRUE(HeadlessSettingsHasSection(SAVER, "Reef"));
    EXPECT_TRUE(HeadlessSettingsHasSection(SAVER, "Night"));
    EXPECT_EQ(HeadlessSettingsValueCount(SAVER, "Config"), 0);
    EXPECT_EQ(HeadlessSettingsValueCount(SAVER, "Reef"), 0);
}

TEST_F(SettingsStoreTest, StoredValuesAreRead) {
    ScanTheme();
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", 1);
    HeadlessSettingsSet(SAVER, "Config", "Sound", 0);
    HeadlessSettingsSet(SAVER, "Config", "Gamma", -7); // no range limit on reading
    HeadlessSettingsSet(SAVER, "Config", "PlayMode", 1);
    HeadlessSettingsSet(SAVER, "Config", "MasterVolume", 40);
    HeadlessSettingsSet(SAVER, "Reef", "Fish", 500);
    HeadlessSettingsSet(SAVER, "Night", "Stars", -3);
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
    HeadlessSettingsSet(SAVER, "Config", "Sound", 2);
    settings.ReadSettings();
    EXPECT_FALSE(settings.Sound);
    settings.WriteSettings();
    EXPECT_EQ(Stored("Config", "Sound"), 0);
    HeadlessSettingsSet(SAVER, "Config", "Sound", 1);
    settings.ReadSettings();
    EXPECT_TRUE(settings.Sound);
    settings.WriteSettings();
    EXPECT_EQ(Stored("Config", "Sound"), 1);
}

TEST_F(SettingsStoreTest, OtherMonitorsAreBlackOnlyWhenStoredAsOne) {
    ScanTheme();
    settings.ReadSettings();
    EXPECT_EQ(settings.OtherMonitors, OTHER_MONITORS_PLAY); // absent: play
    const struct {
        int32_t stored;
        int32_t read;
    } cases[] = {{1, OTHER_MONITORS_BLACK},
                 {0, OTHER_MONITORS_PLAY},
                 {2, OTHER_MONITORS_PLAY},
                 {-1, OTHER_MONITORS_PLAY}};
    for (const auto& c : cases) {
        HeadlessSettingsSet(SAVER, "Config", "OtherMonitors", c.stored);
        settings.ReadSettings();
        EXPECT_EQ(settings.OtherMonitors, c.read) << c.stored;
        settings.WriteSettings();
        EXPECT_EQ(Stored("Config", "OtherMonitors"), c.read) << c.stored;
    }
    settings.ResetSettings();
    EXPECT_EQ(settings.OtherMonitors, OTHER_MONITORS_PLAY);
}

TEST_F(SettingsStoreTest, PictureSizeIsOriginalOnlyWhenStoredAsZero) {
    ScanTheme();
    settings.ReadSettings();
    EXPECT_EQ(settings.PictureSize, PICTURE_SIZE_FIT); // absent: fit the screen
    const struct {
        int32_t stored;
        int32_t read;
    } cases[] = {{0, PICTURE_SIZE_ORIGINAL},
                 {1, PICTURE_SIZE_FIT},
                 {3, PICTURE_SIZE_FIT},
                 {-1, PICTURE_SIZE_FIT}};
    for (const auto& c : cases) {
        HeadlessSettingsSet(SAVER, "Config", "PictureSize", c.stored);
        settings.ReadSettings();
        EXPECT_EQ(settings.PictureSize, c.read) << c.stored;
        settings.WriteSettings();
        EXPECT_EQ(Stored("Config", "PictureSize"), c.read) << c.stored;
    }
    settings.ResetSettings();
    EXPECT_EQ(settings.PictureSize, PICTURE_SIZE_FIT);
}

TEST_F(SettingsStoreTest, ActiveModuleOutOfRangeFallsBackToZero) {
    ScanTheme();
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", 5);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", 3);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", -1);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", 2);
    settings.ReadSettings();
    EXPECT_EQ(settings.activeModule, 2);
}

TEST_F(SettingsStoreTest, WithoutModulesActiveModuleIsZero) {
    HeadlessSettingsSet(SAVER, "Config", "ActiveModule", 1);
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
    EXPECT_EQ(HeadlessSettingsValueCount(SAVER, "Reef"), 2);
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
    HeadlessSettingsSet(SAVER, "Reef", "", 4);
    moduleTable[0].params[1].value = 77;
    settings.ReadSettings();
    EXPECT_EQ(moduleTable[0].params[1].value, 77);
}

TEST_F(SettingsStoreTest, RenamedModuleStartsFromItsDefaults) {
    ScanTheme();
    HeadlessSettingsSet(SAVER, "Night", "Stars", 80);
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

    std::snprintf(run.saverName, sizeof(run.saverName), "%s", "QV Reef Copy");
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 100);
    EXPECT_EQ(moduleTable[0].params[0].value, 10);

    std::snprintf(run.saverName, sizeof(run.saverName), "%s", SAVER);
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 30);
    EXPECT_EQ(moduleTable[0].params[0].value, 2);
}

TEST_F(SettingsStoreTest, AFailedWriteIsReportedAndStoresNothing) {
    ScanTheme();
    HeadlessSettingsSet(SAVER, "Config", "MasterVolume", 10);
    HeadlessSettingsFail(true);
    settings.ReadSettings();
    EXPECT_EQ(settings.MasterVolume, 100);
    EXPECT_EQ(settings.PlayMode, PLAY_SEQUENTIAL);
    settings.MasterVolume = 70;
    moduleTable[0].params[0].value = 3;
    EXPECT_EQ(settings.WriteSettings(), 0);
    EXPECT_NE(std::string(settings.writeFailure).find("QV Reef"), std::string::npos)
        << settings.writeFailure;
    HeadlessSettingsFail(false);
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
