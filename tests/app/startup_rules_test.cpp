#include "app/app_state.h"
#include "app/startup_rules.h"
#include "base/theme_folder.h"
#include "display/ss_view.h"
#include "ports/headless/headless_port.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class StartupRulesTest : public ContextTest {
  protected:
    void SetUp() override {
        ResetContext();
        port.shell.SetThemeRoot("/themes");
        view.SetSize(1024, 768);
    }

    // Runs the option rules over a command line written as words.
    void Options(std::vector<std::string> words) {
        args = std::move(words);
        argv.clear();
        for (std::string& w : args) argv.push_back(w.data());
        ParseOptions(run, view, static_cast<int>(argv.size()), argv.data());
    }

    StartMode Mode(std::vector<std::string> words) {
        args = std::move(words);
        argv.clear();
        for (std::string& w : args) argv.push_back(w.data());
        return DispatchMode(static_cast<int>(argv.size()), argv.data());
    }

    std::vector<std::string> args;
    std::vector<char*> argv;
};

TEST_F(StartupRulesTest, ProgramBaseNameDropsFolderAndLastExtension) {
    char name[PATH_LEN + 1];
    ProgramBaseName("C:\\WINDOWS\\SYSTEM\\QV Aquarium.SCR", name, sizeof(name));
    EXPECT_STREQ(name, "QV Aquarium");
    ProgramBaseName("/usr/bin/QV Reef.v2.scr", name, sizeof(name));
    EXPECT_STREQ(name, "QV Reef.v2");
    ProgramBaseName("glimmora", name, sizeof(name));
    EXPECT_STREQ(name, "glimmora");
#ifndef _WIN32
    // A Linux program has no extension: the saver link "QV Reef.v2" plays Reef.v2.
    ProgramBaseName("/home/u/.local/bin/QV Reef.v2", name, sizeof(name));
    EXPECT_STREQ(name, "QV Reef.v2");
    ProgramBaseName("/usr/bin/QV Reef.SCR", name, sizeof(name));
    EXPECT_STREQ(name, "QV Reef");
#endif
    char small[5];
    ProgramBaseName("/x/abcdefgh.scr", small, sizeof(small));
    EXPECT_STREQ(small, "abcd");
}

TEST_F(StartupRulesTest, NamesFromThePrefixedLongName) {
    DeriveNames(run, port.shell, "QV Aquarium");
    EXPECT_STREQ(run.appTitle, "QV Aquarium");
    EXPECT_STREQ(run.saverName, "QV Aquarium");
    EXPECT_STREQ(run.scriptName, "Aquarium");
    SetPaths(run, port.shell);
    EXPECT_STREQ(run.mediaDirectory, "/themes/Aquarium");
    EXPECT_EQ(std::string(run.scriptPath),
              std::string("/themes/Aquarium") + PATH_SEPARATOR + "Aquarium.SS");
}

TEST_F(StartupRulesTest, ShortNameLooksUpTheLongNameInTheSystemFolder) {
    port.shell.SetSaverFile("QVAQUA~1", "QV Aquarium.SCR");
    DeriveNames(run, port.shell, "QVAQUA~1");
    EXPECT_STREQ(run.appTitle, "QVAQUA~1");
    EXPECT_STREQ(run.saverName, "QV Aquarium");
    EXPECT_STREQ(run.scriptName, "Aquarium");

    // The long name less its extension only: "Reef.v2" stays whole.
    port.shell.SetSaverFile("QVREEF~2", "QV Reef.v2.SCR");
    DeriveNames(run, port.shell, "QVREEF~2");
    EXPECT_STREQ(run.saverName, "QV Reef.v2");
    EXPECT_STREQ(run.scriptName, "Reef.v2");

    DeriveNames(run, port.shell, "qvreef~1"); // not in the system folder: used unchanged
    EXPECT_STREQ(run.saverName, "qvreef~1");
    EXPECT_STREQ(run.scriptName, "qvreef~1");
}

TEST_F(StartupRulesTest, NameWithoutPrefixNamesThemeAndProfile) {
    DeriveNames(run, port.shell, "Aquarium");
    EXPECT_STREQ(run.saverName, "Aquarium");
    EXPECT_STREQ(run.scriptName, "Aquarium");
    DeriveNames(run, port.shell, "qv lower");
    EXPECT_STREQ(run.scriptName, "lower"); // the prefix test ignores case
}

// "glimmora --theme Reef" and the plain "glimmora" (which plays the demo)
// play the theme given, with the settings of its saver "QV <Theme>".
TEST_F(StartupRulesTest, AGivenThemeIsPlayedWithTheSettingsOfItsSaver) {
    DeriveNames(run, port.shell, "glimmora", "Reef.v2");
    EXPECT_STREQ(run.appTitle, "glimmora");
    EXPECT_STREQ(run.saverName, "QV Reef.v2");
    EXPECT_STREQ(run.scriptName, "Reef.v2");
    SetPaths(run, port.shell);
    EXPECT_EQ(std::string(run.scriptPath),
              std::string("/themes/Reef.v2") + PATH_SEPARATOR + "Reef.v2.SS");
    DeriveNames(run, port.shell, "QV Aquarium", "");
    EXPECT_STREQ(run.scriptName, "Aquarium"); // an empty theme is none
    DeriveNames(run, port.shell, "glimmora", std::string(300, 't').c_str());
    EXPECT_STREQ(run.saverName, "");
    EXPECT_STREQ(run.scriptName, "");
}

TEST_F(StartupRulesTest, OverlongNamesNeverOverflow) {
    std::string longName = "QV " + std::string(400, 'a');
    DeriveNames(run, port.shell, longName.c_str());
    EXPECT_STREQ(run.saverName, "");
    SetPaths(run, port.shell);
    EXPECT_LE(std::string(run.scriptPath).size(), static_cast<size_t>(PATH_LEN));
    Options({"prog", "/s", "-def", std::string(300, 'p')});
    EXPECT_STREQ(run.scriptPath, "");
}

TEST_F(StartupRulesTest, WindowsThemeFolderKeepsTheDrive) {
    char folder[PATH_LEN + 1];
    WindowsThemeFolder("D:\\WIN", "Aquarium", folder, sizeof(folder));
    EXPECT_STREQ(folder, "D:\\Program Files\\Tarnwell\\Glimmora\\Aquarium");
    WindowsThemeFolder("C:\\WINDOWS", "Aquarium", folder, sizeof(folder));
    EXPECT_STREQ(folder, "C:\\Program Files\\Tarnwell\\Glimmora\\Aquarium");
}

// A saver whose name names no installed theme (a bare "glimmora.scr") plays
// the demo theme when that is installed, else says what it looked for.
TEST_F(StartupRulesTest, AThemeThatIsNotInstalledGivesWayToTheDemo) {
    TempDir themes;
    port.shell.SetThemeRoot(themes.Path());
    DeriveNames(run, port.shell, "glimmora");
    SetPaths(run, port.shell);
    const std::string script = run.scriptPath;
    char missing[3 * PATH_LEN];
    EXPECT_FALSE(FindInstalledTheme(run, port.shell, missing, sizeof(missing)));
    EXPECT_EQ(std::string(missing), "The theme \"glimmora\" is not installed: its script " +
                                        script +
                                        " is not there, and neither is the demo theme "
                                        "Aquarium");
    EXPECT_EQ(std::string(run.scriptPath), script);

    themes.Write("Aquarium/Aquarium.SS", "ThemeName \"Aquarium\"\n");
    EXPECT_TRUE(FindInstalledTheme(run, port.shell, missing, sizeof(missing)));
    EXPECT_STREQ(missing, "");
    EXPECT_STREQ(run.saverName, "glimmora"); // its settings stay its own
    EXPECT_STREQ(run.scriptName, "Aquarium");
    EXPECT_EQ(std::string(run.mediaDirectory), themes.Path() + "/Aquarium");
    EXPECT_EQ(std::string(run.scriptPath),
              themes.Path() + "/Aquarium" + PATH_SEPARATOR + "Aquarium.SS");

    // An installed theme, and a script given by "-def", are played as they are.
    themes.Write("Reef/Reef.SS", "ThemeName \"Reef\"\n");
    DeriveNames(run, port.shell, "QV Reef");
    SetPaths(run, port.shell);
    EXPECT_TRUE(FindInstalledTheme(run, port.shell, missing, sizeof(missing)));
    EXPECT_STREQ(run.scriptName, "Reef");
    Options({"prog", "/s", "-def", themes.File("absent.SS")});
    EXPECT_TRUE(FindInstalledTheme(run, port.shell, missing, sizeof(missing)));
    EXPECT_EQ(std::string(run.scriptPath), themes.File("absent.SS"));
}

#ifndef _WIN32 // the XDG data folders are a matter of Linux desktops
TEST_F(StartupRulesTest, XdgThemeFolderTakesTheFirstExisting) {
    TempDir home, system1, system2;
    home.Write("unrelated", "");
    system2.Write("Tarnwell/Glimmora/Aquarium/Aquarium.SS", "");
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    std::string dirs = system1.Path() + ":" + system2.Path();
    setenv("XDG_DATA_DIRS", dirs.c_str(), 1);
    char folder[PATH_LEN + 1];
    XdgThemeFolder("Aquarium", folder, sizeof(folder));
    EXPECT_EQ(std::string(folder), system2.Path() + "/Tarnwell/Glimmora/Aquarium");

    home.Write("Tarnwell/Glimmora/Aquarium/Aquarium.SS", "");
    XdgThemeFolder("Aquarium", folder, sizeof(folder));
    EXPECT_EQ(std::string(folder), home.Path() + "/Tarnwell/Glimmora/Aquarium");

    XdgThemeFolder("Missing", folder, sizeof(folder));
    EXPECT_EQ(std::string(folder), home.Path() + "/Tarnwell/Glimmora/Missing");
}

// The installation's own data folder comes last, once; the list of the
// folders searched is in the order of the search and cut at a whole line.
TEST_F(StartupRulesTest, XdgThemeFoldersEndWithTheInstallationsOwn) {
    TempDir home, system, own;
    own.Write("Tarnwell/Glimmora/Aquarium/Aquarium.SS", "");
    setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    setenv("XDG_DATA_DIRS", (system.Path() + "::" + own.Path()).c_str(), 1);
    char folder[PATH_LEN + 1];
    XdgThemeFolder("Aquarium", folder, sizeof(folder), own.Path().c_str());
    EXPECT_EQ(std::string(folder), own.Path() + "/Tarnwell/Glimmora/Aquarium");

    setenv("XDG_DATA_DIRS", system.Path().c_str(), 1);
    char list[4 * PATH_LEN];
    ASSERT_TRUE(XdgThemeFolders("Pond", list, sizeof(list), own.Path().c_str()));
    EXPECT_EQ(std::string(list), home.Path() + "/Tarnwell/Glimmora/Pond\n" + system.Path() +
                                     "/Tarnwell/Glimmora/Pond\n" + own.Path() +
                                     "/Tarnwell/Glimmora/Pond");
    const size_t firstLine = home.Path().size() + sizeof("/Tarnwell/Glimmora/Pond") - 1;
    ASSERT_TRUE(XdgThemeFolders("Pond", list, static_cast<int>(firstLine + 8), nullptr));
    EXPECT_EQ(std::string(list), home.Path() + "/Tarnwell/Glimmora/Pond\n...");
}
#endif

TEST_F(StartupRulesTest, OptionsInOrder) {
    Options({"prog", "/s", "-DEBUG", "-exp256", "-test"});
    EXPECT_FALSE(run.exclusiveMode);
    EXPECT_TRUE(run.exportPalettes);
    EXPECT_TRUE(run.testRun);
}

TEST_F(StartupRulesTest, SizeOptionConsumesTheNextArgument) {
    Options({"prog", "/s", "-v640x480", "-test"});
    EXPECT_EQ(view.screenWidth, 640);
    EXPECT_EQ(view.screenHeight, 480);
    EXPECT_FALSE(run.testRun);

    Options({"prog", "/s", "-test", "-v320*200"});
    EXPECT_TRUE(run.testRun);
    EXPECT_EQ(view.screenWidth, 320);
    EXPECT_EQ(view.screenHeight, 200);
}

TEST_F(StartupRulesTest, MalformedSizeOptionsLeaveTheSize) {
    for (const char* bad : {"-v", "-vx480", "-v640", "-v640x", "-v0x0", "-verbose"}) {
        Options({"prog", "/s", bad});
        EXPECT_EQ(view.screenWidth, 1024) << bad;
        EXPECT_EQ(view.screenHeight, 768) << bad;
    }
}

TEST_F(StartupRulesTest, DefTakesTheScriptAndEmptiesTheMediaFolder) {
    DeriveNames(run, port.shell, "QV Aquarium");
    SetPaths(run, port.shell);
    Options({"prog", "/s", "-def", "C:\\T\\X.SS"});
    EXPECT_STREQ(run.scriptPath, "C:\\T\\X.SS");
    EXPECT_STREQ(run.mediaDirectory, "");

    ResetContext();
    Options({"prog", "/s", "-def"}); // nothing follows: ignored
    EXPECT_STREQ(run.scriptPath, "");
}

TEST_F(StartupRulesTest, ModeDispatch) {
    EXPECT_EQ(Mode({"prog"}), StartMode::Settings);
    EXPECT_EQ(Mode({"prog", "/c:42"}), StartMode::Settings);
    EXPECT_EQ(Mode({"prog", "-c"}), StartMode::Settings);
    EXPECT_EQ(Mode({"prog", "/p", "1234"}), StartMode::Preview);
    EXPECT_EQ(Mode({"prog", "/s"}), StartMode::Saver);
    EXPECT_EQ(Mode({"prog", "-s"}), StartMode::Saver);
    // Explorer's "Test" and double click pass "/S"; the letter is read in either case.
    EXPECT_EQ(Mode({"prog", "/S"}), StartMode::Saver);
    EXPECT_EQ(Mode({"prog", "/C"}), StartMode::Settings);
    EXPECT_EQ(Mode({"prog", "/C:4242"}), StartMode::Settings);
    EXPECT_EQ(Mode({"prog", "/P", "1234"}), StartMode::Preview);
    EXPECT_EQ(Mode({"prog", "-S"}), StartMode::Saver);
    EXPECT_EQ(Mode({"prog", "/a", "1234"}), StartMode::Stop); // a password: none asked
    EXPECT_EQ(Mode({"prog", "/A"}), StartMode::Stop);
    EXPECT_EQ(Mode({"prog", "/x"}), StartMode::Stop);
    EXPECT_EQ(Mode({"prog", "/"}), StartMode::Stop);
    EXPECT_EQ(Mode({"prog", ""}), StartMode::Stop);
    EXPECT_EQ(Mode({"prog", "s"}), StartMode::Stop);
}

TEST_F(StartupRulesTest, PreviewHandleAndCentredFallback) {
    args = {"prog", "/p", "4711"};
    argv = {args[0].data(), args[1].data(), args[2].data()};
    EXPECT_EQ(PreviewHandle(3, argv.data()), 4711u);
    EXPECT_EQ(PreviewHandle(2, argv.data()), 0u);
    EXPECT_EQ(SettingsOwner(3, argv.data()), 0u); // a preview's host owns no settings

    // The window the system's settings pass with "/c:<handle>" (or "/C <handle>").
    const std::vector<std::pair<std::vector<std::string>, uintptr_t>> owners = {
        {{"prog", "/c:4242"}, 4242},
        {{"prog", "/C:4242"}, 4242},
        {{"prog", "/c", "77"}, 77},
        {{"prog", "/c"}, 0},
        {{"prog", "/c:"}, 0},
        {{"prog", "/c:x1"}, 0},
        {{"prog"}, 0},
        {{"prog", "/P:99"}, 0},
    };
    for (const auto& [words, owner] : owners) {
        args = words;
        argv.clear();
        for (std::string& w : args) argv.push_back(w.data());
        EXPECT_EQ(SettingsOwner(static_cast<int>(argv.size()), argv.data()), owner) << args.back();
    }
    args = {"prog", "/P:99"};
    argv = {args[0].data(), args[1].data()};
    EXPECT_EQ(PreviewHandle(2, argv.data()), 99u);

    int32_t l, t, r, b;
    CentredPreviewRect(640, 480, &l, &t, &r, &b);
    EXPECT_EQ(l, 244);
    EXPECT_EQ(t, 184);
    EXPECT_EQ(r - l, 153);
    EXPECT_EQ(b - t, 113);
    EXPECT_EQ((l + r) / 2, 320);
}

} // namespace
