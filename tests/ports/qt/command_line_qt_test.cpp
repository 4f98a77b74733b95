// The daemons' switches: every combination a screen-saver daemon passes, and
// where the run then plays.
#include "ports/qt/command_line_qt.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Case {
    std::vector<std::string> words; // after the program
    const char* environment;        // $XSCREENSAVER_WINDOW
    QtCommandLine::Host host;
    uintptr_t windowId;
    std::vector<std::string> args; // what start-up reads, after the program
};

const Case CASES[] = {
    // XScreenSaver 6 passes "--root" and names its window in the environment;
    // mate-screensaver runs "-root" as the entry writes it, with its window too.
    {{"--root"}, "0x1e00007", QtCommandLine::Host::Window, 0x1e00007, {"-s"}},
    {{"-root"}, "31457287", QtCommandLine::Host::Window, 31457287, {"-s"}},
    {{"-root"}, nullptr, QtCommandLine::Host::Root, 0, {"-s"}},
    {{"--root"}, "", QtCommandLine::Host::Root, 0, {"-s"}},
    {{}, "0x42", QtCommandLine::Host::Window, 0x42, {"-s"}},
    {{"/s"}, "0x42", QtCommandLine::Host::Window, 0x42, {"-s"}},
    // A window on the command line wins over the environment and the root.
    {{"-root", "-window-id", "0x50"}, "0x42", QtCommandLine::Host::Window, 0x50, {"-s"}},
    {{"--window-id", "80", "-debug"}, nullptr, QtCommandLine::Host::Window, 80, {"-s", "-debug"}},
    {{"-window-id", "0xZZ"}, nullptr, QtCommandLine::Host::Window, 0, {"-s"}},
    {{"-window-id"}, nullptr, QtCommandLine::Host::Window, 0, {"-s"}},
    // Settings and preview are no daemon's: the environment is ignored.
    {{"/c"}, "0x42", QtCommandLine::Host::None, 0, {"/c"}},
    {{"/p", "77"}, "0x42", QtCommandLine::Host::None, 0, {"/p", "77"}},
    {{"/s", "-test"}, nullptr, QtCommandLine::Host::None, 0, {"/s", "-test"}},
    {{}, nullptr, QtCommandLine::Host::None, 0, {}},
    // The theme of a desktop's saver entry, and the idle service's switches.
    {{"--theme", "Reef.v2", "-root"}, "0x42", QtCommandLine::Host::Window, 0x42, {"-s"}},
    {{"/s", "--theme", "Reef", "-debug"}, nullptr, QtCommandLine::Host::None, 0, {"/s", "-debug"}},
    {{"--idle", "--after", "5", "--theme", "Reef"}, nullptr, QtCommandLine::Host::None, 0, {}},
};

TEST(QtCommandLineTest, EveryDaemonsSwitchesPlayInTheWindowItNames) {
    for (const Case& c : CASES) {
        std::vector<std::string> words{"glimmora"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        QtCommandLine line =
            ParseCommandLine(static_cast<int>(words.size()), argv.data(), c.environment);
        std::string shown = ::testing::PrintToString(c.words) + " with " +
                            (c.environment ? c.environment : "(unset)");
        EXPECT_EQ(line.host, c.host) << shown;
        EXPECT_EQ(line.windowId, c.windowId) << shown;
        ASSERT_EQ(line.args.size(), c.args.size() + 2) << shown;
        EXPECT_STREQ(line.args.front(), "glimmora");
        EXPECT_EQ(line.args.back(), nullptr);
        for (size_t i = 0; i < c.args.size(); ++i) EXPECT_EQ(line.args[i + 1], c.args[i]) << shown;
    }
}

TEST(QtCommandLineTest, ThemeAndIdleTimeAreCheckedAsTheyAreRead) {
    struct Words {
        std::vector<std::string> words;
        const char* theme;
        bool idle;
        int after;
        const char* problem;
    };
    const Words cases[] = {
        {{"--idle", "--after", "30", "--theme", "Reef.v2"}, "Reef.v2", true, 30, ""},
        {{"--idle"}, nullptr, true, 0, ""},
        {{"--after", "86400"}, nullptr, false, 86400, ""},
        {{"--theme", "../etc"}, "../etc", false, 0, "--theme \"../etc\": "},
        {{"--theme"}, "", false, 0, "--theme \"\": "},
        {{"--after", "0"}, nullptr, false, 0, "--after \"0\": the idle time is a number"},
        {{"--after", "86401"}, nullptr, false, 0, "--after \"86401\": "},
        {{"--after", "-5"}, nullptr, false, 0, "--after \"-5\": "},
        {{"--after", "5s"}, nullptr, false, 0, "--after \"5s\": "},
        {{"--after"}, nullptr, false, 0, "--after \"\": "},
    };
    for (const Words& c : cases) {
        std::vector<std::string> words{"glimmora"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        QtCommandLine line = ParseCommandLine(static_cast<int>(words.size()), argv.data(), nullptr);
        std::string shown = ::testing::PrintToString(c.words);
        EXPECT_EQ(line.theme ? std::string(line.theme) : "(none)",
                  c.theme ? std::string(c.theme) : "(none)")
            << shown;
        EXPECT_EQ(line.idle, c.idle) << shown;
        EXPECT_EQ(line.afterSeconds, c.after) << shown;
        EXPECT_EQ(line.problem.rfind(c.problem, 0), 0u) << shown << ": " << line.problem;
        EXPECT_EQ(line.problem.empty(), *c.problem == '\0') << shown;
    }
}

TEST(QtCommandLineTest, WindowIdsInDecimalOrHexadecimal) {
    EXPECT_EQ(ParseWindowId("4194311"), 4194311u);
    EXPECT_EQ(ParseWindowId("0x400007"), 0x400007u);
    EXPECT_EQ(ParseWindowId("0XFFFFFFFF"), 0xFFFFFFFFu);
    for (const char* bad : {"", "0x", "-5", "+5", "0x100000000", "12ab", "99999999999"}) {
        EXPECT_EQ(ParseWindowId(bad), 0u) << bad;
    }
    EXPECT_EQ(ParseWindowId(nullptr), 0u);
}

} // namespace
