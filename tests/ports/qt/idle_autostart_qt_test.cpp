// The idle service's autostart entry: what the settings dialog writes, what
// the service reads back, and the quoting of its command line.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "ports/qt/idle_autostart_qt.h"
#include "support/test_files.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class IdleAutostartTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
    std::string Entry() { return ReadFileText(dir.File("autostart/glimmora-idle.desktop")); }
    TempDir dir;
};

TEST_F(IdleAutostartTest, WrittenReadBackAndRemoved) {
    EXPECT_EQ(ReadIdleAutostart().minutes, 0);
    QString why;
    ASSERT_TRUE(WriteIdleAutostart("/usr/bin/glimmora", {"Coral Reef", 15}, &why))
        << why.toStdString();
    EXPECT_NE(Entry().find("\nExec=/usr/bin/glimmora --idle --theme \"Coral Reef\"\n"),
              std::string::npos)
        << Entry();
    EXPECT_NE(Entry().find("\nX-Glimmora-IdleMinutes=15\n"), std::string::npos);
    IdleAutostart read = ReadIdleAutostart();
    EXPECT_EQ(read.minutes, 15);
    EXPECT_EQ(read.theme, "Coral Reef");

    ASSERT_TRUE(RemoveIdleAutostart(&why));
    EXPECT_EQ(ReadIdleAutostart().minutes, 0);
    // An entry of another's by that name stays.
    dir.Write("autostart/glimmora-idle.desktop", "[Desktop Entry]\nExec=mine\n");
    ASSERT_TRUE(RemoveIdleAutostart(&why));
    EXPECT_EQ(Entry(), "[Desktop Entry]\nExec=mine\n");
}

TEST_F(IdleAutostartTest, IdleTimesOutsideADayAreNone) {
    for (const char* minutes : {"0", "-3", "1441", "ten", ""}) {
        dir.Write("autostart/glimmora-idle.desktop",
                  std::string("X-Glimmora-Theme=Reef\nX-Glimmora-IdleMinutes=") + minutes + "\n");
        EXPECT_EQ(ReadIdleAutostart().minutes, 0) << minutes;
    }
    dir.Write("autostart/glimmora-idle.desktop", "X-Glimmora-IdleMinutes=5\n"); // no theme
    EXPECT_EQ(ReadIdleAutostart().minutes, 0);
}

TEST_F(IdleAutostartTest, ExecArgumentsAreQuotedAsEntriesWant) {
    const struct {
        const char* text;
        const char* arg;
    } cases[] = {
        {"/usr/bin/glimmora", "/usr/bin/glimmora"},
        {"/home/a b/QV Reef", "\"/home/a b/QV Reef\""},
        {"100%", "100%%"},
        {"a$b", "\"a\\\\$b\""},
        {"say \"hi\"", "\"say \\\\\"hi\\\\\"\""},
        {"back\\slash", "\"back\\\\\\\\slash\""},
        {"", "\"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecArgument(c.text).toStdString(), c.arg) << c.text;
}

} // namespace

#endif
