#include "script/script_reader.h"
#include "script/script_scramble.h"
#include "script_fixture.h"
#include "support/test_files.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class ScriptReaderTest : public ScriptTest {
  protected:
    void SetUp() override {
        ResetScript();
        log.texts.clear();
    }
    void TearDown() override { reader.CloseScript(); }

    // Opens `content` as the script and returns every delivered line.
    std::vector<std::string> Lines(const std::string& content) {
        std::string path = dir.Write("theme.SS", content);
        std::snprintf(scriptPath, sizeof(scriptPath), "%s", path.c_str());
        EXPECT_EQ(reader.OpenScript(scriptPath), 1);
        std::vector<std::string> lines;
        char* cursor;
        while (reader.NextLine(&cursor)) lines.emplace_back(cursor);
        return lines;
    }

    TempDir dir;
};

TEST_F(ScriptReaderTest, DeliversSignificantLinesWithoutCommentsAndBlanks) {
    auto lines = Lines("// heading\n\n   \t\n  Image \"fish.gif\" // the fish\nStart 10\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Image \"fish.gif\" "); // the blank before the comment stays
    EXPECT_EQ(lines[1], "Start 10\n");
    EXPECT_EQ(reader.lineNumber, 5);
}

TEST_F(ScriptReaderTest, CrLfLineEndsReadAsLf) {
    auto lines = Lines("Module \"A\"\r\n{\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Module \"A\"\n");
    EXPECT_EQ(lines[1], "{\n");
}

TEST_F(ScriptReaderTest, LongLinesComeInPiecesOf127) {
    std::string longLine(300, 'x');
    auto lines = Lines(longLine + "\nEnd\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(127, 'x'));
    EXPECT_EQ(lines[1], std::string(127, 'x'));
    EXPECT_EQ(lines[2], std::string(46, 'x') + "\n");
    EXPECT_EQ(lines[3], "End\n");
    EXPECT_EQ(reader.lineNumber, 4); // every piece counts as a line
}

TEST_F(ScriptReaderTest, LineOf127CharactersLeavesItsNewlineAsABlankPiece) {
    auto lines = Lines(std::string(127, 'y') + "\nZ\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 127u);
    EXPECT_EQ(lines[1], "Z\n");
    EXPECT_EQ(reader.lineNumber, 3);
}

TEST_F(ScriptReaderTest, NestedConditionalBlocks) {
    auto lines = Lines("#if 0\nX\n#if 1\nY\n#endif\nZ\n#endif\nW\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "#endif\n");
    EXPECT_EQ(lines[1], "W\n");
    EXPECT_EQ(reader.skipDepth, 0);
}

TEST_F(ScriptReaderTest, ConditionalsAreCaseInsensitiveAndMayBeIndented) {
    auto lines = Lines("   #IF 0\nhidden\n#ENDIF\n#if 1\nshown\n#endif\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "#ENDIF\n");
    EXPECT_EQ(lines[1], "#if 1\n");
    EXPECT_EQ(lines[2], "shown\n");
    EXPECT_EQ(lines[3], "#endif\n");
}

// An "#if 0" left open at the end of the script does not reach into the next
// read of it (module loading opens the script again).
TEST_F(ScriptReaderTest, SkipDepthStartsAtZeroOnEveryOpen) {
    Lines("A\n#if 0\nB\n");
    EXPECT_EQ(reader.skipDepth, 1);
    auto lines = Lines("C\n#endif\nD\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "C\n");
    EXPECT_EQ(lines[1], "#endif\n");
}

TEST_F(ScriptReaderTest, MarkerOfFourPercentSignsSwitchesToScrambled) {
    auto plain = Lines("%%%Hello\n");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0], "%%%Hello\n");
    EXPECT_FALSE(reader.scrambled);

    std::string scrambledLine;
    std::string text = "Start 10\n";
    for (size_t i = 0; i < text.size(); ++i)
        scrambledLine += ScrambleChar(text[i], static_cast<int>(i));
    auto lines = Lines("%%%%\n" + scrambledLine);
    EXPECT_TRUE(reader.scrambled);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Start 10\n");
    EXPECT_EQ(reader.lineNumber, 1); // the marker line is not counted
}

TEST_F(ScriptReaderTest, OpenFailsQuietlyForMissingFile) {
    std::snprintf(scriptPath, sizeof(scriptPath), "%s", dir.File("absent.SS").c_str());
    EXPECT_EQ(reader.OpenScript(scriptPath), 0);
    EXPECT_TRUE(log.texts.empty());
    char* cursor;
    EXPECT_FALSE(reader.NextLine(&cursor));
}

TEST_F(ScriptReaderTest, AnErrorIsRecordedOnTheLineBeingRead) {
    Lines("a\nb\nc\n");
    errors.ReportErrorF("Syntax Error: %s", "Missing '{'");
    EXPECT_EQ(log.texts, std::vector<std::string>{"Syntax Error: Missing '{'"});
    EXPECT_EQ(errorLine, 3);
}

TEST_F(ScriptReaderTest, PositionAndSeekResumeReading) {
    Lines("one\ntwo\nthree\n");
    ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    char* cursor;
    ASSERT_TRUE(reader.NextLine(&cursor));
    int32_t offset = reader.ScriptPosition();
    EXPECT_EQ(offset, 4);
    ASSERT_TRUE(reader.NextLine(&cursor));
    ASSERT_EQ(reader.ScriptSeek(offset), 1);
    ASSERT_TRUE(reader.NextLine(&cursor));
    EXPECT_STREQ(cursor, "two\n");
}

// One rule on every platform: a byte-order mark, or bytes that are UTF-8
// throughout, mean UTF-8; anything else is Windows-1252. Lines come as UTF-8.
TEST_F(ScriptReaderTest, TextIsUtf8OrWindows1252AndComesAsUtf8) {
    struct Case {
        const char* what;
        std::string bytes;
        ScriptEncoding encoding;
        std::vector<std::string> lines;
    };
    const std::string cafe = "Caf\xC3\xA9";
    const std::vector<Case> cases = {
        {"ASCII", "ThemeName \"Reef\"\n", ScriptEncoding::Utf8, {"ThemeName \"Reef\"\n"}},
        {"UTF-8",
         "Module \"" + cafe + "\"\nx \"\xE6\xB5\xB7\"\n",
         ScriptEncoding::Utf8,
         {"Module \"" + cafe + "\"\n", "x \"\xE6\xB5\xB7\"\n"}},
        {"Windows-1252",
         "Module \"Caf\xE9\"\n\x80 \x93q\x94 \x81\n",
         ScriptEncoding::Windows1252,
         {"Module \"" + cafe + "\"\n", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81\n"}},
        // One byte that is not UTF-8, far down, decides for the whole file.
        {"late 1252 byte",
         "Module \"" + cafe + "\"\n" + std::string(5000, ' ') + "x\xE9\n",
         ScriptEncoding::Windows1252,
         {"Module \"Caf\xC3\x83\xC2\xA9\"\n", "x\xC3\xA9\n"}},
        {"mark",
         "\xEF\xBB\xBFThemeName \"" + cafe + "\"\n",
         ScriptEncoding::Utf8,
         {"ThemeName \"" + cafe + "\"\n"}},
        // After a mark, a byte that is not UTF-8 shows as U+FFFD.
        {"mark and stray byte", "\xEF\xBB\xBFx\xE9y\n", ScriptEncoding::Utf8, {"x\xEF\xBF\xBDy\n"}},
        {"mark only", "\xEF\xBB\xBF", ScriptEncoding::Utf8, {}},
        {"overlong", "x\xC0\xAF\n", ScriptEncoding::Windows1252, {"x\xC3\x80\xC2\xAF\n"}},
        {"cut sequence at the end",
         "x\xE6\xB5",
         ScriptEncoding::Windows1252,
         {"x\xC3\xA6\xC2\xB5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Lines(c.bytes), c.lines);
        EXPECT_EQ(reader.encoding, c.encoding);
    }
}

// A piece of a long line that would end inside a character ends before it,
// and the character begins the next piece; positions stay exact.
TEST_F(ScriptReaderTest, LongUtf8LinesAreCutBetweenCharacters) {
    const std::string sea = "\xE6\xB5\xB7"; // three bytes
    std::string line = std::string(125, 'x') + sea + sea + "\n";
    auto lines = Lines(line + "End\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(125, 'x'));
    EXPECT_EQ(lines[1], sea + sea + "\n");
    EXPECT_EQ(lines[2], "End\n");
    EXPECT_EQ(reader.lineNumber, 3); // as many pieces as in bytes

    ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    char* cursor;
    ASSERT_TRUE(reader.NextLine(&cursor));
    const int32_t offset = reader.ScriptPosition();
    EXPECT_EQ(offset, 125);
    ASSERT_TRUE(reader.NextLine(&cursor));
    ASSERT_EQ(reader.ScriptSeek(offset), 1);
    ASSERT_TRUE(reader.NextLine(&cursor));
    EXPECT_EQ(std::string(cursor), sea + sea + "\n");

    // A Windows-1252 line of 127 accented bytes is one piece of 254 bytes.
    lines = Lines(std::string(127, '\xE9') + "\n");
    ASSERT_EQ(lines.size(), 1u); // the newline piece is blank
    EXPECT_EQ(lines[0].size(), 254u);
}

TEST_F(ScriptReaderTest, ScrambledScriptsFollowTheSameRule) {
    auto scramble = [](const std::string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) out += ScrambleChar(text[i], static_cast<int>(i));
        return out;
    };
    auto lines = Lines("%%%%\n" + scramble("Module \"Caf\xE9\"\n"));
    EXPECT_TRUE(reader.scrambled);
    EXPECT_EQ(reader.encoding, ScriptEncoding::Windows1252);
    EXPECT_EQ(lines, std::vector<std::string>{"Module \"Caf\xC3\xA9\"\n"});
    // A mark before the marker line, or after it, means UTF-8 as well.
    lines = Lines("\xEF\xBB\xBF%%%%\n" + scramble("\xEF\xBB\xBFStart \xE9\n"));
    EXPECT_TRUE(reader.scrambled);
    EXPECT_EQ(reader.encoding, ScriptEncoding::Utf8);
    EXPECT_EQ(lines, std::vector<std::string>{"Start \xEF\xBF\xBD\n"});
}

struct Split {
    std::string keyword;
    std::string rest;
};

Split DoSplit(const char* text) {
    char line[SCRIPT_LINE_SIZE];
    std::snprintf(line, sizeof(line), "%s", text);
    char* keyword;
    char* rest;
    SplitKeyword(line, &keyword, &rest);
    return {keyword, rest};
}

TEST(SplitKeywordTest, SkipsSeparatorsSignsAndHash) {
    Split position = DoSplit("Position 10, 20\n");
    EXPECT_EQ(position.keyword, "Position");
    EXPECT_EQ(position.rest, "10, 20\n");

    Split start = DoSplit("Start -5\n");
    EXPECT_EQ(start.keyword, "Start");
    EXPECT_EQ(start.rest, "5\n"); // the minus sign is skipped

    Split param = DoSplit("Speed=#Rate\n");
    EXPECT_EQ(param.keyword, "Speed");
    EXPECT_EQ(param.rest, "Rate\n");

    Split movement = DoSplit("Movement(Bounce, 3)\n");
    EXPECT_EQ(movement.keyword, "Movement");
    EXPECT_EQ(movement.rest, "Bounce, 3)\n");

    Split quoted = DoSplit("Image   \"fish.gif\"\n");
    EXPECT_EQ(quoted.rest, "\"fish.gif\"\n");

    Split block = DoSplit("Setup {\n");
    EXPECT_EQ(block.rest, "{\n");
}

TEST(SplitKeywordTest, KeywordAtEndOfLineOrNoKeyword) {
    Split alone = DoSplit("Section");
    EXPECT_EQ(alone.keyword, "Section");
    EXPECT_EQ(alone.rest, "");

    Split nothingAfter = DoSplit("Section  \n");
    EXPECT_EQ(nothingAfter.keyword, "Section");
    EXPECT_EQ(nothingAfter.rest, "");

    Split directive = DoSplit("#endif\n");
    EXPECT_EQ(directive.keyword, "");
    EXPECT_EQ(directive.rest, "endif\n");
}

TEST(MatchKeywordTest, CaseInsensitivePrefix) {
    EXPECT_TRUE(MatchKeyword("IMAGEs", "Image"));
    EXPECT_TRUE(MatchKeyword("image", "Image"));
    EXPECT_FALSE(MatchKeyword("Imag", "Image"));
    EXPECT_FALSE(MatchKeyword("", "Image"));
    EXPECT_TRUE(MatchKeyword("anything", ""));
}

std::string Strip(const char* text) {
    char buffer[SCRIPT_LINE_SIZE];
    std::snprintf(buffer, sizeof(buffer), "%s", text);
    StripQuotes(buffer);
    return buffer;
}

TEST(StripQuotesTest, QuotedUnquotedAndMalformed) {
    EXPECT_EQ(Strip("\"fish.gif\" trailing\n"), "fish.gif");
    EXPECT_EQ(Strip("fish.gif\"rest\n"), "fish.gif");
    EXPECT_EQ(Strip("\"no closing quote\n"), "no closing quote");
    EXPECT_EQ(Strip("bare name\r\n"), "bare name");
    EXPECT_EQ(Strip("\"\""), "");
    EXPECT_EQ(Strip(""), "");
}

TEST(CopyQuotedTest, CopiesCutsAndFails) {
    char field[6] = "keep";
    char noQuote[] = "no quote here";
    EXPECT_EQ(CopyQuoted(field, noQuote, 5), nullptr);
    EXPECT_STREQ(field, "keep");

    char text[] = "x \"abcdefgh\" \"second\"";
    char* after = CopyQuoted(field, text, 5);
    EXPECT_STREQ(field, "abcde");
    ASSERT_NE(after, nullptr);
    EXPECT_STREQ(after, " \"second\"");
    after = CopyQuoted(field, after, 5);
    EXPECT_STREQ(field, "secon");
    EXPECT_STREQ(after, "");

    char unclosed[] = "\"open\n";
    after = CopyQuoted(field, unclosed, 5);
    EXPECT_STREQ(field, "open");
    EXPECT_STREQ(after, "\n");

    // A cut keeps whole characters: "Récif" in 2 bytes is "R", in 3 "Ré".
    char accented[] = "\"R\xC3\xA9"
                      "cif\"";
    CopyQuoted(field, accented, 2);
    EXPECT_STREQ(field, "R");
    CopyQuoted(field, accented, 3);
    EXPECT_STREQ(field, "R\xC3\xA9");
}

} // namespace
