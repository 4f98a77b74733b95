// The compositor on frames that the GIF loader made: row order, colour
// tables, masks and frame offsets as the loader stores them.
#include "display_fixture.h"
#include "image/gamma.h"
#include "image/image_cache.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <vector>

namespace {

class LoadedImages : public DisplayTest {
  protected:
    void TearDown() override {
        image.Release();
        view.Reset();
    }
    CImage image;
    TempDir dir;
};

TEST_F(LoadedImages, AnimationFramesLandWithTheirOffsetsAndMasks) {
    // Colour 0 black, 5 a dark teal, 9 orange, 12 white.
    std::vector<uint8_t> rgb(768, 0);
    auto set = [&](int i, uint8_t r, uint8_t g, uint8_t b) {
        rgb[i * 3] = r;
        rgb[i * 3 + 1] = g;
        rgb[i * 3 + 2] = b;
    };
    set(5, 0x00, 0x30, 0x30);
    set(9, 0xF0, 0x80, 0x00);
    set(12, 0xFF, 0xFF, 0xFF);
    // Frame 0: 20 x 10, transparent index 5 in its top left 3 x 3 corner.
    GifImage first;
    first.width = 20;
    first.height = 10;
    first.indices.assign(200, 9);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) first.indices[y * 20 + x] = 5;
    first.indices[9 * 20 + 19] = 12; // bottom right pixel
    // Frame 1: 6 x 4 at (4, 2), transparent black border.
    GifImage second;
    second.left = 4;
    second.top = 2;
    second.width = 6;
    second.height = 4;
    second.indices.assign(24, 0);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 5; ++x) second.indices[y * 6 + x] = 12;
    GifBuilder gif(20, 10);
    gif.ColorTable(rgb)
        .Netscape(0)
        .Control(10, 5)
        .Image(first)
        .Control(10, 0)
        .Image(second)
        .Trailer();
    std::string path = dir.WriteBytes("fish.gif", gif.Bytes());
    ASSERT_EQ(image.LoadImage(path.c_str(), images), 1);
    ASSERT_NE(image.next, nullptr);
    CImage* frame1 = image.next;

    Open(800, 600, MakeColorRef(0x10, 0x20, 0x40));
    const uint32_t below = Rgb(0x10, 0x20, 0x40);
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    slot.Place(view, 100 * 16, 50 * 16, &image, false);
    Paint();
    EXPECT_EQ(Screen(100, 50), below | Rgb(0x00, 0x30, 0x30)); // coloured transparency ORs
    EXPECT_EQ(Screen(102, 52), below | Rgb(0x00, 0x30, 0x30));
    EXPECT_EQ(Screen(103, 50), Rgb(0xF0, 0x80, 0x00));
    EXPECT_EQ(Screen(119, 59), Rgb(0xFF, 0xFF, 0xFF)); // the GIF's last row is at the bottom
    EXPECT_EQ(Screen(120, 59), below);

    // The next frame keeps its place inside the GIF's screen; the first
    // frame's rectangle is repainted with the background.
    slot.Place(view, 100 * 16, 50 * 16, frame1, false);
    EXPECT_EQ(slot.x, 104);
    EXPECT_EQ(slot.y, 52);
    Paint();
    EXPECT_EQ(Screen(103, 50), below);
    EXPECT_EQ(Screen(104, 52), below); // black transparent border
    EXPECT_EQ(Screen(105, 53), Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(Screen(108, 54), Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(Screen(109, 54), below);

    // A fade rewrites the shared colour table; the caller's invalidation
    // brings it to the screen.
    image.SetBrightness(50);
    view.Invalidate({slot.x, slot.y, slot.x + frame1->width, slot.y + frame1->height});
    Paint();
    EXPECT_EQ(Screen(105, 53), Rgb(0x7F, 0x7F, 0x7F));
}

} // namespace
