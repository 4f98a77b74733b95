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
