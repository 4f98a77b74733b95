#include "display_fixture.h"

namespace {

using Slots = DisplayTest;

TEST_F(Slots, AllocSlotHandsOutOneHundredThenFails) {
    for (int i = 0; i < MAX_SLOTS; ++i) {
        ASSERT_EQ(view.AllocSlot(), i);
        EXPECT_EQ(view.slots[i].x, 0); // reserved
        EXPECT_EQ(view.slots[i].frame, nullptr);
    }
    EXPECT_EQ(view.AllocSlot(), -1);
    EXPECT_EQ(view.AllocSlot(), -1);
}

TEST_F(Slots, RemovedSlotsAreNotHandedOutAgain) {
    TestFrame frame(4, 4);
    int a = view.AllocSlot();
    view.slots[a].Place(view, 0, 0, &frame.frame, true);
    view.slots[a].Remove(view);
    EXPECT_EQ(view.AllocSlot(), a + 1);
}

struct PlaceCase {
    int32_t width, height;
    int32_t px, py;
    bool absolute;
    int32_t expectX, expectY;
};

TEST_F(Slots, PositionsAreScaledToTheWindowAndKeepTheFrameOffset) {
    const PlaceCase cases[] = {
        {800, 600, 400 * 16, 300 * 16, false, 410, 305},
        {1024, 768, 400 * 16, 300 * 16, false, 520, 388},
        {152, 112, 400 * 16, 300 * 16, false, 85, 60}, // 1200 / 16 = 75, 881 / 16 = 55
        {1024, 768, 100 * 16, 50 * 16, true, 110, 55},
        {152, 112, 100 * 16, 50 * 16, true, 110, 55},
        {800, 600, -24, -24, false, 9, 4},  // -1.5 pixels truncates to -1
        {1024, 768, -24, -40, false, 9, 4}, // -30 / 16 = -1, -51 / 16 = -3 ... see below
    };
    for (const PlaceCase& c : cases) {
        view.Reset();
        view.SetSize(c.width, c.height);
        TestFrame frame(8, 8);
        frame.SetOffset(10, 5);
        int slot = view.AllocSlot();
        view.slots[slot].Place(view, c.px, c.py, &frame.frame, c.absolute);
        if (c.width == 1024 && c.px == -24) {
            // -24 * 327 / 256 = -30, -30 / 16 = -1; -40 * 327 / 256 = -51, -51 / 16 = -3.
            EXPECT_EQ(view.slots[slot].x, -1 + 10);
            EXPECT_EQ(view.slots[slot].y, -3 + 5);
            continue;
        }
        EXPECT_EQ(view.slots[slot].x, c.expectX) << c.width << " " << c.px;
        EXPECT_EQ(view.slots[slot].y, c.expectY) << c.width << " " << c.py;
        EXPECT_EQ(view.slots[slot].frame, &frame.frame);
    }
}

TEST_F(Slots, ExtremePositionsStayInRange) {
    view.SetSize(16384, 16384);
    TestFrame frame(8, 8);
    frame.SetOffset(1000000, -1000000);
    int slot = view.AllocSlot();
    view.slots[slot].Place(view, INT32_MAX, INT32_MIN, &frame.frame, false);
    EXPECT_GT(view.slots[slot].x, 0);
    EXPECT_LT(view.slots[slot].y, 0);
}

TEST_F(Slots, PlacingWithoutAFrameEmptiesTheSlot) {
    Open(32, 32);
    TestFrame frame(4, 4);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 16, 16, &frame.frame, true);
    Paint();
    slot.Place(view, 32, 32, nullptr, true);
    EXPECT_EQ(slot.frame, nullptr);
    EXPECT_TRUE(view.NeedsPaint());
}

TEST_F(Slots, MovingInvalidatesTheOldAndTheNewRectangle) {
    Open(100, 100);
    TestFrame frame(10, 6);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 20 * 16, 30 * 16, &frame.frame, true);
    Paint();
    slot.Place(view, 50 * 16, 60 * 16, &frame.frame, true);
    const UpdateRegion& region = view.updateRegion;
    EXPECT_TRUE(region.Contains(20, 30));
    EXPECT_TRUE(region.Contains(29, 35));
    EXPECT_FALSE(region.Contains(30, 30));
    EXPECT_TRUE(region.Contains(50, 60));
    EXPECT_TRUE(region.Contains(59, 65));
    EXPECT_FALSE(region.Contains(40, 40));
    EXPECT_EQ(region.Count(), 2);
}

TEST_F(Slots, AFrameChangeInvalidatesBothFramesRectangles) {
    Open(100, 100);
    TestFrame small(4, 4), wide(20, 2);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 10 * 16, 10 * 16, &small.frame, true);
    Paint();
    slot.Place(view, 10 * 16, 10 * 16, &wide.frame, true);
    EXPECT_TRUE(view.updateRegion.Contains(10, 13));  // only the small frame
    EXPECT_TRUE(view.updateRegion.Contains(29, 11));  // only the wide frame
    EXPECT_FALSE(view.updateRegion.Contains(29, 13)); // neither
}

TEST_F(Slots, WithoutAWindowNothingIsInvalidated) {
    Open(100, 100);
    view.window = nullptr;
    TestFrame frame(4, 4);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 10 * 16, 10 * 16, &frame.frame, true);
    EXPECT_FALSE(view.NeedsPaint());
    EXPECT_EQ(slot.x, 10);
    slot.Remove(view);
    EXPECT_EQ(slot.frame, nullptr);
    EXPECT_FALSE(view.NeedsPaint());
}

TEST_F(Slots, RemovingInvalidatesOnceAndKeepsThePosition) {
    Open(100, 100);
    TestFrame frame(4, 4);
    frame.SetColor(1, 255, 255, 255);
    frame.FillRect(0, 0, 4, 4, 1);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 10 * 16, 10 * 16, &frame.frame, true);
    Paint();
    EXPECT_EQ(Screen(11, 11), Rgb(255, 255, 255));
    slot.Remove(view);
    EXPECT_EQ(slot.x, 10);
    EXPECT_TRUE(view.updateRegion.Contains(13, 13));
    Paint();
    EXPECT_EQ(Screen(11, 11), 0u);
    slot.Remove(view); // an empty slot: nothing to do
    EXPECT_FALSE(view.NeedsPaint());
}

TEST_F(Slots, RowsAreDrawnTopDownFromBottomUpStorage) {
    Open(16, 16);
    TestFrame frame(3, 2);
    frame.SetColor(1, 10, 0, 0);
    frame.SetColor(2, 20, 0, 0);
    frame.SetColor(3, 30, 0, 0);
    frame.SetColor(4, 40, 0, 0);
    frame.SetPixel(0, 0, 1);
    frame.SetPixel(2, 0, 2);
    frame.SetPixel(0, 1, 3);
    frame.SetPixel(2, 1, 4);
    view.slots[view.AllocSlot()].Place(view, 5 * 16, 7 * 16, &frame.frame, true);
    Paint();
    EXPECT_EQ(Screen(5, 7), Rgb(10, 0, 0));
    EXPECT_EQ(Screen(7, 7), Rgb(20, 0, 0));
    EXPECT_EQ(Screen(5, 8), Rgb(30, 0, 0));
    EXPECT_EQ(Screen(7, 8), Rgb(40, 0, 0));
    EXPECT_EQ(Screen(6, 7), 0u); // index 0, black
    EXPECT_EQ(Screen(4, 7), 0u);
    EXPECT_EQ(Screen(8, 7), 0u);
}

TEST_F(Slots, HigherSlotsCoverLowerOnes) {
    Open(40, 40);
    TestFrame red(10, 10, 1), green(10, 10, 1);
    red.SetColor(1, 255, 0, 0);
    green.SetColor(1, 0, 255, 0);
    int low = view.AllocSlot(), high = view.AllocSlot();
    // Placed in the opposite order: the slot index decides, not the order of calls.
    view.slots[high].Place(view, 15 * 16, 15 * 16, &green.frame, true);
    view.slots[low].Place(view, 10 * 16, 10 * 16, &red.frame, true);
    Paint();
    EXPECT_EQ(Screen(12, 12), Rgb(255, 0, 0));
    EXPECT_EQ(Screen(17, 17), Rgb(0, 255, 0));
    EXPECT_EQ(Screen(22, 22), Rgb(0, 255, 0));
    EXPECT_EQ(Screen(25, 25), 0u);
}

TEST_F(Slots, TransparencyKeepsOrBrightensWhatLiesBelow) {
    Open(40, 20, MakeColorRef(0x40, 0x10, 0x01));
    // Transparent index 0: black in one frame, dark blue in the other.
    TestFrame black(6, 6, 0), tinted(6, 6, 0);
    black.SetColor(0, 0, 0, 0);
    tinted.SetColor(0, 0x01, 0x02, 0x80);
    for (TestFrame* f : {&black, &tinted}) {
        f->SetColor(5, 0xF0, 0xF0, 0x0F);
        f->FillRect(2, 2, 4, 4, 5); // an opaque centre
        f->MakeTransparent(0);
    }
    view.slots[view.AllocSlot()].Place(view, 0, 0, &black.frame, true);
    view.slots[view.AllocSlot()].Place(view, 20 * 16, 0, &tinted.frame, true);
    Paint();
    const uint32_t below = Rgb(0x40, 0x10, 0x01);
    EXPECT_EQ(Screen(0, 0), below);                          // black transparent colour: unchanged
    EXPECT_EQ(Screen(3, 3), Rgb(0xF0, 0xF0, 0x0F));          // opaque
    EXPECT_EQ(Screen(20, 0), below | Rgb(0x01, 0x02, 0x80)); // ORed in
    EXPECT_EQ(Screen(23, 3), Rgb(0xF0, 0xF0, 0x0F));
    EXPECT_EQ(Screen(26, 0), below); // beside the sprite
}

TEST_F(Slots, MaskedFramesOfOddWidthsOverTiles) {
    // Widths around the 8-pixel mask bytes, with a checkered transparency,
    // compared with the AND / OR rule pixel by pixel.
    TestFrame tile(3, 5);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 3; ++x) tile.SetPixel(x, y, static_cast<uint8_t>(y * 3 + x));
    for (int i = 0; i < 15; ++i) tile.SetColor(i, static_cast<uint8_t>(i * 16), 0x11, 0x22);
    for (int32_t width : {1, 7, 8, 9, 13, 33}) {
        view.Reset();
        screen = HeadlessPicture();
        view.SetSize(64, 24);
        ASSERT_EQ(view.Init(TestWindow()), 1);
        view.SetBackgroundImage(&tile.frame);
        TestFrame sprite(width, 9);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < width; ++x)
                sprite.SetPixel(x, y, static_cast<uint8_t>((x * 7 + y * 3) % 5));
        for (int i = 0; i < 5; ++i) sprite.SetColor(i, 0, static_cast<uint8_t>(i * 50), 0x40);
        sprite.MakeTransparent(2);
        view.slots[view.AllocSlot()].Place(view, -3 * 16, 2 * 16, &sprite.frame, true);
        Paint();
        for (int32_t y = 0; y < 24; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                int ti = (y % 5) * 3 + x % 3;
                uint32_t expected = Rgb(ti * 16, 0x11, 0x22);
                int32_t fx = x + 3, fy = y - 2;
                if (fx >= 0 && fx < width && fy >= 0 && fy < 9) {
                    int index = (fx * 7 + fy * 3) % 5;
                    uint32_t color = Rgb(0, index * 50, 0x40);
                    expected = (index == 2 ? expected : 0) | color;
                }
                ASSERT_EQ(Screen(x, y), expected) << "width " << width << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(Slots, SpritesPartlyOutsideTheWindowAreCut) {
    Open(20, 20);
    TestFrame frame(10, 10, 1);
    frame.SetColor(1, 0, 0, 255);
    view.slots[view.AllocSlot()].Place(view, -5 * 16, 15 * 16, &frame.frame, true);
    view.slots[view.AllocSlot()].Place(view, 500 * 16, -500 * 16, &frame.frame, true);
    Paint();
    EXPECT_EQ(Screen(0, 15), Rgb(0, 0, 255));
    EXPECT_EQ(Screen(4, 19), Rgb(0, 0, 255));
    EXPECT_EQ(Screen(5, 15), 0u);
}

TEST_F(Slots, OnlyTheMovedSpritesAreaChangesBetweenPaints) {
    Open(60, 40);
    TestFrame still(8, 8, 1), mover(4, 4, 1);
    still.SetColor(1, 200, 200, 200);
    mover.SetColor(1, 0, 100, 0);
    SpriteSlot& a = view.slots[view.AllocSlot()];
    SpriteSlot& b = view.slots[view.AllocSlot()];
    a.Place(view, 10 * 16, 10 * 16, &still.frame, true);
    b.Place(view, 12 * 16, 12 * 16, &mover.frame, true);
    Paint();
    std::vector<uint32_t> before = screen.pixels;
    // Change the colours behind the view's back: areas that are not
    // invalidated must keep the earlier picture.
    still.SetColor(1, 1, 1, 1);
    view.SetBackgroundColor(MakeColorRef(0, 0, 90));
    b.Place(view, 40 * 16, 30 * 16, &mover.frame, true);
    Paint();
    for (int32_t y = 0; y < 40; ++y) {
        for (int32_t x = 0; x < 60; ++x) {
            bool oldRect = x >= 12 && x < 16 && y >= 12 && y < 16;
            bool newRect = x >= 40 && x < 44 && y >= 30 && y < 34;
            uint32_t expected = before[static_cast<size_t>(y) * 60 + x];
            if (oldRect) expected = Rgb(1, 1, 1); // the still sprite shows through, recoloured
            if (newRect) expected = Rgb(0, 100, 0);
            ASSERT_EQ(Screen(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(Slots, BrokenFramesAreSkipped) {
    Open(20, 20, MakeColorRef(9, 9, 9));
    TestFrame frame(4, 4, 1);
    frame.frame.pixelBytes = 4; // rows do not fit
    view.slots[view.AllocSlot()].Place(view, 16, 16, &frame.frame, true);
    Paint();
    EXPECT_EQ(Screen(2, 2), Rgb(9, 9, 9));
}

} // namespace

namespace {

TEST_F(Slots, FramesOfImpossibleSizesAreSkipped) {
    Open(20, 20, MakeColorRef(9, 9, 9));
    TestFrame frame(4, 4, 1);
    frame.frame.width = INT32_MAX; // no GIF frame is this wide
    view.slots[view.AllocSlot()].Place(view, 16, 16, &frame.frame, true);
    frame.frame.colorInfo = nullptr;
    view.slots[view.AllocSlot()].Place(view, 16, 16, &frame.frame, true);
    Paint();
    EXPECT_EQ(Screen(2, 2), Rgb(9, 9, 9));
}

} // namespace
