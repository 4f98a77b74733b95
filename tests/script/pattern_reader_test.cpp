#include "script/pattern_reader.h"
#include "script/theme_records.h"
#include "script_fixture.h"

#include <gtest/gtest.h>

namespace {

class PatternReaderTest : public ScriptTest {
  protected:
    void SetUp() override {
        ResetScript();
        log.texts.clear();
    }
    void TearDown() override { delete[] pattern.steps; }

    void ExpectStep(int i, int32_t dx, int32_t dy, int32_t steps) {
        ASSERT_LT(i, pattern.count);
        EXPECT_EQ(pattern.steps[i].dx, dx) << "step " << i;
        EXPECT_EQ(pattern.steps[i].dy, dy) << "step " << i;
        EXPECT_EQ(pattern.steps[i].steps, steps) << "step " << i;
    }

    CPattern pattern = {0, nullptr};
    int32_t interval = 0;
};

TEST_F(PatternReaderTest, ReadsIntervalAndSteps) {
    ASSERT_EQ(
        ReadPattern(script, pattern, "100,{5,0,20},{0,5,20},{-5,0,20},{0,-5,20})\n", interval), 1);
    EXPECT_EQ(interval, 100);
    ASSERT_EQ(pattern.count, 4);
    ExpectStep(0, 80, 0, 20);
    ExpectStep(1, 0, 80, 20);
    ExpectStep(2, -80, 0, 20);
    ExpectStep(3, 0, -80, 20);
    EXPECT_TRUE(log.texts.empty());
}

TEST_F(PatternReaderTest, StepsSeparatedByCommasAndBlanks) {
    ASSERT_EQ(ReadPattern(script, pattern, "50,{1,2,3}, {4,5,6} ,\t{7,8,9})", interval), 1);
    ASSERT_EQ(pattern.count, 3);
    ExpectStep(0, 16, 32, 3);
    ExpectStep(1, 64, 80, 6);
    ExpectStep(2, 112, 128, 9);
}

TEST_F(PatternReaderTest, BlankBeforeTheFirstStepGivesNoSteps) {
    ASSERT_EQ(ReadPattern(script, pattern, "100, {5,0,20})", interval), 1);
    EXPECT_EQ(interval, 100);
    EXPECT_EQ(pattern.count, 0);
    EXPECT_EQ(pattern.steps, nullptr);
}

TEST_F(PatternReaderTest, StepsMayUseCoordinateForms) {
    ASSERT_EQ(ReadPattern(script, pattern, "10*50,{Random(3,4),a8,2},{Center,Bottom,1})", interval),
              1);
    EXPECT_EQ(interval, 5);
    ASSERT_EQ(pattern.count, 2);
    ExpectStep(0, RANDOM_CODE + (3 << 14) + 4, 128, 2);
    ExpectStep(1, CENTER_CODE, FAR_EDGE_CODE, 1);
}

TEST_F(PatternReaderTest, StepWithoutItsCloserIsNotCounted) {
    ASSERT_EQ(ReadPattern(script, pattern, "100,{5,0,20},{1,1", interval), 1);
    ASSERT_EQ(pattern.count, 1);
    ExpectStep(0, 80, 0, 20);
}

TEST_F(PatternReaderTest, MalformedTextsStayInBounds) {
    const char* texts[] = {"",         ",",        "100",    "100,",          "100,{",
                           "100,{}",   "100,{,,}", "{}{}{}", "100,{1}{2}{3}", "100,{1,2,3}}}",
                           "100,{{{{}"};
    for (const char* text : texts) {
        ASSERT_EQ(ReadPattern(script, pattern, text, interval), 1) << text;
    }
}

TEST_F(PatternReaderTest, ReadingAgainReplacesTheSteps) {
    ASSERT_EQ(ReadPattern(script, pattern, "1,{1,1,1},{2,2,2}", interval), 1);
    ASSERT_EQ(ReadPattern(script, pattern, "2,{3,3,3}", interval), 1);
    ASSERT_EQ(pattern.count, 1);
    ExpectStep(0, 48, 48, 3);
}

} // namespace
