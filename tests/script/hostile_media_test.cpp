// What a module load takes from a hostile theme folder: the memory budget
// that its pictures, the records of cached copies and its sounds share, and
// names that are not files, which are refused unread.
#include "module_fixture.h"

#include "base/file_checks.h"

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

class HostileMediaTest : public ModuleFixture {
  protected:
    // `count` feature blocks, the n-th with `lines(n)`.
    template <typename Lines> static std::string Features(int count, Lines lines) {
        std::string body;
        for (int i = 0; i < count; ++i) body += "Feature\n{\n" + lines(i) + "}\n";
        return body;
    }
    // The script line of the first line inside the n-th block of Features()
    // (blocks of four lines), after `before` lines of the body.
    static int FeatureLine(int n, int before = 0) { return MODULE_HEAD_LINES + before + n * 4 + 3; }
    std::string ThemeLimit(const std::string& name) const {
        return "Theme memory limit of 1 MiB reached: " + Media(name);
    }
};

TEST_F(HostileMediaTest, PicturesSoundsAndCopiesShareOneBudget) {
    // 600 x 600 pixels and their mask (about 400 KiB): two pictures fit in
    // 1 MiB, a third does not.
    for (int i = 0; i < 4; ++i) WriteGif("p" + std::to_string(i) + ".gif", 1, 0, 600, 600);
    // 2400 frames of one pixel (about 520 KiB): a copy under the same name
    // holds a record for each (about 360 KiB), so one copy fits, two do not.
    WriteGif("many.gif", 2400, 1, 1, 1);
    // 65000 bytes are held in memory: 16 such sounds fit in 1 MiB.
    WriteWav("s.wav", 65000);
    struct Case {
        const char* label;
        std::string body;
        std::string message;
        int line;
        int features; // loaded before the one over the limit
    };
    const Case cases[] = {
        {"pictures under several names",
         Features(4, [](int i) { return "Image \"p" + std::to_string(i) + ".gif\"\n"; }),
         ThemeLimit("p2.gif"), FeatureLine(2), 2},
        {"copies of one picture",
         Features(100, [](int) { return std::string("Image \"many.gif\"\n"); }),
         ThemeLimit("many.gif"), FeatureLine(2), 2},
        {"sounds held in memory",
         Features(100, [](int) { return std::string("Sound \"s.wav\", 100\n"); }),
         ThemeLimit("s.wav"), FeatureLine(16), 16},
        {"a picture and sounds together",
         "Feature\n{\nImage \"p0.gif\"\n}\n" +
             Features(100, [](int) { return std::string("BounceSound \"s.wav\", 100\n"); }),
         ThemeLimit("s.wav"), FeatureLine(9, 4), 1 + 9},
    };
    for (const Case& c : cases) {
        SetUp();
        ctx.memory.limit = int64_t{1} << 20;
        LoadBody(c.body);
        EXPECT_EQ(LastMessage(), c.message) << c.label;
        EXPECT_EQ(errorLine, c.line) << c.label;
        EXPECT_EQ(featureCount, c.features) << c.label;
        EXPECT_LE(ctx.memory.used, ctx.memory.limit) << c.label;
    }
    // The next module load starts with the whole budget again.
    ctx.ResetModule();
    EXPECT_EQ(ctx.memory.used, 0);
}

TEST_F(HostileMediaTest, WhatABlockReplacesIsGivenBack) {
    WriteGif("many.gif", 1000, 1, 1, 1); // about 220 KiB, a copy about 150 KiB
    // Each further line of the block replaces the feature's copy (and its sound).
    std::string lines;
    for (int i = 0; i < 50; ++i) lines += "Image \"many.gif\"\nSound \"bubble.wav\", 100\n";
    ctx.memory.limit = int64_t{1} << 20;
    LoadFeature(lines);
    EXPECT_EQ(LastMessage(), "");
    EXPECT_EQ(featureCount, 1);
    // What stays: the named picture, one copy and one sound.
    EXPECT_LT(ctx.memory.used, int64_t{512} << 10);
}

TEST_F(HostileMediaTest, OnePictureOverItsLimitNamesTheFile) {
    // 65535 x 65535 pixels from a few bytes of data.
    dir.WriteBytes(
        "bomb.gif",
        GifBuilder(2, 2).RawImage(0, 0, 65535, 65535, 0, 8, {2, 0x00, 0x01, 0}).Trailer().Bytes());
    LoadFeature("Image \"bomb.gif\"\n");
    EXPECT_EQ(LastMessage(), "Picture memory limit of 256 MiB reached: " + Media("bomb.gif"));
    EXPECT_EQ(errorLine, MODULE_HEAD_LINES + 3);
    EXPECT_EQ(ctx.memory.used, 0);
}

#ifndef _WIN32
TEST_F(HostileMediaTest, NamesThatAreNotFilesAreRefusedUnread) {
    // A FIFO without a writer: opening it would wait for ever.
    for (const char* name : {"f.gif", "f.wav", "256COL00.PAL", "fifo.SS"})
        ASSERT_EQ(mkfifo(dir.File(name).c_str(), 0600), 0) << name;
    std::filesystem::create_directories(dir.File("folder.gif"));
    struct Case {
        const char* label;
        std::string body;
        std::string name;
        int line;
    };
    const Case cases[] = {
        {"feature image", "Feature\n{\nImage \"f.gif\"\n}\n", Media("f.gif"),
         MODULE_HEAD_LINES + 3},
        {"folder as image", "Feature\n{\nImage \"folder.gif\"\n}\n", Media("folder.gif"),
         MODULE_HEAD_LINES + 3},
        {"background image", "Background\n{\nImage \"f.gif\"\n}\n", Media("f.gif"),
         MODULE_HEAD_LINES + 3},
        {"sound", "Feature\n{\nSound \"f.wav\", 100\n}\n", Media("f.wav"), MODULE_HEAD_LINES + 3},
        {"palette", "Feature\n{\n}\n", Media("256COL00.PAL"), MODULE_HEAD_LINES + 4},
    };
    for (const Case& c : cases) {
        SetUp(); // the palette FIFO is met only by a module that loads
        LoadBody(c.body);
        EXPECT_EQ(LastMessage(), "Not a file: " + c.name) << c.label;
        EXPECT_EQ(errorLine, c.line) << c.label;
    }

    // The script itself: named, and nothing is loaded.
    SetUp();
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", dir.File("fifo.SS").c_str());
    LoadModule(ctx);
    EXPECT_EQ(LastMessage(), "Not a file: " + dir.File("fifo.SS"));
    EXPECT_EQ(ExitStatus(ctx.errors), 1);
    EXPECT_EQ(moduleCount, 0);
}
#endif

TEST(FileChecksTest, NamesLeavingTheThemeFolder) {
    const std::pair<const char*, bool> cases[] = {
        {"fish.gif", false},
        {"sub/fish.gif", false},
        {"sub\\fish.gif", false},
        {"./fish.gif", false},
        {"sub/../fish.gif", false},
        {"a/b/../../fish.gif", false},
        {"../fish.gif", true},
        {"..\\fish.gif", true},
        {"sub/../../fish.gif", true},
        {"./../fish.gif", true},
        {"/dev/stdin", true},
        {"\\\\server\\x.gif", true},
        {"C:\\x.gif", true},
        {"c:x.gif", true},
        {"..", true},
        {"a..b/fish.gif", false},
        {"...", false},
    };
    for (const auto& [name, leaves] : cases) EXPECT_EQ(NameLeavesFolder(name), leaves) << name;
}

} // namespace
