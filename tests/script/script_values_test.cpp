#include "script/script_values.h"
#include "script/theme_records.h"
#include "script_fixture.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class ScriptValuesTest : public ScriptTest {
  protected:
    void SetUp() override {
        ResetScript();
        moduleCount = 1;
        theme.currentModule = &moduleTable[0];
    }

    void SetParam(int slot, const char* name, int32_t value) {
        std::snprintf(moduleTable[0].params[slot].name, PARAM_NAME_LEN + 1, "%s", name);
        moduleTable[0].params[slot].value = value;
    }

    // The value of `text` and how many characters it consumed (-1: none read).
    int32_t Value(const char* text, int* consumed = nullptr, int32_t initial = -12345) {
        int32_t v = initial;
        const char* end = ParseValue(script, v, text);
        if (consumed) *consumed = end ? static_cast<int>(end - text) : -1;
        return v;
    }

    int32_t Coordinate(const char* text, bool horizontal, int* consumed = nullptr) {
        int32_t code = -777;
        const char* cursor = text;
        ParseCoordinate(script, code, &cursor, horizontal);
        if (consumed) *consumed = static_cast<int>(cursor - text);
        return code;
    }
};

TEST_F(ScriptValuesTest, IntegersAndSeparators) {
    int used;
    EXPECT_EQ(Value("  42,", &used), 42);
    EXPECT_EQ(used, 4);
    EXPECT_EQ(Value("(=-17)", &used), -17);
    EXPECT_EQ(used, 5);
    EXPECT_EQ(Value("-", &used), 0);
    EXPECT_EQ(used, 1);
    EXPECT_EQ(Value("", &used), -12345); // nothing read, value unchanged
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value(" ,( )\n", &used), -12345);
    EXPECT_EQ(used, -1);
}

TEST_F(ScriptValuesTest, ScalingByAPercentage) {
    SetParam(0, "Speed", 80);
    EXPECT_EQ(Value("50*#Speed"), 40);
    EXPECT_EQ(Value("#Speed"), 80);
    EXPECT_EQ(Value("-7*3"), 0); // -21 / 100 truncates toward zero
    EXPECT_EQ(Value("-250*10"), -25);
    EXPECT_EQ(Value("200*-150"), -300);
    int used;
    EXPECT_EQ(Value("30*", &used), 30); // a missing scale leaves the number as written
    EXPECT_EQ(used, 3);
}

TEST_F(ScriptValuesTest, ReferencesMatchTheFirstParameterThatPrefixesTheText) {
    SetParam(0, "Size", 5);
    SetParam(1, "SizeMax", 9);
    SetParam(2, "Other", 3);
    int used;
    EXPECT_EQ(Value("#SizeMax, 1", &used), 5);
    EXPECT_EQ(used, 5); // reading stops before "Max"
    EXPECT_EQ(Value("#sIZE"), 5);
    EXPECT_EQ(Value("#other"), 3);
    EXPECT_EQ(Value("#Nothing", &used), 0);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value("#Speed*50"), 0); // no match
}

TEST_F(ScriptValuesTest, UnnamedSlotMatchesAnyReference) {
    SetParam(0, "Speed", 80);
    moduleTable[0].params[1].value = 0;
    int used;
    EXPECT_EQ(Value("#Sped", &used), 0);
    EXPECT_EQ(used, 1); // the unnamed slot consumes no name
    moduleTable[0].params[1].value = 7;
    EXPECT_EQ(Value("#Anything"), 7);
}

TEST_F(ScriptValuesTest, ReferenceWithoutAModuleReadsZero) {
    theme.currentModule = nullptr;
    int used;
    EXPECT_EQ(Value("#Speed", &used), 0);
    EXPECT_EQ(used, -1);
}

TEST_F(ScriptValuesTest, NoScalingFollowsAReference) {
    SetParam(0, "Speed", 80);
    int used;
    EXPECT_EQ(Value("#Speed*50", &used), 80);
    EXPECT_EQ(used, 6);
}

TEST_F(ScriptValuesTest, BalanceWeights) {
    SetParam(0, "Mix", 30);
    EXPECT_EQ(Value("BalanceA(#Mix)"), 100);
    EXPECT_EQ(Value("BalanceB(#Mix)"), 60);
    EXPECT_EQ(Value("Balanceb(#Mix)"), 60);
    moduleTable[0].params[0].value = 75;
    EXPECT_EQ(Value("BalanceA(#Mix)"), 50);
    EXPECT_EQ(Value("BalanceB(#Mix)"), 100);
    EXPECT_EQ(Value("BallanceA(#Mix)"), 50);
    EXPECT_EQ(Value("ballanceb(#Mix)"), 100);
    moduleTable[0].params[0].value = 50;
    EXPECT_EQ(Value("BalanceA(#Mix)"), 100);
    EXPECT_EQ(Value("BalanceB(#Mix)"), 100);
    moduleTable[0].params[0].value = 100;
    EXPECT_EQ(Value("BalanceA(#Mix)"), 0);
    EXPECT_EQ(Value("BalanceB(#Mix)"), 100);
}

TEST_F(ScriptValuesTest, BalanceRangeForm) {
    SetParam(0, "Mix", 40);
    int used;
    const char* text = "BalanceA(#Mix,10,20) tail";
    EXPECT_EQ(Value(text, &used), 2000);
    EXPECT_EQ(std::string(text + used), ") tail");
    moduleTable[0].params[0].value = 75;
    EXPECT_EQ(Value("BalanceA(#Mix,10,20)"), 1500);
    EXPECT_EQ(Value("BallanceA(#Mix,10,20)"), 1500);
    moduleTable[0].params[0].value = 100;
    EXPECT_EQ(Value("BalanceA(#Mix,10,20)"), 1000);
    // Side B mirrors the position.
    moduleTable[0].params[0].value = 25;
    EXPECT_EQ(Value("BalanceB(#Mix,10,20)"), 1500);
}

TEST_F(ScriptValuesTest, BalanceWithoutASideLetterWeighsSideA) {
    SetParam(0, "Mix", 75);
    EXPECT_EQ(Value("Balance(#Mix)"), 50);
    EXPECT_EQ(Value("Ballance(#Mix,10,20)"), 1500);
}

TEST_F(ScriptValuesTest, MalformedBalanceStaysInsideTheText) {
    int used;
    EXPECT_EQ(Value("Balance", &used), -12345);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value("BalanceA", &used), -12345);
    EXPECT_EQ(Value("BalanceA(", &used), -12345);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value("BalanceA(60,", &used), -12345);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value("BalanceA(60,5", &used), -12345);
    EXPECT_EQ(used, -1);
    EXPECT_EQ(Value("BalanceA(60,5,", &used), -12345);
    EXPECT_EQ(used, -1);
}

TEST_F(ScriptValuesTest, ExtremeNumbersDoNotOverflow) {
    EXPECT_EQ(Value("4294967296"), 0); // wraps like 32-bit arithmetic
    EXPECT_EQ(Value("2147483647*200"), static_cast<int32_t>(4294967294LL));
    EXPECT_EQ(Value("-2147483648*-100"), INT32_MIN);
    SetParam(0, "Mix", INT32_MAX);
    Value("BalanceA(#Mix,-2147483648,2147483647)");
    Value("BalanceB(#Mix,-2147483648,2147483647)");
    moduleTable[0].params[0].value = INT32_MIN;
    Value("BalanceA(#Mix,-2147483648,2147483647)");
    Value("BalanceB(#Mix,-2147483648,2147483647)");
}

TEST_F(ScriptValuesTest, AnOtherWordLeavesTheValueUnchanged) {
    int used;
    const char* text = "  Fish 12";
    EXPECT_EQ(Value(text, &used), -12345);
    EXPECT_EQ(used, 2); // the word's start
}

TEST_F(ScriptValuesTest, RandomCoordinates) {
    EXPECT_EQ(Coordinate("Random", true), RANDOM_CODE);
    int used;
    EXPECT_EQ(Coordinate("Random(100,20), 5", true, &used), RANDOM_CODE + (100 << 14) + 20);
    EXPECT_EQ(used, 14);
    EXPECT_EQ(Coordinate("random( 100 , 20 )", true), RANDOM_CODE + (100 << 14) + 20);
    // Both arguments are masked to 14 bits.
    EXPECT_EQ(Coordinate("Random(-1,16385)", true), RANDOM_CODE + (0x3FFF << 14) + 1);
    // A spread belongs to its own parentheses.
    EXPECT_EQ(Coordinate("Random(100), 20", true, &used), RANDOM_CODE + (100 << 14));
    EXPECT_EQ(used, 11);
    EXPECT_EQ(Coordinate("Random(), 20", true, &used), RANDOM_CODE);
    EXPECT_EQ(used, 8);
    EXPECT_EQ(Coordinate("Random(7,", true, &used), RANDOM_CODE + (7 << 14));
    EXPECT_EQ(used, 9);
}

TEST_F(ScriptValuesTest, EdgeAndCentreCoordinates) {
    int used;
    EXPECT_EQ(Coordinate("Right", true, &used), FAR_EDGE_CODE);
    EXPECT_EQ(used, 0); // not advanced
    EXPECT_EQ(Coordinate("Right", false), FAR_EDGE_CODE);
    EXPECT_EQ(Coordinate("bottom", true), FAR_EDGE_CODE);
    EXPECT_EQ(Coordinate(" Center,", false, &used), CENTER_CODE);
    EXPECT_EQ(used, 7);
}

TEST_F(ScriptValuesTest, PixelPrefixUsesTheViewScale) {
    EXPECT_EQ(Coordinate("a100", true), 1600);
    script.pixelScaleX = 1024 * 256 / 800; // a 1024 x 768 window
    script.pixelScaleY = 768 * 256 / 600;
    EXPECT_EQ(Coordinate("a100", true), 1252);
    EXPECT_EQ(Coordinate("a100", false), 100 * 4096 / (768 * 256 / 600));
    // An upper-case "A" is no prefix: the word is no value.
    EXPECT_EQ(Coordinate("A100", true), 0);
}

TEST_F(ScriptValuesTest, PixelPrefixWithoutAViewScale) {
    script.pixelScaleX = script.pixelScaleY = 0;
    EXPECT_EQ(Coordinate("a100", true), 1600);
    EXPECT_EQ(Coordinate("a100", false), 1600);
}

TEST_F(ScriptValuesTest, PlainCoordinatesAreSixteenths) {
    EXPECT_EQ(Coordinate("30", true), 480);
    EXPECT_EQ(Coordinate("-10", false), -160);
    EXPECT_EQ(Coordinate("Fish", true), 0);
    EXPECT_EQ(Coordinate("", true), 0);
    SetParam(0, "X", 25);
    EXPECT_EQ(Coordinate("#X", true), 400);
}

TEST_F(ScriptValuesTest, Positions) {
    int32_t x = 0;
    int32_t y = 0;
    const char* cursor = "Center, Bottom\n";
    ParsePosition(script, x, y, &cursor);
    EXPECT_EQ(x, CENTER_CODE);
    EXPECT_EQ(y, FAR_EDGE_CODE);

    cursor = "Random(400,100),Random";
    ParsePosition(script, x, y, &cursor);
    EXPECT_EQ(x, RANDOM_CODE + (400 << 14) + 100);
    EXPECT_EQ(y, RANDOM_CODE);

    cursor = "10, 20 rest";
    ParsePosition(script, x, y, &cursor);
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 320);
    EXPECT_STREQ(cursor, " rest");

    cursor = "10";
    ParsePosition(script, x, y, &cursor);
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(*cursor, '\0');
}

TEST_F(ScriptValuesTest, PlainIntegers) {
    int32_t v = 99;
    const char* end = ParseInteger(v, "  -15)");
    EXPECT_EQ(v, -15);
    EXPECT_STREQ(end, ")");
    ParseInteger(v, "+8");
    EXPECT_EQ(v, 8);
    ParseInteger(v, "#Speed");
    EXPECT_EQ(v, 0); // no references
    ParseInteger(v, "50*2");
    EXPECT_EQ(v, 50); // no scaling
    ParseInteger(v, "");
    EXPECT_EQ(v, 0);
}

} // namespace
