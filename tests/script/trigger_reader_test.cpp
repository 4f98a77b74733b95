#include "script/script_reader.h"
#include "script/theme_records.h"
#include "script/trigger_reader.h"
#include "script_fixture.h"
#include "support/test_files.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class TriggerReaderTest : public ScriptTest {
  protected:
    void SetUp() override {
        ResetScript();
        log.texts.clear();
        feature.SetDefaults();
        moduleCount = 1;
        theme.currentModule = &moduleTable[0];
    }
    void TearDown() override { reader.CloseScript(); }

    // Opens `content` as the script, so that readers pull their lines from it.
    void Open(const std::string& content) {
        std::string path = dir.Write("theme.SS", content);
        std::snprintf(scriptPath, sizeof(scriptPath), "%s", path.c_str());
        ASSERT_EQ(reader.OpenScript(scriptPath), 1);
    }

    void SetParam(int slot, const char* name, int32_t value) {
        std::snprintf(moduleTable[0].params[slot].name, PARAM_NAME_LEN + 1, "%s", name);
        moduleTable[0].params[slot].value = value;
    }

    std::string LastMessage() { return log.texts.empty() ? "" : log.texts.back(); }

    CFeature feature;
    TempDir dir;
};

TEST_F(TriggerReaderTest, LabelsAreAddedOnceAndComparedWithoutCase) {
    EXPECT_EQ(LabelIndex(script, " Bird\n"), 0);
    EXPECT_EQ(LabelIndex(script, "Fish"), 1);
    EXPECT_EQ(LabelIndex(script, "(bIRD)"), 0);
    EXPECT_EQ(labelCount, 2);
    EXPECT_STREQ(labelTable[0].name, "Bird");
    EXPECT_EQ(labelTable[0].feature, 0);
    EXPECT_EQ(LabelIndex(script, "Big_Fish2, 10"), 2);
    EXPECT_STREQ(labelTable[2].name, "Big_Fish2");
}

TEST_F(TriggerReaderTest, LongLabelNamesAreCutTo32) {
    std::string forty(40, 'x');
    int32_t index = LabelIndex(script, forty.c_str());
    EXPECT_EQ(std::string(labelTable[index].name), forty.substr(0, 32));
    EXPECT_EQ(LabelIndex(script, forty.substr(0, 32).c_str()), index);
    EXPECT_EQ(labelCount, 1);
}

// "L<i>", appended step by step: GCC 12 at -O3 reports false overlapping
// copies (-Wrestrict) in "L" + std::to_string(i).
std::string LabelName(int i) {
    std::string name = "L";
    name += std::to_string(i);
    return name;
}

TEST_F(TriggerReaderTest, FullLabelTableGivesLabelZero) {
    for (int i = 0; i < MAX_LABELS; ++i) ASSERT_EQ(LabelIndex(script, LabelName(i).c_str()), i);
    EXPECT_EQ(LabelIndex(script, "Another"), 0);
    EXPECT_EQ(LabelIndex(script, "L63"), 63);
    EXPECT_EQ(labelCount, MAX_LABELS);
}

TEST_F(TriggerReaderTest, CommandsAreEncoded) {
    for (int i = 0; i < 12; ++i) LabelIndex(script, LabelName(i).c_str());
    Open("{\nTrigger Bird\nStop\nDisable\nDisable L11\nEnable L5\nEndSection\n}\nAfter\n");
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_STREQ(feature.commands, "T12!dD11E05S");
    char* line;
    ASSERT_TRUE(reader.NextLine(&line)); // the closer was consumed
    EXPECT_STREQ(line, "After\n");
}

TEST_F(TriggerReaderTest, ReferenceBeforeTheLabelCreatesIt) {
    Open("{\nTrigger Bird\n}\n");
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_STREQ(feature.commands, "T00");
    EXPECT_EQ(labelCount, 1);
}

TEST_F(TriggerReaderTest, LaterConditionReplacesTheCommandString) {
    Open("{\nStop\nStop\n}\n{\nEndSection\n}\n");
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_STREQ(feature.commands, "!!");
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_STREQ(feature.commands, "S");
}

TEST_F(TriggerReaderTest, CommandBlockErrors) {
    Open("Stop\n");
    EXPECT_EQ(ReadCommands(script, feature), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
    EXPECT_EQ(errorLine, 1);

    SetUp();
    Open("{\nStop\nJump Bird\n}\n");
    EXPECT_EQ(ReadCommands(script, feature), 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Jump");
    EXPECT_EQ(errorLine, 3);

    SetUp();
    Open("");
    EXPECT_EQ(ReadCommands(script, feature), 0);
    EXPECT_EQ(LastMessage(), "Syntax Error: Missing '{'");
}

TEST_F(TriggerReaderTest, CommandBlockEndingAtEndOfFile) {
    Open("{\nStop\n");
    EXPECT_EQ(ReadCommands(script, feature), 1);
    EXPECT_STREQ(feature.commands, "!");
}

TEST_F(TriggerReaderTest, LongCommandBlocksAreCutToWholeCommands) {
    std::string block = "{\n";
    for (int i = 0; i < 15; ++i) block += "Trigger L" + std::to_string(i) + "\n";
    block += "Stop\nInvalid\n}\n";
    Open(block);
    std::memset(feature.commands, 'x', sizeof(feature.commands));
    int32_t after = feature.designWidth = 1234;
    EXPECT_EQ(ReadCommands(script, feature), 0); // the unknown keyword is still reported
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Invalid");
    EXPECT_EQ(std::strlen(feature.commands), 39u);
    EXPECT_EQ(std::string(feature.commands, 6), "T00T01");
    EXPECT_EQ(std::string(feature.commands + 36), "T12");
    EXPECT_EQ(feature.designWidth, after);

    SetUp();
    block = "{\n";
    for (int i = 0; i < 13; ++i) block += "Trigger L" + std::to_string(i) + "\n";
    block += "Stop\nStop\n}\n";
    Open(block);
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_EQ(std::strlen(feature.commands), 39u);

    SetUp();
    block = "{\n";
    for (int i = 0; i < 45; ++i) block += "Stop\n";
    block += "}\n";
    Open(block);
    ASSERT_EQ(ReadCommands(script, feature), 1);
    EXPECT_EQ(std::string(feature.commands), std::string(39, '!'));
}

TEST_F(TriggerReaderTest, ConditionForms) {
    Open("{\n}\n{\n}\n{\n}\n{\nEndSection\n}\n");
    ASSERT_EQ(ReadCondition(script, feature, "InRegion(0, 0, 400, 300)\n"), 1);
    EXPECT_EQ(feature.conditionType, COND_IN_REGION);
    EXPECT_EQ(feature.conditionArg1, 0);
    EXPECT_EQ(feature.conditionArg2, 0);
    EXPECT_EQ(feature.conditionArg3, 6400);
    EXPECT_EQ(feature.conditionArg4, 4800);

    ASSERT_EQ(ReadCondition(script, feature, "AfterTime(2500)\n"), 1);
    EXPECT_EQ(feature.conditionType, COND_AFTER_TIME);
    EXPECT_EQ(feature.conditionArg1, 2500);

    ASSERT_EQ(ReadCondition(script, feature, "OnFrame(3)\n"), 1);
    EXPECT_EQ(feature.conditionType, COND_ON_FRAME);
    EXPECT_EQ(feature.conditionArg1, 3);
    EXPECT_EQ(feature.conditionArg3, 3); // no image to look into yet

    ASSERT_EQ(ReadCondition(script, feature, "OnEnd\n"), 1);
    EXPECT_EQ(feature.conditionType, COND_ON_END);
    EXPECT_STREQ(feature.commands, "S");
}

TEST_F(TriggerReaderTest, MalformedConditions) {
    Open("{\n}\n");
    EXPECT_EQ(ReadCondition(script, feature, "Sometimes(3)\n"), 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: Sometimes(3)");
    EXPECT_EQ(ReadCondition(script, feature, "InRegion(0, 0, 400)\n"), 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: InRegion(0, 0, 400)");
    EXPECT_EQ(ReadCondition(script, feature, "AfterTime 5\n"), 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: AfterTime 5");
    EXPECT_EQ(ReadCondition(script, feature, "OnFrame\n"), 0);
    EXPECT_EQ(LastMessage(), "Invalid Keyword: OnFrame");
    EXPECT_EQ(feature.conditionType, COND_NONE);
}

TEST_F(TriggerReaderTest, SetupTests) {
    SetParam(0, "Birds", 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds > 0)"), 0);
    moduleTable[0].params[0].value = 3;
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds > 0)"), 1);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds >= 3)"), 1);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds>=4)"), 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds <= 3)"), 1);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds < 3)"), 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds = 3)"), 1);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds = -3)"), 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(#Birds ! 3)"), 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(2 < #Birds)"), 1);
    EXPECT_EQ(EvaluateSetupTest(script, "#Birds > 0"), 0); // no "("
    EXPECT_EQ(EvaluateSetupTest(script, "("), 0);
    EXPECT_EQ(EvaluateSetupTest(script, "(5 <"), 0); // 5 < 0
    EXPECT_EQ(EvaluateSetupTest(script, "(5"), 0);
}

} // namespace
