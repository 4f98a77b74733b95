// The settings file of the desktop program: where it lives, what survives a
// round trip, what a damaged file gives, and that a write that cannot be
// made leaves the old file exactly as it was and says why.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "ports/qt/settings_backend_qt.h"
#include "scratch_disk.h"
#include "support/test_files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int32_t Read(const char* saver, const char* section, const char* name, int32_t defaultValue) {
    SettingsProfile profile;
    profile.saverName = saver;
    profile.Add(section, name, defaultValue);
    QtSettings().ReadProfile(profile);
    return profile.values[0].value;
}

// Writes one value; the reason of a failure, or "" on success.
std::string Write(const char* saver, const char* section, const char* name, int32_t value) {
    SettingsProfile profile;
    profile.saverName = saver;
    profile.Add(section, name, value);
    char reason[SETTINGS_REASON_LEN] = {};
    if (QtSettings().WriteProfile(profile, reason, sizeof(reason))) return "";
    return reason[0] ? reason : "(no reason)";
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
    std::string FileOf(const std::string& saver) const {
        return dir.Path() + "/Tarnwell/Glimmora/" + saver + ".ini";
    }
    std::string Folder() const { return dir.Path() + "/Tarnwell/Glimmora"; }
    // The names in the settings folder.
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    TempDir dir;
};

TEST_F(SettingsFileTest, ValuesRoundTripInOneFilePerSaver) {
    EXPECT_EQ(Read("QV Aquarium", "Config", "Sound", 7), 7);
    EXPECT_FALSE(std::filesystem::exists(FileOf("QV Aquarium"))); // reading creates nothing

    SettingsProfile profile;
    profile.saverName = "QV Aquarium";
    profile.Add("Config", "Sound", 0);
    profile.Add("Config", "MasterVolume", INT32_MIN);
    profile.Add("Coral Reef", "Speed", INT32_MAX);
    char reason[SETTINGS_REASON_LEN] = {};
    ASSERT_EQ(QtSettings().WriteProfile(profile, reason, sizeof(reason)), 1) << reason;
    EXPECT_EQ(Write("QV Other", "Config", "Sound", 1), "");
    EXPECT_EQ(Read("QV Aquarium", "Config", "Sound", 7), 0);
    EXPECT_EQ(Read("QV Aquarium", "Config", "MasterVolume", 7), INT32_MIN);
    EXPECT_EQ(Read("QV Aquarium", "Coral Reef", "Speed", 7), INT32_MAX);
    EXPECT_EQ(Read("QV Other", "Config", "Sound", 7), 1);
    EXPECT_EQ(Read("QV Other", "Coral Reef", "Speed", 7), 7);

    EXPECT_EQ(ReadFileText(FileOf("QV Aquarium")),
              "[Config]\nSound=0\nMasterVolume=-2147483648\n\n[Coral%20Reef]\nSpeed=2147483647\n");
}

TEST_F(SettingsFileTest, AnyModuleNameRoundTrips) {
    const char* names[] = {"General",    "A/B",      "C\\D",      "50% off",    "%2F",
                           "[Brackets]", "a=b; c#d", "\xE9t\xE9", "  spaced  ", ""};
    int value = 1;
    for (const char* name : names) EXPECT_EQ(Write("S", name, "Speed", value++), "");
    value = 1;
    for (const char* name : names) EXPECT_EQ(Read("S", name, "Speed", 0), value++) << name;
    EXPECT_EQ(Read("S", "A", "Speed", 0), 0); // "A/B" is no group inside "A"
    EXPECT_EQ(Read("S", "Config", "Speed", 0), 0);
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase) {
    Write("QV Aquarium", "Coral Reef", "Speed", 5);
    EXPECT_EQ(Read("QV Aquarium", "CORAL REEF", "speed", 0), 5);
    Write("QV Aquarium", "coral reef", "SPEED", 6);
    EXPECT_EQ(Read("QV Aquarium", "Coral Reef", "Speed", 0), 6);
    // One entry, not two that differ in case.
    EXPECT_EQ(ReadFileText(FileOf("QV Aquarium")), "[Coral%20Reef]\nSpeed=6\n");
}

TEST_F(SettingsFileTest, ADamagedFileKeepsEveryValueThatReads) {
    dir.Write("Tarnwell/Glimmora/S.ini", "[Config]\nSound=loud\nGamma=2\nPlayMode=\n[Broken\n"
                                         "\x01\x02\xff=3\n[Coral%20Reef]\nSpeed=4\n");
    EXPECT_EQ(Read("S", "Config", "Sound", 1), 1);
    EXPECT_EQ(Read("S", "Config", "Gamma", 0), 2);
    EXPECT_EQ(Read("S", "Config", "PlayMode", 3), 3);
    EXPECT_EQ(Read("S", "Coral Reef", "Speed", 0), 4);
    // A write replaces what did not read and keeps the rest.
    EXPECT_EQ(Write("S", "Config", "Sound", 0), "");
    EXPECT_EQ(Read("S", "Config", "Sound", 1), 0);
    EXPECT_EQ(Read("S", "Config", "Gamma", 0), 2);
    EXPECT_EQ(Read("S", "Coral Reef", "Speed", 0), 4);

    dir.WriteBytes("Tarnwell/Glimmora/T.ini", {0, 0xff, 0xfe, 0, '[', 0, '\n'});
    EXPECT_EQ(Read("T", "Config", "Sound", 4), 4);
    EXPECT_EQ(Write("T", "Config", "Sound", 0), "");
    EXPECT_EQ(Read("T", "Config", "Sound", 4), 0);
}

TEST_F(SettingsFileTest, WritesLeaveNoTemporaryFilesAndKeepTheMode) {
    Write("S", "Config", "Sound", 1);
    ASSERT_EQ(chmod(FileOf("S").c_str(), 0600), 0);
    for (int i = 0; i < 20; ++i) Write("S", "Config", "Sound", i);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"S.ini"});
    EXPECT_EQ(Read("S", "Config", "Sound", -1), 19);
    EXPECT_EQ(ModeOf(FileOf("S")), 0600u);
}

TEST_F(SettingsFileTest, RelativeOrMissingConfigHomeMeansTheHomeFolder) {
    TempDir home;
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/place", 1);
    Write("S", "Config", "Sound", 3);
    EXPECT_TRUE(std::filesystem::exists(home.Path() + "/.config/Tarnwell/Glimmora/S.ini"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Read("S", "Config", "Sound", 0), 3);
}

// Files the program must not replace: each keeps its bytes and mode, and the
// write says why, naming the file. Run as an unprivileged user, as root
// may write whatever the mode says.
TEST_F(SettingsFileTest, FilesThatMustNotBeReplacedAreLeftAlone) {
    const std::string old = "[Config]\nSound=0\n";
    const std::string big = std::string(300 * 1024, ';') + "\n";
    const struct {
        const char* saver;
        unsigned mode;
        std::string text;
        const char* why;
    } cases[] = {{"ReadOnly", 0444, old, "is read-only"},
                 {"NoModeBits", 0400, old, "is read-only"},
                 {"WriteOnly", 0200, old, "cannot read"},
                 {"Big", 0644, big, "is larger than a settings file can be (256 KB)"}};
    std::filesystem::create_directories(Folder());
    unsigned uid = 0;
    unsigned gid = 0;
    ASSERT_TRUE(NobodyIds(&uid, &gid));
    for (const std::string& path : {dir.Path(), dir.Path() + "/Tarnwell", Folder()}) {
        if (geteuid() == 0) {
            ASSERT_EQ(chown(path.c_str(), uid, gid), 0);
        }
    }
    for (const auto& c : cases) {
        std::string file = dir.Write(std::string("Tarnwell/Glimmora/") + c.saver + ".ini", c.text);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(file.c_str(), uid, gid), 0);
        }
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        int result = RunUnprivileged([&] {
            std::string why = Write(c.saver, "Config", "Sound", 1);
            // The child tells its finding by its exit status.
            if (why.empty()) return 1;
            if (why.find(file) == std::string::npos || why.find(c.why) == std::string::npos) {
                std::fprintf(stderr, "reason: %s\n", why.c_str());
                return 2;
            }
            return 0;
        });
        EXPECT_EQ(result, 0) << c.saver << " (1: the write worked, 2: another reason)";
        ASSERT_EQ(chmod(file.c_str(), 0600), 0);
        EXPECT_EQ(ReadFileText(file), c.text) << c.saver;
        EXPECT_EQ(ModeOf(file), 0600u);
        std::filesystem::remove(file);
    }
}

// Read-only is read-only for the superuser too.
TEST_F(SettingsFileTest, ReadOnlyFileKeepsItsModeAndItsBytesWhoeverWrites) {
    std::filesystem::create_directories(Folder());
    std::string file = dir.Write("Tarnwell/Glimmora/S.ini", "[Config]\nSound=0\n");
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(Write("S", "Config", "Sound", 1), file + " is read-only");
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_EQ(ReadFileText(file), "[Config]\nSound=0\n");
    EXPECT_EQ(Read("S", "Config", "Sound", 1), 0);
}

TEST_F(SettingsFileTest, AFifoInThePlaceOfTheFileNeitherHangsNorIsReplaced) {
    std::filesystem::create_directories(Folder());
    ASSERT_EQ(mkfifo(FileOf("S").c_str(), 0644), 0);
    EXPECT_EQ(Read("S", "Config", "Sound", 4), 4);
    EXPECT_EQ(Write("S", "Config", "Sound", 1), FileOf("S") + " is not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(FileOf("S")));
}

TEST_F(SettingsFileTest, AFullDiskLeavesTheOldFileByteForByte) {
    std::string why;
    SmallDisk disk;
    if (!disk.Mount(dir.Path(), 64 * 1024, &why)) GTEST_SKIP() << "no small disk: " << why;
    std::filesystem::create_directories(Folder());
    const std::string old = "[Config]\nActiveModule=1\nSound=1\nGamma=0\nPlayMode=2\n";
    dir.Write("Tarnwell/Glimmora/S.ini", old);
    ASSERT_TRUE(disk.FillUp(&why)) << why;

    SettingsProfile profile;
    profile.saverName = "S";
    profile.Add("Config", "ActiveModule", 2);
    profile.Add("Coral Reef", "Speed", 9);
    char reason[SETTINGS_REASON_LEN] = {};
    EXPECT_EQ(QtSettings().WriteProfile(profile, reason, sizeof(reason)), 0);
    EXPECT_EQ(std::string(reason), "cannot write " + FileOf("S") + ": No space left on device");
    EXPECT_EQ(ReadFileText(FileOf("S")), old);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"S.ini"}); // no temporary file left
    EXPECT_EQ(Read("S", "Config", "ActiveModule", 0), 1);
}

} // namespace

#endif
