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

} // namespace
