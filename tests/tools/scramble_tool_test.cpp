// The scramble and unscramble commands of glimmora-tool.
#include "support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(ScrambleToolTest, RoundTripsAScriptWithLongLinesAndCrLf) {
    TempDir dir;
    std::string script = "ThemeName \"Aquarium\"\r\n// comment\n" + std::string(300, 'q') +
                         "\nModule \"A\" // x\n\tLast line without newline";
    std::string in = dir.Write("in.SS", script);
    std::string out = dir.File("out.SS");
    std::string back = dir.File("back.SS");
    std::string tool = GLIMMORA_TOOL;
    ASSERT_EQ(RunCommand(tool + " scramble " + in + " " + out), 0);
    std::string scrambledText = ReadFileText(out);
    EXPECT_EQ(scrambledText.substr(0, 5), "%%%%\n");
    EXPECT_EQ(scrambledText.find("Aquarium"), std::string::npos);
    ASSERT_EQ(RunCommand(tool + " unscramble " + out + " " + back), 0);
    std::string expected = script;
    expected.replace(expected.find("\r\n"), 2, "\n");
    EXPECT_EQ(ReadFileText(back), expected);

    // Converting twice would write garbage: each direction refuses the other form.
    const std::string err = " 2>" + dir.File("err");
    EXPECT_EQ(RunCommand(tool + " scramble " + out + " " + dir.File("twice.SS") + err), 1);
    EXPECT_EQ(ReadFileText(dir.File("err")), "scramble: " + out + " is scrambled already\n");
    EXPECT_EQ(RunCommand(tool + " unscramble " + in + " " + dir.File("twice.SS") + err), 1);
    EXPECT_EQ(ReadFileText(dir.File("err")),
              "unscramble: " + in + " is not scrambled (its first line is not \"%%%%\")\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("twice.SS")));
}

// The output is written beside its name and renamed over it, so the input
// named again as output (directly, through a link or a hard link) is refused
// and no failure leaves a half-written file.
TEST(ScrambleToolTest, NeverWritesOverItsInput) {
    namespace fs = std::filesystem;
    const std::string tool = GLIMMORA_TOOL;
    const std::string plain = "ThemeName \"Reef\"\nModule \"A\"\n{\n}\n";
    struct Case {
        const char* command;
        bool scrambledInput;
        const char* output; // "in", a link to it, or a hard link
    };
    for (const Case& c : {Case{"scramble", false, "in"}, Case{"unscramble", true, "in"},
                          Case{"scramble", false, "link"}, Case{"unscramble", true, "link"},
                          Case{"scramble", false, "hard"}}) {
        SCOPED_TRACE(std::string(c.command) + " to " + c.output);
        TempDir dir;
        std::string in = dir.Write("in.SS", plain);
        if (c.scrambledInput) {
            ASSERT_EQ(RunCommand(tool + " scramble " + dir.File("in.SS") + " " + dir.File("s.SS")),
                      0);
            fs::rename(dir.File("s.SS"), in);
        }
        const std::string before = ReadFileText(in);
        std::string out = in;
        if (std::string(c.output) == "link") {
            out = dir.File("link.SS");
            fs::create_symlink(in, out);
        } else if (std::string(c.output) == "hard") {
            out = dir.File("hard.SS");
            fs::create_hard_link(in, out);
        }
        const std::string err = " 2>" + dir.File("err");
        EXPECT_EQ(RunCommand(tool + " " + c.command + " " + in + " " + out + err), 1);
        EXPECT_EQ(ReadFileText(dir.File("err")), std::string(c.command) + ": " + out +
                                                     " is the input file; name another output\n");
        EXPECT_EQ(ReadFileText(in), before);
    }
}

TEST(ScrambleToolTest, LeavesTheOldOutputWhenItCannotReplaceIt) {
    TempDir dir;
    const std::string tool = GLIMMORA_TOOL;
    std::string in = dir.Write("in.SS", "ThemeName \"Reef\"\n");
    std::string out = dir.Write("out.SS", "old output\n");
    // A folder in the way of the rename: the old output stays and nothing is left beside it.
    std::filesystem::create_directory(dir.File("folder.SS"));
    EXPECT_EQ(RunCommand(tool + " scramble " + in + " " + dir.File("folder.SS") + " 2>/dev/null"),
              1);
    EXPECT_EQ(RunCommand(tool + " scramble " + in + " " + out), 0);
    EXPECT_EQ(ReadFileText(out).substr(0, 5), "%%%%\n");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 3u); // in.SS, out.SS, folder.SS: no temporary file left
}

TEST(ScrambleToolTest, ReportsUnreadableInput) {
    TempDir dir;
    std::string tool = GLIMMORA_TOOL;
    EXPECT_EQ(
        RunCommand(tool + " scramble " + dir.File("absent") + " " + dir.File("o") + " 2>/dev/null"),
        1);
    EXPECT_EQ(RunCommand(tool + " scramble onlyone 2>/dev/null"), 2);
}

} // namespace
