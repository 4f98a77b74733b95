#include "script/script_reader.h"
#include "script/setup_scan.h"
#include "script/theme_records.h"
#include "script_fixture.h"
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class SetupScanTest : public ScriptTest {
  protected:
    void SetUp() override {
        ResetScript();
        log.texts.clear();
    }
    void TearDown() override { reader.CloseScript(); }

    int Scan(const std::string& content) {
        std::string path = dir.Write("theme.SS", content);
        std::snprintf(scriptPath, sizeof(scriptPath), "%s", path.c_str());
        return ScanThemeSetup(script, scriptPath);
    }

    std::string LastMessage() { return log.texts.empty() ? "" : log.texts.back(); }

    TempDir dir;
};

const char* const TWO_MODULES = "ThemeName \"Aquarium\"\n"                       // 1
                                "Module \"Reef\"\n"                              // 2
                                "{\n"                                            // 3
                                "   Setup\n"                                     // 4
                                "   {\n"                                         // 5
                                "   #Fish=\"Fish\" \"Few\" \"Many\" 1, 20, 10\n" // 6
                                "   #Speed \"Speed\" \"Slow\" \"Fast\" 200,10\n" // 7
                                "   Other line\n"                                // 8
                                "   }\n"                                         // 9
                                "   Background\n"                                // 10
                                "   {\n"                                         // 11
                                "   }\n"                                         // 12
                                "}\n"                                            // 13
                                "ScreenSaver \"Night\"\n"                        // 14
                                "{\n"                                            // 15
                                "Setup\n"                                        // 16
                                "{\n"                                            // 17
                                "}\n"                                            // 18
                                "}\n";                                           // 19

TEST_F(SetupScanTest, ReadsThemeNameModulesAndParameters) {
    ASSERT_EQ(Scan(TWO_MODULES), 1);
    EXPECT_STREQ(theme.themeName, "Aquarium");
    ASSERT_EQ(moduleCount, 2);
    const ThemeModule& reef = moduleTable[0];
    EXPECT_STREQ(reef.name, "Reef");
    EXPECT_STREQ(reef.params[0].name, "Fish");
    EXPECT_STREQ(reef.params[0].caption, "Fish");
    EXPECT_STREQ(reef.params[0].leftLabel, "Few");
    EXPECT_STREQ(reef.params[0].rightLabel, "Many");
    EXPECT_EQ(reef.params[0].leftValue, 1);
    EXPECT_EQ(reef.params[0].rightValue, 20);
    EXPECT_EQ(reef.params[0].defaultValue, 10);
    // Two values: a slider falling from left to right, the default untouched.
    EXPECT_STREQ(reef.params[1].name, "Speed");
    EXPECT_EQ(reef.params[1].leftValue, 200);
    EXPECT_EQ(reef.params[1].rightValue, 10);
    EXPECT_EQ(reef.params[1].defaultValue, 0);
    EXPECT_STREQ(reef.params[2].name, "");
    EXPECT_EQ(reef.bodyLine, 9);
    EXPECT_STREQ(moduleTable[1].name, "Night"); // "ScreenSaver" begins a module too
    EXPECT_EQ(moduleTable[1].bodyLine, 18);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(errorLine, 0);
}

TEST_F(SetupScanTest, BodyOffsetResumesAfterTheSetupBlock) {
    ASSERT_EQ(Scan(TWO_MODULES), 1);
    ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    ASSERT_EQ(reader.ScriptSeek(moduleTable[0].bodyOffset), 1);
    char* line;
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_STREQ(line, "Background\n");
    ASSERT_EQ(reader.ScriptSeek(moduleTable[1].bodyOffset), 1);
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_STREQ(line, "}\n");
    ASSERT_FALSE(reader.NextLine(&line));
}

TEST_F(SetupScanTest, BodyOffsetWithCrLfLineEnds) {
    ASSERT_EQ(Scan("Module \"A\"\r\n{\r\nSetup\r\n{\r\n}\r\nFeature\r\n"), 1);
    ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    ASSERT_EQ(reader.ScriptSeek(moduleTable[0].bodyOffset), 1);
    char* line;
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_STREQ(line, "Feature\n");
}

TEST_F(SetupScanTest, MissingScriptFailsSilently) {
    std::snprintf(scriptPath, sizeof(scriptPath), "%s", dir.File("none.SS").c_str());
    moduleCount = 3;
    EXPECT_EQ(ScanThemeSetup(script, scriptPath), 0);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(errorLine, 0);
    EXPECT_EQ(moduleCount, 3);
}

TEST_F(SetupScanTest, MissingBlockOpener) {
    EXPECT_EQ(Scan("ThemeName \"T\"\nModule \"A\"\nSetup\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(errorLine, 3);
    EXPECT_EQ(moduleCount, 1); // the module stays in the table
}

TEST_F(SetupScanTest, MissingBlockOpenerAtEndOfFile) {
    EXPECT_EQ(Scan("Module \"A\"\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(errorLine, 1);
}

TEST_F(SetupScanTest, ModuleWithoutSetup) {
    EXPECT_EQ(Scan("Module \"A\"\n{\nBackground\n{\n}\n}\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing keyword 'Setup' or missing '{'");
    EXPECT_EQ(errorLine, 3);
}

TEST_F(SetupScanTest, SetupWithoutBlockOpener) {
    EXPECT_EQ(Scan("Module \"A\"\n{\n// note\nSetup\n#P \"a\" \"b\" \"c\" 1 2\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing keyword 'Setup' or missing '{'");
    EXPECT_EQ(errorLine, 5);
}

TEST_F(SetupScanTest, SetupAtEndOfFile) {
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing keyword 'Setup' or missing '{'");
    EXPECT_EQ(errorLine, 3);
}

TEST_F(SetupScanTest, FourthParameterIsRejected) {
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n"
                   "#A \"a\" \"l\" \"r\" 0 1 0\n"
                   "#B \"b\" \"l\" \"r\" 0 1 0\n"
                   "#C \"c\" \"l\" \"r\" 0 1 0\n"
                   "#D \"d\" \"l\" \"r\" 0 1 0\n"
                   "}\n}\n"),
              0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Too many parameters present");
    EXPECT_EQ(errorLine, 8);
    EXPECT_STREQ(moduleTable[0].params[2].name, "C");
}

TEST_F(SetupScanTest, InvalidParameterDefinitions) {
    // Two quoted strings only.
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#A \"Caption\" \"Left\" 0 1\n}\n}\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Invalid parameter definition");
    EXPECT_EQ(errorLine, 5);
    // Fields read before the failure stay filled.
    EXPECT_STREQ(moduleTable[0].params[0].name, "A");
    EXPECT_STREQ(moduleTable[0].params[0].leftLabel, "Left");

    SetUp();
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#A \"c\" \"l\" \"r\" 5\n}\n}\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Invalid parameter definition");
    EXPECT_EQ(moduleTable[0].params[0].leftValue, 5);

    SetUp();
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#A \"c\" \"l\" \"r\"\n}\n}\n"), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Invalid parameter definition");
}

TEST_F(SetupScanTest, LongNamesAndTextsAreCut) {
    std::string name(50, 'N');
    std::string caption(45, 'C');
    std::string label(25, 'L');
    std::string module(70, 'M');
    std::string themeText(90, 'T');
    ASSERT_EQ(Scan("ThemeName \"" + themeText + "\"\nModule \"" + module + "\"\n{\nSetup\n{\n#" +
                   name + "=\"c\" \"l\" \"r\" 1 2 3\n#P \"" + caption + "\" \"" + label + "\" \"" +
                   label + "\" 4 5\n}\n}\n"),
              1);
    EXPECT_EQ(std::string(theme.themeName), themeText.substr(0, 80));
    EXPECT_EQ(std::string(moduleTable[0].name), module.substr(0, 60));
    const ModuleParam& p = moduleTable[0].params[0];
    EXPECT_EQ(std::string(p.name), name.substr(0, 40));
    EXPECT_STREQ(p.caption, "c"); // read from the first quote on
    EXPECT_EQ(p.leftValue, 1);
    EXPECT_EQ(p.rightValue, 2);
    EXPECT_EQ(p.defaultValue, 3);
    const ModuleParam& q = moduleTable[0].params[1];
    EXPECT_EQ(std::string(q.caption), caption.substr(0, 40));
    EXPECT_EQ(std::string(q.leftLabel), label.substr(0, 20));
    EXPECT_EQ(std::string(q.rightLabel), label.substr(0, 20));
    EXPECT_EQ(q.leftValue, 4);
    EXPECT_EQ(q.rightValue, 5);
}

TEST_F(SetupScanTest, TabDoesNotEndAParameterName) {
    ASSERT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#Fish\tCount \"c\" \"l\" \"r\" 1 2 3\n}\n}\n"), 1);
    EXPECT_STREQ(moduleTable[0].params[0].name, "Fish\tCount");
}

TEST_F(SetupScanTest, ModulesInsideIfZeroAreNotListed) {
    ASSERT_EQ(Scan("#if 0\nModule \"Hidden\"\n{\nSetup\n{\n}\n}\n#endif\n"
                   "Module \"Shown\"\n{\nSetup\n{\n}\n}\n"),
              1);
    ASSERT_EQ(moduleCount, 1);
    EXPECT_STREQ(moduleTable[0].name, "Shown");
}

TEST_F(SetupScanTest, IfZeroInsideASetupBlockEndsInAnInvalidDefinition) {
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#if 0\n#X \"c\" \"l\" \"r\" 1 2\n#endif\n}\n}\n"),
              0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Invalid parameter definition");
    EXPECT_EQ(errorLine, 7);
}

TEST_F(SetupScanTest, ParameterValuesMayBeExpressions) {
    ASSERT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n#P \"c\" \"l\" \"r\" -5, 50*4, 7\n}\n}\n"), 1);
    EXPECT_EQ(moduleTable[0].params[0].leftValue, -5);
    EXPECT_EQ(moduleTable[0].params[0].rightValue, 2);
    EXPECT_EQ(moduleTable[0].params[0].defaultValue, 7);
}

TEST_F(SetupScanTest, ModulesBeyondTheTableAreCheckedAndDropped) {
    std::string script = "ThemeName \"Many\"\n";
    for (int i = 0; i < 18; ++i) {
        script += "Module \"M" + std::to_string(i) + "\"\n{\nSetup\n{\n#P \"c\" \"l\" \"r\" 0 " +
                  std::to_string(i) + " 1\n}\n}\n";
    }
    ASSERT_EQ(Scan(script), 1);
    EXPECT_EQ(moduleCount, MAX_MODULES);
    EXPECT_STREQ(moduleTable[15].name, "M15");
    EXPECT_EQ(moduleTable[15].params[0].rightValue, 15);

    // A malformed Setup block of a dropped module is still reported.
    SetUp();
    for (int i = 0; i < 16; ++i) script += "Module \"X\"\n{\nSetup\n{\n}\n}\n";
    script += "Module \"Bad\"\nSetup\n";
    EXPECT_EQ(Scan(script), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(moduleCount, MAX_MODULES);
}

TEST_F(SetupScanTest, KeywordsAnywhereAreTaken) {
    // The scan does not follow blocks: a "Module" line inside a body begins a module.
    EXPECT_EQ(Scan("Module \"A\"\n{\nSetup\n{\n}\nFeature\n{\n}\nThemeName \"Late\"\n}\n"), 1);
    EXPECT_STREQ(theme.themeName, "Late");
    EXPECT_EQ(moduleCount, 1);
}

TEST_F(SetupScanTest, ScrambledScript) {
    // Scrambled scripts scan like plain ones, body offsets included.
    std::string plain = dir.Write("plain.SS", TWO_MODULES);
    (void)plain;
    ASSERT_EQ(Scan(TWO_MODULES), 1);
    int32_t plainLine = moduleTable[0].bodyLine;
    std::string command = std::string(GLIMMORA_TOOL) + " scramble " + dir.File("plain.SS") + " " +
                          dir.File("theme.SS");
    ASSERT_EQ(RunCommand(command), 0);
    ResetScript();
    std::snprintf(scriptPath, sizeof(scriptPath), "%s", dir.File("theme.SS").c_str());
    ASSERT_EQ(ScanThemeSetup(script, scriptPath), 1);
    EXPECT_EQ(moduleCount, 2);
    EXPECT_EQ(moduleTable[0].bodyLine, plainLine);
    ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    ASSERT_EQ(reader.ScriptSeek(moduleTable[0].bodyOffset), 1);
    char* line;
    ASSERT_TRUE(reader.NextLine(&line));
    EXPECT_STREQ(line, "Background\n");
}

} // namespace
