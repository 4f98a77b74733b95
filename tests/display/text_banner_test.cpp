#include "display_fixture.h"

#include <cstring>
#include <string>

namespace {

using Banners = DisplayTest;

// Pixels inside `r` that differ from `background`, and the number of pixels
// exactly in `color`.
struct Ink {
    int changed = 0;
    int exact = 0;
};
Ink CountInk(const HeadlessPicture& screen, const ViewRect& r, uint32_t background,
             uint32_t color) {
    Ink ink;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) {
            uint32_t p = screen.Pixel(x, y);
            if (p != background) ++ink.changed;
            if (p == color) ++ink.exact;
        }
    }
    return ink;
}

TEST_F(Banners, TextColourFollowsTheBackgroundWeight) {
    struct Case {
        uint32_t background;
        uint32_t expected;
    } cases[] = {
        {MakeColorRef(255, 255, 255), 0},    // weight 2550
        {MakeColorRef(200, 200, 0), 0x7878}, // exactly 1800
        {MakeColorRef(201, 200, 0), 0},      // 1803
        {MakeColorRef(0, 0, 255), 0x7878},   // 255
        {MakeColorRef(0, 0, 0), 0x7878},
    };
    for (const Case& c : cases) {
        view.Reset();
        Open(200, 100, c.background);
        view.SetBanner(0, 10, 10, "Aquarium");
        EXPECT_EQ(view.banners[0].color, c.expected) << std::hex << c.background;
    }
    // With a background image the colour is always RGB(120, 120, 0).
    view.Reset();
    Open(200, 100, MakeColorRef(255, 255, 255));
    TestFrame tile(4, 4);
    view.SetBackgroundImage(&tile.frame);
    view.SetBanner(1, 10, 10, "Aquarium");
    EXPECT_EQ(view.banners[1].color, 0x7878u);
}

TEST_F(Banners, FontIsThirteenPixelsHighForSizeEight) {
    Open(800, 600);
    view.SetBanner(0, 618, 584, "Glimmora");
    ASSERT_NE(view.banners[0].font, nullptr);
    EXPECT_EQ(view.banners[0].textHeight, 13);
    EXPECT_GT(view.banners[0].textWidth, 30);
    EXPECT_LT(view.banners[0].textWidth, 80);
}

TEST_F(Banners, LongTextIsCutTo128Characters) {
    Open(800, 600);
    std::string text(200, 'x');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    view.SetBanner(0, 0, 0, text.c_str());
    EXPECT_EQ(std::strlen(view.banners[0].text), 128u);
    EXPECT_EQ(std::string(view.banners[0].text), text.substr(0, 128));
    // The cut keeps whole UTF-8 characters: 127 letters and no half "é".
    text = std::string(127, 'x') + "\xC3\xA9" + "tail";
    view.SetBanner(0, 0, 0, text.c_str());
    EXPECT_EQ(std::string(view.banners[0].text), std::string(127, 'x'));
}

TEST_F(Banners, PositionIsScaledFromTheDesignSpace) {
    Open(1024, 768);
    view.SetBanner(0, 618, 584, "Glimmora");
    EXPECT_EQ(view.banners[0].x, 789);
    EXPECT_EQ(view.banners[0].y, 745);
}

TEST_F(Banners, ShownTextIsDrawnInItsColourOverSprites) {
    Open(300, 100, MakeColorRef(255, 255, 255));
    TestFrame frame(120, 40, 1);
    frame.SetColor(1, 255, 255, 255);
    view.slots[view.AllocSlot()].Place(view, 0, 0, &frame.frame, true);
    view.SetBanner(0, 4, 4, "Glimmora banner");
    Paint();
    const TextBanner& b = view.banners[0];
    ViewRect r = b.Bounds();
    EXPECT_EQ(r.left, 4 * view.xScale / 256);
    Ink ink = CountInk(screen, r, Rgb(255, 255, 255), 0);
    EXPECT_GT(ink.changed, 40);
    EXPECT_GT(ink.exact, 5); // fully covered pixels show the colour itself
    // Nothing outside the text's cell.
    Ink outside = CountInk(screen, {0, r.bottom, 300, 100}, Rgb(255, 255, 255), 0);
    EXPECT_EQ(outside.changed, 0);
}

TEST_F(Banners, ChangesInvalidateTheOldAndNewTextRectangles) {
    Open(800, 600);
    view.SetBanner(1, 4, 584, "Aquarium");
    ViewRect first = view.banners[1].Bounds();
    EXPECT_TRUE(view.updateRegion.Contains(first.left, first.top));
    Paint();
    // The same text at the same place is invalidated and redrawn again.
    view.SetBanner(1, 4, 584, "Aquarium");
    EXPECT_TRUE(view.updateRegion.Contains(first.left, first.top));
    EXPECT_TRUE(view.updateRegion.Contains(first.right - 1, first.bottom - 1));
    Paint();
    EXPECT_EQ(lastPresent.left, first.left);
    // Moving it invalidates both places.
    view.SetBanner(1, 100, 100, "Aquarium");
    ViewRect second = view.banners[1].Bounds();
    EXPECT_TRUE(view.updateRegion.Contains(first.left, first.top));
    EXPECT_TRUE(view.updateRegion.Contains(second.left, second.top));
    Paint();
    Ink gone = CountInk(screen, first, 0, 0x787800);
    EXPECT_EQ(gone.changed, 0);
    EXPECT_GT(CountInk(screen, second, 0, Rgb(120, 120, 0)).changed, 10);
}

TEST_F(Banners, EmptyTextRemovesTheBannerAndItsFont) {
    Open(800, 600);
    view.SetBanner(0, 10, 10, "Aquarium");
    Paint();
    ViewRect r = view.banners[0].Bounds();
    EXPECT_GT(CountInk(screen, r, 0, 0).changed, 10);
    view.SetBanner(0, 10, 10, "");
    EXPECT_EQ(view.banners[0].font, nullptr);
    EXPECT_EQ(view.banners[0].text[0], '\0');
    EXPECT_TRUE(view.updateRegion.Contains(r.left, r.top));
    Paint();
    EXPECT_EQ(CountInk(screen, r, 0, 0).changed, 0);
    view.SetBanner(0, 10, 10, nullptr); // already empty: nothing happens
    EXPECT_FALSE(view.NeedsPaint());
    view.SetBanner(2, 10, 10, "no such banner");
    view.SetBanner(-1, 10, 10, "no such banner");
    EXPECT_FALSE(view.NeedsPaint());
}

TEST_F(Banners, TextOutsideTheWindowLeavesNothingVisible) {
    Open(800, 600);
    view.SetBanner(0, -50, 0, " ");
    view.SetBanner(1, -50, 0, " ");
    Paint();
    for (uint32_t p : screen.pixels) ASSERT_EQ(p, 0u);
    view.SetBanner(0, -50, 0, "Long enough to reach into the window");
    Paint();
    EXPECT_GT(CountInk(screen, {0, 0, 200, 20}, 0, 0).changed, 0);
}

#ifndef _WIN32 // the fonts' folder is the FreeType fonts'
TEST_F(Banners, MissingFontFallsBackToTheDefaultFont) {
    fonts.SetFontDirectory("/nonexistent");
    Open(400, 100);
    view.SetBanner(0, 0, 0, "Text");
    EXPECT_EQ(view.banners[0].font, nullptr);
    EXPECT_EQ(view.banners[0].textWidth, 0); // no font at all: nothing to draw
    Paint();
    fonts.SetFontDirectory(nullptr);
}
#endif

TEST_F(Banners, BannersWithoutAWindowChangeNothingOnScreen) {
    view.SetSize(800, 600);
    view.SetBanner(0, 618, 584, "Glimmora");
    EXPECT_EQ(view.banners[0].x, 618);
    EXPECT_FALSE(view.NeedsPaint());
}

} // namespace
