// The settings file of the desktop program: where it lives, what survives a
// round trip, and what a damaged file gives.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "platform/settings_backend.h"
#include "support/test_files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
    std::string FileOf(const std::string& saver) const {
        return dir.Path() + "/Tarnwell/Glimmora/" + saver + ".ini";
    }
    TempDir dir;
};

TEST_F(SettingsFileTest, ValuesRoundTripInOneFilePerSaver) {
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "Config", "Sound", 7), 7);
    EXPECT_FALSE(std::filesystem::exists(FileOf("QV Aquarium"))); // reading creates nothing

    SettingsWriteInt("QV Aquarium", "Config", "Sound", 0);
    SettingsWriteInt("QV Aquarium", "Config", "MasterVolume", -2147483647 - 1);
    SettingsWriteInt("QV Aquarium", "Coral Reef", "Speed", 2147483647);
    SettingsWriteInt("QV Other", "Config", "Sound", 1);
    EXPECT_TRUE(std::filesystem::exists(FileOf("QV Aquarium")));
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "Config", "Sound", 7), 0);
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "Config", "MasterVolume", 7), -2147483647 - 1);
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "Coral Reef", "Speed", 7), 2147483647);
    EXPECT_EQ(SettingsReadInt("QV Other", "Config", "Sound", 7), 1);
    EXPECT_EQ(SettingsReadInt("QV Other", "Coral Reef", "Speed", 7), 7);

    std::string text = ReadFileText(FileOf("QV Aquarium"));
    EXPECT_NE(text.find("[Config]"), std::string::npos) << text;
    EXPECT_NE(text.find("Sound=0"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, AnyModuleNameRoundTrips) {
    const char* names[] = {"General",    "A/B",      "C\\D",      "50% off",    "%2F",
                           "[Brackets]", "a=b; c#d", "\xE9t\xE9", "  spaced  ", ""};
    int value = 1;
    for (const char* name : names) SettingsWriteInt("S", name, "Speed", value++);
    value = 1;
    for (const char* name : names)
        EXPECT_EQ(SettingsReadInt("S", name, "Speed", 0), value++) << name;
    EXPECT_EQ(SettingsReadInt("S", "A", "Speed", 0), 0); // "A/B" is no group inside "A"
    EXPECT_EQ(SettingsReadInt("S", "Config", "Speed", 0), 0);
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase) {
    SettingsWriteInt("QV Aquarium", "Coral Reef", "Speed", 5);
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "CORAL REEF", "speed", 0), 5);
    SettingsWriteInt("QV Aquarium", "coral reef", "SPEED", 6);
    EXPECT_EQ(SettingsReadInt("QV Aquarium", "Coral Reef", "Speed", 0), 6);
    // One entry, not two that differ in case.
    std::string text = ReadFileText(FileOf("QV Aquarium"));
    EXPECT_EQ(text.find("SPEED"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, DamagedFilesGiveDefaultsAndAreRepairedByAWrite) {
    std::filesystem::create_directories(dir.Path() + "/Tarnwell/Glimmora");
    dir.Write("Tarnwell/Glimmora/S.ini",
              "[Config]\nSound=loud\nGamma=99999999999\nPlayMode=\n[Broken\n\x01\x02\xff=3\n");
    EXPECT_EQ(SettingsReadInt("S", "Config", "Sound", 1), 1);
    EXPECT_EQ(SettingsReadInt("S", "Config", "Gamma", 2), 2);
    EXPECT_EQ(SettingsReadInt("S", "Config", "PlayMode", 3), 3);
    SettingsWriteInt("S", "Config", "Sound", 0);
    EXPECT_EQ(SettingsReadInt("S", "Config", "Sound", 1), 0);

    dir.WriteBytes("Tarnwell/Glimmora/T.ini", {0, 0xff, 0xfe, 0, '[', 0, '\n'});
    EXPECT_EQ(SettingsReadInt("T", "Config", "Sound", 4), 4);
    SettingsWriteInt("T", "Config", "Sound", 0);
    EXPECT_EQ(SettingsReadInt("T", "Config", "Sound", 4), 0);
}

TEST_F(SettingsFileTest, WritesLeaveNoTemporaryFiles) {
    for (int i = 0; i < 20; ++i) SettingsWriteInt("S", "Config", "Sound", i);
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(dir.Path() + "/Tarnwell/Glimmora")) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "S.ini");
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(SettingsReadInt("S", "Config", "Sound", -1), 19);
}

TEST_F(SettingsFileTest, RelativeOrMissingConfigHomeMeansTheHomeFolder) {
    TempDir home;
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/place", 1);
    SettingsWriteInt("S", "Config", "Sound", 3);
    EXPECT_TRUE(std::filesystem::exists(home.Path() + "/.config/Tarnwell/Glimmora/S.ini"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsReadInt("S", "Config", "Sound", 0), 3);
}

} // namespace

#endif
