// "glimmora-tool install-theme": a checked theme is copied for the user and
// linked under its saver name; anything else is refused with a reason, and a
// refusal or a failure leaves every file of the user as it was. The tool runs
// as an unprivileged user (nobody, when the tests run as root) with a scratch
// home, so that permissions count as they do for a user.
#ifndef _WIN32 // installing for a user is the Linux desktop's way; Windows has its installer

#include "support/test_files.h"

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const CLEAN = "ThemeName \"Reef\"\nModule \"Day\"\n{\nSetup\n{\n}\n"
                          "Background\n{\nColor 0,0,80\n}\n}\n";
// Line 8: the feature lacks the brace that opens its block.
const char* const BROKEN = "ThemeName \"Broken\"\nModule \"One\"\n{\nSetup\n{\n}\n"
                           "Feature\n    Image \"fish.gif\"\n}\n";

// Every file below a folder: relative path -> kind, mode and content (or link target).
using Snapshot = std::map<std::string, std::string>;

Snapshot Take(const std::string& root) {
    Snapshot files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        struct stat info {};
        lstat(path.c_str(), &info);
        std::string entry = std::to_string(info.st_mode) + ":";
        if (S_ISLNK(info.st_mode)) {
            entry += fs::read_symlink(path).string();
        } else if (S_ISREG(info.st_mode)) {
            entry += ReadFileText(path.string());
        }
        files[path.lexically_relative(root).string()] = entry;
    }
    return files;
}

class InstallThemeToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(src.File("cwd/here"));
        if (geteuid() == 0) {
            const passwd* user = getpwnam("nobody");
            const group* users = getgrnam("nogroup");
            canDrop = user && users && RunCommand("setpriv --version >/dev/null 2>&1") == 0;
            if (canDrop) {
                uid = user->pw_uid;
                gid = users->gr_gid;
            }
        }
    }

    // Runs the command with a home of its own, from a folder of the source
    // area; output in Out(). The scratch folders are the user's.
    int Run(const std::string& args) {
        GiveToUser(home.Path());
        GiveToUser(src.Path());
        std::string as = canDrop ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
        return RunCommand("cd " + Quoted(src.File("cwd/here")) + " && " + as +
                          "env HOME=" + Quoted(home.Path()) + " XDG_DATA_HOME= " + GLIMMORA_TOOL +
                          " install-theme " + args + " >" + out.File("out") + " 2>&1");
    }
    std::string Out() { return ReadFileText(out.File("out")); }
    bool Says(const std::string& text) { return Out().find(text) != std::string::npos; }

    // Hands a tree to the unprivileged user, links themselves and not what they name.
    void GiveToUser(const std::string& root) {
        if (!canDrop) return;
        lchown(root.c_str(), uid, gid);
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(root, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            lchown(it->path().c_str(), uid, gid);
    }
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
    std::string Themes() { return home.File(".local/share/Tarnwell/Glimmora"); }
    std::string Installed(const std::string& theme) { return Themes() + "/" + theme; }
    std::string Link(const std::string& theme) { return home.File(".local/bin/QV " + theme); }
    std::string Entry(const std::string& theme) {
        return home.File(".local/share/applications/screensavers/glimmora-" + theme + ".desktop");
    }

    // Files of the user's that no command may touch: notes beside the themes,
    // another program's data, another installed theme and its link, a script.
    void Populate() {
        home.Write(".local/share/Tarnwell/notes.txt", "mine");
        home.Write(".local/share/other-app/data.txt", "theirs");
        home.Write(".local/share/Tarnwell/Glimmora/Other/Other.SS", CLEAN);
        home.Write(".local/share/Tarnwell/Glimmora/Other/pic.gif", "GIF89a");
        home.Write(".local/bin/tool.sh", "echo\n");
        fs::create_symlink("/usr/bin/glimmora", Link("Other"));
        home.Write(".local/share/applications/screensavers/other.desktop", "[Desktop Entry]\n");
    }

    TempDir home, src, out;
    bool canDrop = false;
    uid_t uid = 0;
    gid_t gid = 0;
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
    EXPECT_TRUE(Says("usage: glimmora-tool install-theme [--uninstall | --name] DIR"));
}

TEST_F(InstallThemeToolTest, InstallsReplacesAndUninstalls) {
    // A folder of another name: the script names the theme.
    std::string dir = Folder("my-theme", {{"Reef.SS", CLEAN}, {"readme.txt", "one"}});
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/Reef.SS"), CLEAN);
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/readme.txt"), "one");
    ASSERT_TRUE(fs::is_symlink(Link("Reef")));
    EXPECT_EQ(fs::read_symlink(Link("Reef")).filename(), "glimmora");
    EXPECT_TRUE(Says("\"Reef\"  '" + Link("Reef") + "' -root \\n\\")) << Out();
    // The entry for the screen saver of MATE and Xfce runs the packaged program.
    const std::string entry = ReadFileText(Entry("Reef"));
    EXPECT_NE(entry.find("\nExec=/usr/libexec/xscreensaver/glimmora --theme \"Reef\" -root\n"),
              std::string::npos)
        << entry;
    EXPECT_NE(entry.find("\nOnlyShowIn=MATE;XFCE;\n"), std::string::npos) << entry;

    // Again after a change: the installed copy is replaced, stale files go,
    // and nothing is left beside it.
    fs::remove(dir + "/readme.txt");
    src.Write("my-theme/notes.txt", "two");
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_FALSE(fs::exists(Installed("Reef") + "/readme.txt"));
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/notes.txt"), "two");
    EXPECT_EQ(Take(Themes()).size(), 3u); // Reef, Reef/Reef.SS, Reef/notes.txt

    // The theme's name is enough to remove it.
    EXPECT_EQ(Run("--uninstall Reef"), 0) << Out();
    EXPECT_FALSE(fs::exists(Installed("Reef")));
    EXPECT_FALSE(fs::is_symlink(Link("Reef")));
    EXPECT_FALSE(fs::exists(Entry("Reef")));
    EXPECT_TRUE(Take(Themes()).empty());
    EXPECT_EQ(Run("--uninstall Reef"), 1);
    EXPECT_TRUE(Says("the theme \"Reef\" is not installed for this user"));
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
    EXPECT_TRUE(Says("lies inside the theme folder")) << Out();
}

// A theme is named by its script; a name that is no plain, portable file name
// is refused with the reason, and nothing of the user's is touched.
TEST_F(InstallThemeToolTest, RefusesNamesThatAreNoPlainFileNames) {
    const struct {
        std::string script;
        const char* message;
    } cases[] = {
        {"...SS", "the theme name \"..\" (of the script \"...SS\") cannot be used: \"..\" names "
                  "a folder, not a file"},
        {"..SS", "\".\" names a folder, not a file"},
        {"Re\nef.SS", "the theme name \"Re\\nef\" (of the script \"Re\\nef.SS\") cannot be used: "
                      "it holds a line break"},
        {"CON.SS", "CON is the name of a device on Windows, also with an extension after it"},
        {"lpt1.old.SS", "LPT1 is the name of a device on Windows"},
        {"Reef?.SS", "it holds the character ?, which Windows does not allow in file names"},
        {"Reef .SS", "it ends in a dot or a blank, which Windows drops from file names"},
        {".Reef.SS", "it begins with a dot"},
        {std::string(111, 'r') + ".SS", "it is longer than 110 bytes"},
    };
    Populate();
    const Snapshot before = Take(home.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        fs::remove_all(src.File("theme"));
        std::string dir = Folder("theme", {{c.script, CLEAN}});
        EXPECT_EQ(Run(Quoted(dir)), 1) << Out();
        EXPECT_TRUE(Says(c.message)) << Out();
        EXPECT_EQ(Take(home.Path()), before);
    }
    // Here the installed script's path, <themes>/<Theme>/<Theme>.SS, limits
    // the length: the longest name that fits installs, one more is refused.
    const size_t fits = (260 - Themes().size() - sizeof("//.SS") + 1) / 2;
    fs::remove_all(src.File("theme"));
    std::string dir = Folder("theme", {{std::string(fits + 1, 'r') + ".SS", CLEAN}});
    EXPECT_EQ(Run(Quoted(dir)), 1) << Out();
    EXPECT_TRUE(Says("longer than the 260 characters the saver opens")) << Out();
    fs::remove_all(src.File("theme"));
    dir = Folder("theme", {{std::string(fits, 'r') + ".SS", CLEAN}});
    EXPECT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(Run("--uninstall " + Quoted(dir)), 0) << Out();
    EXPECT_EQ(Take(home.Path()), before);
}

TEST_F(InstallThemeToolTest, UninstallRemovesOneInstalledThemeAndNothingElse) {
    Populate();
    const Snapshot before = Take(home.Path());
    // Names that are no theme's: nothing removed, whatever they name.
    const struct {
        const char* arg;
        const char* message;
    } refused[] = {
        {"/", "\"/\" names no theme: it holds a folder separator (/ or \\); nothing removed"},
        {"..", "\"..\" names no theme: \"..\" names a folder, not a file; nothing removed"},
        {"'.'", "\".\" names no theme"},
        {"Other/..", "\"Other/..\" names no theme"},
        {"'Re\nef'", "\"Re\\nef\" names no theme: it holds a line break"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.arg);
        EXPECT_EQ(Run(std::string("--uninstall ") + c.arg), 1) << Out();
        EXPECT_TRUE(Says(c.message)) << Out();
        EXPECT_EQ(Take(home.Path()), before);
    }
    // Folders and links of that name that the tool did not make stay.
    home.Write(".local/share/Tarnwell/Glimmora/Plain/notes.txt", "not a theme");
    fs::create_symlink(Installed("Other"), Installed("Linked"));
    fs::create_symlink("/bin/sh", Link("Shell"));
    const Snapshot own = Take(home.Path());
    EXPECT_EQ(Run("--uninstall Plain"), 1);
    EXPECT_TRUE(Says("Glimmora/Plain holds no Plain.SS, so it is no theme glimmora-tool "
                     "installed; not removed"))
        << Out();
    EXPECT_EQ(Run("--uninstall Linked"), 1);
    EXPECT_TRUE(Says("Glimmora/Linked is a link, not a theme folder glimmora-tool installed"));
    EXPECT_EQ(Run("--uninstall Shell"), 1);
    EXPECT_TRUE(Says("the theme \"Shell\" is not installed"));
    EXPECT_EQ(Take(home.Path()), own);

    // The theme itself: its folder, link and entry go, all else stays.
    ASSERT_EQ(Run(Quoted(Folder("Reef", {{"Reef.SS", CLEAN}}))), 0) << Out();
    ASSERT_EQ(Run("--uninstall Reef"), 0) << Out();
    EXPECT_EQ(Take(home.Path()), own);

    // An entry of that name that the tool did not write stays too.
    home.Write(".local/share/applications/screensavers/glimmora-Reef.desktop", "mine");
    ASSERT_EQ(Run(Quoted(src.File("Reef"))), 0) << Out();
    EXPECT_TRUE(Says("glimmora-Reef.desktop as it is: glimmora-tool did not write it")) << Out();
    ASSERT_EQ(Run("--uninstall Reef"), 0) << Out();
    EXPECT_EQ(ReadFileText(Entry("Reef")), "mine");
}

// A name an entry's command line would read otherwise gets no entry.
TEST_F(InstallThemeToolTest, ANameWithAPercentSignGetsNoSaverEntry) {
    ASSERT_EQ(Run(Quoted(Folder("100%", {{"100%.SS", CLEAN}}))), 0) << Out();
    EXPECT_TRUE(Says("No saver entry for the desktop's screen saver: the name \"100%\"")) << Out();
    EXPECT_FALSE(fs::exists(Entry("100%")));
    EXPECT_TRUE(fs::is_symlink(Link("100%")));
}

TEST_F(InstallThemeToolTest, NeitherFolderLiesInsideTheOther) {
    ASSERT_EQ(Run(Quoted(Folder("Reef", {{"Reef.SS", CLEAN}}))), 0) << Out();
    Populate();
    // A copy kept inside the installed theme, which installing would replace.
    home.Write(".local/share/Tarnwell/Glimmora/Reef/mine/Reef.SS", CLEAN);
    // The themes' folder inside the source, also through a link.
    home.Write(".local/share.SS", CLEAN);
    fs::create_directory_symlink(home.File(".local"), src.File("link"));
    const Snapshot before = Take(home.Path());
    const struct {
        std::string dir;
        const char* message;
    } cases[] = {
        {Installed("Reef") + "/mine", "lies inside the installed theme"},
        {home.File(".local"), "lies inside the theme folder; not copied into itself"},
        {src.File("link"), "lies inside the theme folder; not copied into itself"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(Run(Quoted(c.dir)), 1);
        EXPECT_TRUE(Says(c.message)) << Out();
        EXPECT_EQ(Take(home.Path()), before);
    }
}

// A reinstall that meets something it cannot copy stops, removes its
// unfinished copy and leaves the installed one byte for byte as it was.
TEST_F(InstallThemeToolTest, AFailedReinstallLeavesTheOldCopy) {
    if (geteuid() == 0 && !canDrop)
        GTEST_SKIP() << "an unreadable file needs an unprivileged user: no setpriv or nobody";
    std::string dir = Folder("Reef", {{"Reef.SS", CLEAN}, {"a.txt", "one"}});
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    Populate();
    const Snapshot before = Take(home.Path());
    src.Write("Reef/a.txt", "two");

    // A path that fits at the source, not in the longer path of the copy.
    std::string deep = src.File("Reef/deep");
    while (deep.size() + 211 < 4090) deep += "/" + std::string(200, 'd');
    deep += "/" + std::string(4090 - deep.size() - 1, 'e');
    struct Case {
        const char* what;
        void (*make)(const std::string& dir, const std::string& deep);
        const char* message;
    };
    const Case cases[] = {
        {"unreadable file",
         [](const std::string& d, const std::string&) {
             std::ofstream(d + "/z-secret") << "x";
             chmod((d + "/z-secret").c_str(), 0);
         },
         "/Reef/z-secret: cannot read it: Permission denied"},
        {"FIFO",
         [](const std::string& d, const std::string&) { mkfifo((d + "/z-pipe").c_str(), 0644); },
         "/Reef/z-pipe is a FIFO; a theme holds only files and folders"},
        {"symbolic link loop",
         [](const std::string& d, const std::string&) {
             fs::create_symlink("z-loop", d + "/z-loop");
         },
         "/Reef/z-loop is a symbolic link; a theme holds only files and folders"},
        {"link to a file outside",
         [](const std::string& d, const std::string&) {
             fs::create_symlink("/etc/passwd", d + "/z-passwd");
         },
         "/Reef/z-passwd is a symbolic link"},
        {"link to a folder outside",
         [](const std::string& d, const std::string&) {
             fs::create_directory_symlink("/etc", d + "/z-etc");
         },
         "/Reef/z-etc is a symbolic link"},
        {"path too long for the copy",
         [](const std::string&, const std::string& deepFile) {
             fs::create_directories(fs::path(deepFile).parent_path());
             std::ofstream(deepFile) << "x";
         },
         "its copy's path would be longer than the 4095 characters the system allows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make(dir, deep);
        const Snapshot source = Take(dir);
        EXPECT_EQ(Run(Quoted(dir)), 1) << Out();
        EXPECT_TRUE(Says(c.message)) << Out();
        EXPECT_TRUE(Says("the theme \"Reef\" is not installed; the installed copy is unchanged"))
            << Out();
        EXPECT_EQ(Take(home.Path()), before);
        EXPECT_EQ(Take(dir), source);
        for (const char* name : {"z-secret", "z-pipe", "z-loop", "z-passwd", "z-etc", "deep"})
            fs::remove_all(dir + "/" + name);
    }
    // Without them it installs.
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(ReadFileText(Installed("Reef") + "/a.txt"), "two");
}

TEST_F(InstallThemeToolTest, NothingIsReplacedThatTheToolDidNotInstall) {
    std::string dir = Folder("Reef", {{"Reef.SS", CLEAN}});
    home.Write(".local/share/Tarnwell/Glimmora/Reef/notes.txt", "the user's own folder");
    Snapshot before = Take(home.Path());
    EXPECT_EQ(Run(Quoted(dir)), 1);
    EXPECT_TRUE(Says("Glimmora/Reef holds no Reef.SS, so it is no theme glimmora-tool installed; "
                     "not replaced"))
        << Out();
    EXPECT_EQ(Take(home.Path()), before);

    fs::remove_all(Installed("Reef"));
    fs::create_directories(home.File(".local/bin"));
    fs::create_symlink("/bin/sh", Link("Reef"));
    before = Take(home.Path());
    EXPECT_EQ(Run(Quoted(dir)), 1);
    EXPECT_TRUE(Says("QV Reef exists and is no link to glimmora; not replaced")) << Out();
    EXPECT_EQ(Take(home.Path()), before);
}

TEST_F(InstallThemeToolTest, ADottedNameIsTheWholeName) {
    // "Reef.v2" is no script "Reef" with an extension: the folder, script and
    // saver all carry the whole name, and the printed lines quote it for the shell.
    std::string dir = Folder("Reef.v2", {{"Reef.v2.SS", CLEAN}});
    EXPECT_EQ(Run("--name " + Quoted(dir)), 0);
    EXPECT_EQ(Out(), "Reef.v2\n");
    EXPECT_FALSE(fs::exists(Themes()));
    ASSERT_EQ(Run(Quoted(dir)), 0) << Out();
    EXPECT_EQ(ReadFileText(Installed("Reef.v2") + "/Reef.v2.SS"), CLEAN);
    EXPECT_EQ(fs::read_symlink(Link("Reef.v2")).filename(), "glimmora");
    EXPECT_TRUE(Says("Play it:  '" + Link("Reef.v2") + "' /s\n")) << Out();
    EXPECT_TRUE(Says("\n  \"Reef.v2\"  '" + Link("Reef.v2") + "' -root \\n\\\n")) << Out();
}

} // namespace

#endif
