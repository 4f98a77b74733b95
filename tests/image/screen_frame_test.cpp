// Frames converted for the compositor: screen pixels widened by the scale,
// rows top first, and runs of transparent and opaque pixels from the mask.
#include "base/memory_budget.h"
#include "image/screen_frame.h"
#include "support/test_frames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What a converted frame with `data` bytes of rows and runs takes: one block
// that begins with the record.
int64_t Converted(int64_t data) {
    return BlockCost(static_cast<int64_t>((sizeof(ScreenFrame) + 7) & ~size_t{7}) + data);
}

// The runs of screen row `row`.
std::vector<int> RunsOf(const ScreenFrame& s, int32_t row) {
    return std::vector<int>(s.runs + s.rowRuns[row], s.runs + s.rowRuns[row + 1]);
}

TEST(ScreenFrame, RunsAlternateFromATransparentCount) {
    // Rows top first; '.' transparent (index 0), '#' opaque.
    const std::vector<std::string> rows = {"..##.#", "######", "......", "#....#"};
    const std::vector<std::vector<int>> runs = {{2, 2, 1, 1}, {0, 6}, {6}, {0, 1, 4, 1}};
    TestFrame frame(6, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x) frame.SetPixel(x, y, rows[y][x] == '#' ? 3 : 0);
    frame.SetColor(3, 1, 2, 3);
    frame.MakeTransparent(0);
    ASSERT_TRUE(frame.Convert(2));
    const ScreenFrame& s = *frame.frame.screen;
    EXPECT_EQ(s.scale, 2);
    EXPECT_EQ(s.rowPixels, 12);
    EXPECT_FALSE(s.transparentColored);
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(RunsOf(s, y), runs[y]) << "row " << y;
    // Each pixel twice across, top row first.
    EXPECT_EQ(s.pixels[0], 0u);
    EXPECT_EQ(s.pixels[4], 0x010203u);
    EXPECT_EQ(s.pixels[5], 0x010203u);
    EXPECT_EQ(s.pixels[3 * 12 + 11], 0x010203u);
    // The largest opaque rectangle: the whole second row.
    EXPECT_EQ(s.coreLeft, 0);
    EXPECT_EQ(s.coreTop, 1);
    EXPECT_EQ(s.coreRight, 6);
    EXPECT_EQ(s.coreBottom, 2);
    // The record, 4 rows of 12 pixels, 5 row offsets and 11 counts.
    EXPECT_EQ(s.bytes, Converted(4 * 12 * 4 + 5 * 4 + 11 * 2));
    EXPECT_EQ(ScreenFrameBytes(frame.frame, 2), s.bytes);
}

TEST(ScreenFrame, TheCoreIsTheLargestOpaqueRectangle) {
    // A disc-like outline: the core is the 4 by 3 middle, not a taller
    // narrower or wider flatter one.
    const std::vector<std::string> rows = {"..##..", ".####.", "######", ".####.", "..##.."};
    TestFrame frame(6, 5);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x) frame.SetPixel(x, y, rows[y][x] == '#' ? 3 : 0);
    frame.MakeTransparent(0);
    ASSERT_TRUE(frame.Convert(1));
    const ScreenFrame& s = *frame.frame.screen;
    EXPECT_EQ(s.coreLeft, 1);
    EXPECT_EQ(s.coreTop, 1);
    EXPECT_EQ(s.coreRight, 5);
    EXPECT_EQ(s.coreBottom, 4);
}

TEST(ScreenFrame, ColouredTransparencyIsNoted) {
    TestFrame frame(3, 1);
    frame.SetPixel(1, 0, 4);
    frame.SetColor(0, 0, 0, 9);
    frame.MakeTransparent(0);
    ASSERT_TRUE(frame.Convert(1));
    EXPECT_TRUE(frame.frame.screen->transparentColored);
    EXPECT_EQ(frame.frame.screen->pixels[0], 9u); // kept, to be ORed below
}

TEST(ScreenFrame, AMaskThatMarksNothingNeedsNoRuns) {
    TestFrame frame(5, 2, 1);
    frame.MakeTransparent(0);
    ASSERT_TRUE(frame.Convert(3));
    EXPECT_EQ(frame.frame.screen->rowRuns, nullptr);
    EXPECT_EQ(frame.frame.screen->bytes, Converted(5 * 3 * 2 * 4));
    EXPECT_EQ(frame.frame.screen->coreRight, 5); // all of it hides what lies below
    EXPECT_EQ(frame.frame.screen->coreBottom, 2);
}

TEST(ScreenFrame, FramesThatCannotBeDrawnAreNotConverted) {
    TestFrame frame(4, 4);
    EXPECT_EQ(ScreenFrameBytes(frame.frame, 0), 0);
    EXPECT_EQ(ScreenFrameBytes(frame.frame, MAX_PICTURE_SCALE + 1), 0);
    EXPECT_FALSE(frame.Convert(0));
    frame.frame.pixelBytes = 15; // shorter than its rows
    EXPECT_FALSE(frame.Convert(1));
    EXPECT_EQ(frame.frame.screen, nullptr);
}

} // namespace
