#include "display_fixture.h"
#include "support/test_files.h"

#include <string>
#include <vector>

namespace {

using View = DisplayTest;

TEST_F(View, ScalesFollowTheWindowSize) {
    struct Case {
        int32_t width, height, xScale, yScale;
    } cases[] = {
        {800, 600, 256, 256}, {1024, 768, 327, 327}, {152, 112, 48, 47}, {1920, 1080, 614, 460}};
    for (const Case& c : cases) {
        view.SetSize(c.width, c.height);
        EXPECT_EQ(view.screenWidth, c.width);
        EXPECT_EQ(view.screenHeight, c.height);
        EXPECT_EQ(view.xScale, c.xScale);
        EXPECT_EQ(view.yScale, c.yScale);
    }
    // Init takes the window's own size.
    view.SetSize(1024, 768);
    ASSERT_EQ(view.Init(TestWindow(), 152, 112), 1);
    EXPECT_EQ(view.xScale, 48);
    EXPECT_EQ(view.yScale, 47);
    EXPECT_EQ(view.bufferWidth, 152);
    EXPECT_EQ(view.bufferHeight, 112);
    EXPECT_EQ(view.screenWidth, 1024);
}

TEST_F(View, StartsWithFreeSlotsAndEmptyBanners) {
    for (const SpriteSlot& slot : view.slots) {
        EXPECT_EQ(slot.x, FREE_SLOT_X);
        EXPECT_EQ(slot.frame, nullptr);
    }
    for (const TextBanner& banner : view.banners) {
        EXPECT_EQ(banner.text[0], '\0');
        EXPECT_EQ(banner.font, nullptr);
    }
    EXPECT_FALSE(view.isPaletteDevice);
    EXPECT_EQ(view.backBuffer, nullptr);
}

TEST_F(View, InitFailureShowsTheMessageOnce) {
    view.SetSize(100000, 100000);
    EXPECT_EQ(view.Init(TestWindow()), 0);
    ASSERT_EQ(log.texts.size(), 1u);
    EXPECT_EQ(log.texts[0], "CSSView::Init() : Out of memory (IB)");
    EXPECT_EQ(view.backBuffer, nullptr);
    Paint(); // nothing to paint into, nothing happens
    EXPECT_EQ(presentCount, 0);
    EXPECT_EQ(view.Init(TestWindow(), 0, 600), 0);
    EXPECT_EQ(log.texts.size(), 2u);
}

TEST_F(View, FirstPaintFillsTheWholeWindow) {
    view.SetSize(64, 48);
    ASSERT_EQ(view.Init(TestWindow()), 1);
    view.SetBackgroundColor(MakeColorRef(10, 20, 30));
    EXPECT_TRUE(view.NeedsPaint());
    Paint();
    EXPECT_FALSE(view.NeedsPaint());
    ASSERT_EQ(presentCount, 1);
    HeadlessRect r = lastPresent;
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 64);
    EXPECT_EQ(r.bottom, 48);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(Screen(x, y), Rgb(10, 20, 30));
    Paint(); // nothing invalid: nothing presented
    EXPECT_EQ(presentCount, 1);
}

TEST_F(View, OnlyTheInvalidAreaIsRedrawn) {
    Open(64, 48, MakeColorRef(0, 0, 0));
    // Neither background call invalidates; only the invalidated rectangles
    // take the new colour.
    view.SetBackgroundColor(MakeColorRef(255, 0, 0));
    view.Invalidate({2, 3, 6, 5});
    view.Invalidate({40, 30, 42, 47});
    // A pixel between the rectangles, changed behind the view's back: only the
    // region's own rectangles are presented, not their bounding box.
    view.backBuffer[20 * 64 + 20] = Rgb(0, 255, 0);
    Paint();
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            bool invalid =
                (x >= 2 && x < 6 && y >= 3 && y < 5) || (x >= 40 && x < 42 && y >= 30 && y < 47);
            if (x == 20 && y == 20) continue;
            ASSERT_EQ(Back(x, y), invalid ? Rgb(255, 0, 0) : Rgb(0, 0, 0)) << x << "," << y;
            ASSERT_EQ(Screen(x, y), Back(x, y));
        }
    }
    EXPECT_EQ(Screen(20, 20), Rgb(0, 0, 0));
    // One picture, whose bounding rectangle is the region's.
    EXPECT_EQ(presentCount, 2);
    HeadlessRect r = lastPresent;
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right, 42);
    EXPECT_EQ(r.bottom, 47);
}

TEST_F(View, InvalidationIsCutAtTheWindowEdges) {
    Open(32, 32);
    view.Invalidate({-10, -10, 5, 5});
    view.Invalidate({30, 30, 100, 100});
    view.Invalidate({50, 0, 60, 10}); // wholly outside
    ViewRect b = view.updateRegion.Bounds();
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, 32);
    EXPECT_EQ(b.bottom, 32);
    EXPECT_EQ(view.updateRegion.Count(), 2);
}

TEST_F(View, BackgroundImageIsTiledFromTheTopLeftAndCut) {
    // A 5 x 3 tile whose pixel value encodes its position.
    TestFrame tile(5, 3);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            uint8_t index = static_cast<uint8_t>(y * 5 + x);
            tile.SetPixel(x, y, index);
            tile.SetColor(index, static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 70), 9);
        }
    }
    tile.SetOffset(2, 2); // the offset plays no part in tiling
    view.SetSize(23, 11);
    ASSERT_EQ(view.Init(TestWindow()), 1);
    view.SetBackgroundImage(&tile.frame);
    Paint();
    for (int32_t y = 0; y < 11; ++y)
        for (int32_t x = 0; x < 23; ++x)
            ASSERT_EQ(Screen(x, y), Rgb((x % 5) * 40, (y % 3) * 70, 9)) << x << "," << y;
    // SetBackgroundColor drops the image; SetBackgroundImage keeps the colour.
    view.SetBackgroundColor(MakeColorRef(1, 2, 3));
    EXPECT_EQ(view.backgroundImage, nullptr);
    view.SetBackgroundImage(&tile.frame);
    EXPECT_EQ(view.backgroundColor, MakeColorRef(1, 2, 3));
}

TEST_F(View, PartialRepaintOfATiledBackgroundMatchesTheWhole) {
    TestFrame tile(7, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 7; ++x) tile.SetPixel(x, y, static_cast<uint8_t>(y * 7 + x));
    for (int i = 0; i < 28; ++i) tile.SetColor(i, static_cast<uint8_t>(i * 9), 0, 0);
    Open(40, 30);
    view.SetBackgroundImage(&tile.frame);
    view.Invalidate({3, 5, 19, 6});
    view.Invalidate({11, 13, 12, 29});
    Paint();
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            bool invalid = (y == 5 && x >= 3 && x < 19) || (x == 11 && y >= 13 && y < 29);
            uint32_t expected = invalid ? Rgb(((y % 4) * 7 + x % 7) * 9, 0, 0) : 0;
            ASSERT_EQ(Back(x, y), expected) << x << "," << y;
        }
    }
}

// The tile is drawn from a copy in screen pixels: changed colours (a fade of
// the background) and another tile must show at the next paint.
TEST_F(View, TiledBackgroundFollowsItsColoursAndTile) {
    TestFrame small(2, 2);
    small.SetPixel(1, 0, 1);
    small.SetColor(0, 10, 0, 0);
    small.SetColor(1, 20, 0, 0);
    Open(8, 6);
    view.SetBackgroundImage(&small.frame);
    view.InvalidateAll();
    Paint();
    EXPECT_EQ(Screen(3, 2), Rgb(20, 0, 0));
    small.SetColor(1, 0, 200, 0);
    view.InvalidateAll();
    Paint();
    EXPECT_EQ(Screen(3, 2), Rgb(0, 200, 0));
    EXPECT_EQ(Screen(2, 2), Rgb(10, 0, 0));
    TestFrame large(3, 3);
    large.SetPixel(2, 2, 1);
    large.SetColor(1, 0, 0, 99);
    view.SetBackgroundImage(&large.frame);
    view.InvalidateAll();
    Paint();
    EXPECT_EQ(Screen(5, 5), Rgb(0, 0, 99));
    EXPECT_EQ(Screen(4, 4), Rgb(0, 0, 0));
}

} // namespace

namespace {

TEST_F(View, PaletteIsKeptAsData) {
    TempDir dir;
    std::vector<unsigned char> bytes = {0x00, 0x03, 0x00, 0x01};
    for (int i = 0; i < 256; ++i) {
        bytes.push_back(static_cast<unsigned char>(i));
        bytes.push_back(static_cast<unsigned char>(255 - i));
        bytes.push_back(7);
        bytes.push_back(0);
    }
    std::string path = dir.WriteBytes("256COL03.PAL", bytes);
    EXPECT_FALSE(view.hasPalette);
    EXPECT_EQ(view.LoadPalette(path.c_str()), 1);
    EXPECT_TRUE(view.hasPalette);
    EXPECT_FALSE(view.isPaletteDevice);
    EXPECT_EQ(view.palette.version, 0x0300);
    EXPECT_EQ(view.palette.count, 256);
    EXPECT_EQ(view.palette.entries[200].red, 200);
    EXPECT_EQ(view.palette.entries[200].green, 55);
    // Without a file the default cube replaces it.
    EXPECT_EQ(view.LoadPalette(dir.File("256COL04.PAL").c_str()), 0);
    EXPECT_EQ(view.palette.count, 216);
    EXPECT_EQ(view.palette.entries[1].blue, 51);
    EXPECT_EQ(view.palette.entries[36].red, 51);
}

} // namespace

namespace {

TEST_F(View, ClosingTheWindowDropsTheBackBufferOnly) {
    Open(40, 30);
    TestFrame frame(4, 4);
    int slot = view.AllocSlot();
    view.slots[slot].Place(view, 16, 16, &frame.frame, true);
    view.Close();
    EXPECT_EQ(view.window, nullptr);
    EXPECT_EQ(view.backBuffer, nullptr);
    EXPECT_FALSE(view.NeedsPaint());
    EXPECT_EQ(view.slots[slot].frame, &frame.frame);
    Paint(); // no window: nothing to do
    view.slots[slot].Remove(view);
    ASSERT_EQ(view.Init(TestWindow(), 40, 30), 1);
    EXPECT_TRUE(view.NeedsPaint());
}

} // namespace
