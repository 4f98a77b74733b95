// "glimmora-tool install-theme": a checked theme is copied for the user and
// linked under its saver name; anything else is refused with a reason.
#include "support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const CLEAN = "ThemeName \"Reef\"\nModule \"Day\"\n{\nSetup\n{\n}\n"
                          "Background\n{\nColor 0,0,80\n}\n}\n";
// Line 8: the feature lacks the brace that opens its block.
const char* const BROKEN = "ThemeName \"Broken\"\nModule \"One\"\n{\nSetup\n{\n}\n"
                           "Feature\n    Image \"fish.gif\"\n}\n";

class InstallThemeToolTest : public ::testing::Test {
  protected:
    // Runs the command with an empty home of its own; output in Out().
    int Run(const std::string& args) {
        return RunCommand("HOME=" + home.Path() + " XDG_DATA_HOME= " + GLIMMORA_TOOL +
                          " install-theme " + args + " >" + out.File("out") + " 2>&1");
    }
    std::string Out() { return ReadFileText(out.File("out")); }
    // A path in single quotes for the shell (appended step by step: GCC 12
    // reports false overlaps, -Wrestrict, in "'" + std::string&&).
    static std::string Quoted(const std::string& path) {
        std::string quoted = "'";
        quoted += path;
        quoted += "'";
        return quoted;
    }
    // Writes `files` (name, content) into the folder `name` of the source area.
    std::string Folder(const std::string& name,
                       const std::vector<std::pair<std::string, std::string>>& files) {
        fs::create_directories(src.File(name));
        for (const auto& [file, content] : files) src.Write(name + "/" + file, content);
        return src.File(name);
    }
    std::string Installed(const std::string& theme) {
        return home.File(".local/share/Tarnwell/Glimmora/" + theme);
    }
    std::string Link(const std::string& theme) { return home.File(".local/bin/QV " + theme); }

    TempDir home, src, out;
};

struct Refusal {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files; // in folder "Reef"; none: no folder
    bool folder;
    int exitCode;
    const char* message;
};

TEST_F(InstallThemeToolTest, RefusesWhatIsNoCleanTheme) {
    const Refusal cases[] = {
        {"no folder", {}, false, 1, "not a folder"},
        {"no script", {{"fish.gif", "GIF89a"}}, true, 1, "no theme script (.SS) in the folder"},
        {"two scripts, none named after the folder",
         {{"A.SS", CLEAN}, {"B.SS", CLEAN}},
         true,
         1,
         "several theme scripts (.SS) and none named after the folder"},
        {"a script error", {{"Reef.SS", BROKEN}}, true, 1, "Reef.SS:8: "},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(src.File("Reef"));
        std::string dir = c.folder ? Folder("Reef", c.files) : src.File("Reef");
        EXPECT_EQ(Run(Quoted(dir)), c.exitCode);
        EXPECT_NE(Out().find(c.message), std::string::npos) << Out();
        EXPECT_FALSE(fs::exists(Installed("Reef")));
        EXPECT_FALSE(fs::is_symlink(Link("Reef")));
    }
    EXPECT_EQ(Run(""), 2);
    EXPECT_NE(Out().find("usage: glimmora-tool install-theme [--uninstall] DIR"),
              std::string::npos);
}

TEST_F(InstallThemeToolTest, InstallsReplacesAndUninstalls) {
    // A folder of another name: the script names the theme.
    std::string dir = Folder("my-theme", {{"Reef.SS", CLEAN}, {"readme.txt", "one"}});
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/Reef.SS"), CLEAN);
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/readme.txt"), "one");
    ASSERT_TRUE(fs::is_symlink(Link("Reef")));
    EXPECT_EQ(fs::read_symlink(Link("Reef")).filename(), "glimmora");
    EXPECT_NE(Out().find("\"Reef\"  \"" + Link("Reef") + "\" -root \\n\\"), std::string::npos)
        << Out();

    // Again after a change: the installed copy is replaced, stale files go.
    fs::remove(dir + "/readme.txt");
    src.Write("my-theme/notes.txt", "two");
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_FALSE(fs::exists(Installed("Reef") + "/readme.txt"));
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/notes.txt"), "two");

    // The theme's name is enough to remove it.
    EXPECT_EQ(Run("--uninstall Reef"), 0) << Out();
    EXPECT_FALSE(fs::exists(Installed("Reef")));
    EXPECT_FALSE(fs::is_symlink(Link("Reef")));
    EXPECT_TRUE(fs::exists(home.File(".local/share/Tarnwell/Glimmora")));
    EXPECT_EQ(Run("--uninstall Reef"), 1);
    EXPECT_NE(Out().find("the theme Reef is not installed for this user"), std::string::npos);
}

TEST_F(InstallThemeToolTest, ScriptIsInstalledAsThemeDotSS) {
    // The saver opens "<Theme>.SS" with that case; a folder is never copied into itself.
    std::string dir = Folder("Reef", {{"Reef.ss", CLEAN}});
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/Reef.SS"), CLEAN);
    EXPECT_FALSE(fs::exists(Installed("Reef") + "/Reef.ss"));

    src.Write("share.SS", CLEAN);
    fs::create_directories(home.File(".local"));
    fs::rename(src.File("share.SS"), home.File(".local/share.SS"));
    EXPECT_EQ(Run(Quoted(home.File(".local"))), 1);
    EXPECT_NE(Out().find("lies inside the theme folder"), std::string::npos) << Out();
}

} // namespace
