#include "script/script_scramble.h"
#include "support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(ScrambleTableTest, IsAPermutationOfPrintableCodes) {
    std::set<int> codes;
    for (char c : SCRAMBLE_TABLE) {
        int code = static_cast<unsigned char>(c);
        EXPECT_GE(code, 32);
        EXPECT_LE(code, 127);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 96u);
}

TEST(ScrambleTest, EveryCharacterRoundTripsAtEveryColumn) {
    for (int column = 0; column < SCRIPT_PIECE_LEN; ++column) {
        for (int code = 0; code < 256; ++code) {
            char c = static_cast<char>(code);
            char s = ScrambleChar(c, column);
            ASSERT_EQ(UnscrambleChar(s, column), c) << "code " << code << " column " << column;
            if (code < 32 || code > 127) {
                ASSERT_EQ(s, c);
            }
        }
    }
}

TEST(ScrambleTest, ScramblingDependsOnColumn) {
    EXPECT_NE(ScrambleChar('A', 0), ScrambleChar('A', 1));
}

TEST(ScrambleTest, ToolRoundTripsAScriptWithLongLinesAndCrLf) {
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

TEST(ScrambleTest, ToolReportsUnreadableInput) {
    TempDir dir;
    std::string tool = GLIMMORA_TOOL;
    EXPECT_EQ(
        RunCommand(tool + " scramble " + dir.File("absent") + " " + dir.File("o") + " 2>/dev/null"),
        1);
    EXPECT_EQ(RunCommand(tool + " scramble onlyone 2>/dev/null"), 2);
}

} // namespace
