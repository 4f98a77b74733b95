// Media files named as themes written on Windows name them: any letter case,
// backslashes between folders; and what `check` and `render` make of such a
// theme.
#include "support/module_fixture.h"

#include "app/module_loader.h"
#include "base/media_path.h"

#include <cstring>
#include <filesystem>

namespace {

struct LookupCase {
    const char* asked;
    const char* found; // "" when nothing is found and the name stays as asked
    unsigned fixes;
};

// Windows itself finds names in any case and takes backslashes as separators.
#ifdef _WIN32
#define SKIP_ON_WINDOWS() GTEST_SKIP() << "the file system ignores letter case"
#else
#define SKIP_ON_WINDOWS()
#endif

TEST(MediaPathTest, FindsFilesInAnyCaseAndAcrossBackslashes) {
    SKIP_ON_WINDOWS();
    TempDir dir;
    std::filesystem::create_directories(dir.File("sub/Deep"));
    for (const char* name : {"star.gif", "sub/blub.wav", "sub/Deep/x.wav", "Twin.gif", "twin.GIF"})
        dir.Write(name, "x");
    const LookupCase cases[] = {
        {"star.gif", "star.gif", 0},
        {"Star.GIF", "star.gif", MEDIA_PATH_CASE},
        {"sub\\blub.wav", "sub/blub.wav", MEDIA_PATH_BACKSLASH},
        {"SUB\\deep\\X.WAV", "sub/Deep/x.wav", MEDIA_PATH_BACKSLASH | MEDIA_PATH_CASE},
        {"Sub/Blub.wav", "sub/blub.wav", MEDIA_PATH_CASE},
        {"twin.gif", "Twin.gif", MEDIA_PATH_CASE}, // the first match in byte order
        {"missing.gif", "", 0},
        {"sub\\missing.wav", "", 0},
    };
    for (const LookupCase& c : cases) {
        const std::string asked = dir.Path() + "/" + c.asked;
        unsigned fixes = 99;
        const std::string found = FindMediaFile(asked, &fixes);
        EXPECT_EQ(found, *c.found ? dir.Path() + "/" + c.found : asked) << c.asked;
        EXPECT_EQ(fixes, c.fixes) << c.asked;
    }
}

void RecordNotice(void* user, const char* asked, const char* found, unsigned fixes) {
    static_cast<std::vector<std::string>*>(user)->push_back(std::string(asked) + " > " + found +
                                                            " " + std::to_string(fixes));
}

TEST_F(ContextTest, TheLoadersLookupTellsOfEveryChangedName) {
    SKIP_ON_WINDOWS();
    TempDir dir;
    dir.Write("star.gif", "x");
    std::vector<std::string> notices;
    ctx.mediaNotice = {RecordNotice, &notices};
    const std::string exact = dir.File("star.gif"), other = dir.File("STAR.gif");
    char path[2 * PATH_LEN + 2];
    std::snprintf(path, sizeof(path), "%s", exact.c_str());
    FindThemeMedia(ctx.mediaNotice, path, sizeof(path));
    EXPECT_EQ(std::string(path), exact);
    std::snprintf(path, sizeof(path), "%s", other.c_str());
    FindThemeMedia(ctx.mediaNotice, path, sizeof(path));
    EXPECT_EQ(std::string(path), exact);
    EXPECT_EQ(notices, std::vector<std::string>{other + " > " + exact + " 2"});
}

class WindowsNamedThemeTest : public ModuleFixture {};

const char* const WINDOWS_THEME = "ThemeName \"Pond\"\n"
                                  "Module \"Day\"\n{\nSetup\n{\n}\n"              // 2-6
                                  "Background\n{\nImage \"Back.GIF\"\n}\n"        // 7-10
                                  "Feature\n{\nImage \"Star.GIF\"\nStart 0\n}\n"  // 11-15
                                  "Feature\n{\nSound \"sub\\blub.wav\", 100\n}\n" // 16-19
                                  "}\n";

TEST_F(WindowsNamedThemeTest, LoadsChecksWithWarningsAndRenders) {
    SKIP_ON_WINDOWS();
    std::filesystem::create_directories(dir.File("sub"));
    WriteGif("back.gif", 1, 0, 8, 6);
    WriteGif("star.gif", 2, 10);
    WriteWav("sub/blub.wav", 300);
    WritePalette("256col00.pal", 7);
    const std::string script = dir.Write("pond.SS", WINDOWS_THEME);

    TempDir out;
    const std::string tool = std::string("'") + GLIMMORA_TOOL + "'";
    EXPECT_EQ(RunCommand(tool + " check '" + script + "' >'" + out.File("out") + "' 2>'" +
                         out.File("err") + "'"),
              0);
    EXPECT_EQ(ReadFileText(out.File("err")),
              script +
                  ":9: warning: \"Back.GIF\" was found as \"back.gif\" (letter case ignored); "
                  "write \"back.gif\" in the script\n" +
                  script +
                  ":13: warning: \"Star.GIF\" was found as \"star.gif\" (letter case "
                  "ignored); write \"star.gif\" in the script\n" +
                  script +
                  ":18: warning: \"sub\\blub.wav\" was found as \"sub/blub.wav\" (a "
                  "backslash read as a folder separator); write \"sub/blub.wav\" in the "
                  "script\n" +
                  script +
                  ": warning: \"256COL00.PAL\" was found as \"256col00.pal\" (letter "
                  "case ignored); write \"256col00.pal\" in the script\n");
    EXPECT_EQ(ReadFileText(out.File("out")), "module 0: Day: 0 sections, 2 features, 0 labels\n");

    EXPECT_EQ(RunCommand(tool + " render '" + script + "' --out '" + out.File("render") +
                         "' --seconds 1 >/dev/null 2>'" + out.File("render-err") + "'"),
              0)
        << ReadFileText(out.File("render-err"));
    // The same warnings before playing, and no message while it plays.
    const std::string err = ReadFileText(out.File("render-err"));
    const std::string warnings = ReadFileText(out.File("err"));
    EXPECT_EQ(err.substr(0, warnings.size()), warnings);
    EXPECT_EQ(err.find("passes: "), warnings.size()) << err;
    EXPECT_EQ(err.find('\n', warnings.size()), err.size() - 1) << err;
}

TEST(MediaPathTest, JoinsWithSeparatorOrKeepsName) {
    char path[2 * PATH_LEN + 2];
    MediaPath("", "fish.gif", path, sizeof(path));
    EXPECT_STREQ(path, "fish.gif");
    std::string expected = std::string("/themes/Aquarium") + PATH_SEPARATOR + "fish.gif";
    MediaPath("/themes/Aquarium", "fish.gif", path, sizeof(path));
    EXPECT_EQ(std::string(path), expected);
    std::string longName(600, 'n');
    MediaPath("/themes/Aquarium", longName.c_str(), path, sizeof(path));
    EXPECT_LT(std::strlen(path), 2u * PATH_LEN + 2);
}

} // namespace
