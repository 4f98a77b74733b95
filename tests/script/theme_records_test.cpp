#include "script/theme_records.h"
#include "script_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ThemeRecordsTest, FeatureDefaultsMatchABlockThatSetsNothing) {
    CFeature f;
    f.SetDefaults();
    EXPECT_EQ(f.startType, START_RANDOM);
    EXPECT_EQ(f.startArg1, 0);
    EXPECT_EQ(f.startArg2, 0);
    EXPECT_EQ(f.positionX, RANDOM_CODE);
    EXPECT_EQ(f.positionY, 1);
    EXPECT_EQ(f.durationType, DURATION_ON_SCREEN);
    EXPECT_EQ(f.movementType, MOVE_STATIC);
    EXPECT_EQ(f.enabled, 1);
    EXPECT_EQ(f.enableMode, ENABLE_ALWAYS);
    EXPECT_EQ(f.fadeType, FADE_NONE);
    EXPECT_EQ(f.fadeNextTime, -1);
    EXPECT_EQ(f.conditionType, COND_NONE);
    EXPECT_EQ(f.commands[0], '\0');
    EXPECT_EQ(f.image, nullptr);
    EXPECT_EQ(f.sound, nullptr);
    EXPECT_EQ(f.bounceSound, nullptr);
    EXPECT_EQ(f.soundCycleFrame, -1);
    EXPECT_EQ(f.displaySlot, -1);
    EXPECT_EQ(f.pattern.count, 0);
}

TEST(ThemeRecordsTest, CoordinateCodesAreDistinctAndAboveFixedValues) {
    EXPECT_EQ(RANDOM_CODE, 0x10000000);
    EXPECT_EQ(FAR_EDGE_CODE, 0x20000000);
    EXPECT_EQ(CENTER_CODE, 0x30000000);
    int32_t withParams =
        RANDOM_CODE | ((5 & RANDOM_PARAM_MASK) << RANDOM_A_SHIFT) | (7 & RANDOM_PARAM_MASK);
    EXPECT_LT(withParams, FAR_EDGE_CODE);
    EXPECT_EQ((withParams >> RANDOM_A_SHIFT) & RANDOM_PARAM_MASK, 5);
}

TEST_F(ScriptTest, ThemeTableResetEmptiesTablesAndFreesPatterns) {
    featureTable[0].SetDefaults();
    featureTable[0].pattern.count = 2;
    featureTable[0].pattern.steps = new PatternStep[2];
    featureCount = 1;
    labelCount = 3;
    sectionCount = 2;
    theme.ResetModuleContent(); // LeakSanitizer catches a pattern not freed
    EXPECT_EQ(featureCount, 0);
    EXPECT_EQ(labelCount, 0);
    EXPECT_EQ(sectionCount, 0);
    EXPECT_EQ(featureTable[0].pattern.steps, nullptr);

    moduleCount = 4;
    theme.themeName[0] = 'T';
    theme.ResetModuleTable();
    EXPECT_EQ(moduleCount, 0);
    EXPECT_EQ(theme.themeName[0], '\0');
}

} // namespace
