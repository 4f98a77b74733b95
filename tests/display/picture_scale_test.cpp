// Pictures drawn at a whole-number scale, from frames converted at load and
// from their colour indices: both give the same screen, pixel for pixel.
#include "base/memory_budget.h"
#include "display_fixture.h"
#include "image/screen_frame.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <memory>
#include <random>
#include <vector>

namespace {

// A scene of a tiled background and overlapping sprites: masked ones with a
// black transparent colour, one with a coloured one (ORed below), one
// without a mask, and one whose mask marks no pixel.
struct Scene {
    std::unique_ptr<TestFrame> tile;
    std::vector<std::unique_ptr<TestFrame>> sprites;

    explicit Scene(uint32_t seed) {
        std::mt19937 random(seed);
        tile = std::make_unique<TestFrame>(7, 5);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 7; ++x)
                tile->SetPixel(x, y, static_cast<uint8_t>(random() % 4));
        for (int i = 0; i < 4; ++i)
            tile->SetColor(i, static_cast<uint8_t>(40 * i), 90, static_cast<uint8_t>(200 - 30 * i));
        const int32_t sizes[][2] = {{13, 9}, {33, 4}, {1, 1}, {40, 17}, {9, 30}};
        for (int s = 0; s < 5; ++s) {
            auto frame = std::make_unique<TestFrame>(sizes[s][0], sizes[s][1]);
            for (int32_t y = 0; y < sizes[s][1]; ++y)
                for (int32_t x = 0; x < sizes[s][0]; ++x)
                    frame->SetPixel(x, y, static_cast<uint8_t>(random() % 3 == 0 ? 0 : random()));
            for (int i = 1; i < 256; ++i)
                frame->SetColor(i, static_cast<uint8_t>(i), static_cast<uint8_t>(s * 50),
                                static_cast<uint8_t>(255 - i));
            frame->SetColor(0, s == 1 ? 0x40 : 0, s == 1 ? 0x08 : 0, 0);
            if (s == 4) frame->FillRect(0, 0, 9, 30, 9);
            if (s != 3) frame->MakeTransparent(0);
            frame->SetOffset(s, 2 * s);
            sprites.push_back(std::move(frame));
        }
    }

    void Convert(int32_t scale) {
        ASSERT_TRUE(tile->Convert(scale));
        for (auto& s : sprites) ASSERT_TRUE(s->Convert(scale));
    }
};

class PictureScale : public DisplayTest {
  protected:
    // Shows the scene at `scale` in a view of 230 by 170 and returns what
    // the back buffer holds after a full paint and after repainting some
    // rectangles that cut through sprites.
    std::vector<uint32_t> Paint(Scene& scene, int32_t scale) {
        view.Reset();
        screen = HeadlessPicture();
        view.SetSize(230, 170);
        view.SetPictureScale(scale);
        EXPECT_EQ(view.Init(TestWindow()), 1);
        view.SetBackgroundImage(&scene.tile->frame);
        const int32_t places[][2] = {{5, 7}, {30, 20}, {-4, 60}, {100, 90}, {200, 140}};
        for (size_t s = 0; s < scene.sprites.size(); ++s) {
            SpriteSlot& slot = view.slots[view.AllocSlot()];
            slot.Place(view, places[s][0] * 16, places[s][1] * 16, &scene.sprites[s]->frame, true);
        }
        DisplayTest::Paint();
        for (const ViewRect& r : {ViewRect{0, 0, 3, 170}, ViewRect{9, 9, 40, 11},
                                  ViewRect{31, 21, 32, 60}, ViewRect{101, 95, 229, 169}}) {
            // A stripe of colour first, so that a pixel the compose misses shows.
            for (int32_t y = r.top; y < r.bottom; ++y)
                for (int32_t x = r.left; x < r.right; ++x)
                    view.backBuffer[static_cast<size_t>(y) * view.bufferWidth + x] = 0x123456;
            view.Invalidate(r);
            DisplayTest::Paint();
        }
        return {view.backBuffer, view.backBuffer + 230 * 170};
    }
};

TEST_F(PictureScale, ConvertedFramesDrawWhatTheirColourTablesDraw) {
    for (int32_t scale : {1, 2, 3}) {
        Scene indexed(scale), converted(scale);
        converted.Convert(scale);
        EXPECT_EQ(Paint(indexed, scale), Paint(converted, scale)) << "scale " << scale;
    }
}

TEST_F(PictureScale, EachPixelBecomesASquareOfScaleByScale) {
    Scene scene(9);
    scene.Convert(3);
    const std::vector<uint32_t> scaled = Paint(scene, 3);
    // The first sprite (13 x 9 at (5, 7), offset (0, 0)) over the tile.
    const TestFrame& sprite = *scene.sprites[0];
    const TestFrame& tile = *scene.tile;
    auto colorOf = [](const TestFrame& f, int32_t x, int32_t y) {
        const ColorEntry& c = f.frame.colorInfo->colors[f.Pixel(x, y)];
        return Rgb(c.red, c.green, c.blue);
    };
    for (int32_t y = 7; y < 7 + 27; ++y) {
        for (int32_t x = 5; x < 5 + 39; ++x) {
            if (x >= 33 && y >= 26) continue; // the second sprite lies over it there
            const int32_t fx = (x - 5) / 3, fy = (y - 7) / 3;
            const uint32_t below = colorOf(tile, (x / 3) % 7, (y / 3) % 5);
            const uint32_t expected = sprite.Pixel(fx, fy) == 0 ? below : colorOf(sprite, fx, fy);
            ASSERT_EQ(scaled[static_cast<size_t>(y) * 230 + x], expected) << x << "," << y;
        }
    }
}

TEST_F(PictureScale, SlotsCoverTheScaledFrameAndItsScaledOffset) {
    TestFrame frame(10, 4, 1);
    frame.SetColor(1, 255, 0, 0);
    frame.SetOffset(10, 5);
    ASSERT_TRUE(frame.Convert(3));
    view.SetSize(2400, 1800);
    view.SetPictureScale(3);
    ASSERT_EQ(view.Init(TestWindow()), 1);
    DisplayTest::Paint();
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    // Design (400, 300) is window (1200, 900); the offset grows to (30, 15).
    slot.Place(view, 400 * 16, 300 * 16, &frame.frame, false);
    EXPECT_EQ(slot.x, 1230);
    EXPECT_EQ(slot.y, 915);
    ASSERT_EQ(view.updateRegion.Count(), 1);
    const ViewRect r = view.updateRegion.Rect(0);
    EXPECT_EQ(r.left, 1230);
    EXPECT_EQ(r.top, 915);
    EXPECT_EQ(r.right, 1260);
    EXPECT_EQ(r.bottom, 927);
    DisplayTest::Paint();
    EXPECT_EQ(Screen(1230, 915), Rgb(255, 0, 0));
    EXPECT_EQ(Screen(1259, 926), Rgb(255, 0, 0));
    EXPECT_EQ(Screen(1260, 926), 0u);
    EXPECT_EQ(Screen(1259, 927), 0u);
}

TEST_F(PictureScale, FitUsesTheLargestWholeScaleThatFits) {
    const struct {
        int32_t width, height, scale;
    } cases[] = {{800, 600, 1},   {1920, 1080, 1},   {1600, 1200, 2}, {2560, 1440, 2},
                 {3840, 2160, 3}, {5120, 2880, 4},   {640, 480, 1},   {0, 0, 1},
                 {2400, 1799, 2}, {16384, 16384, 16}};
    for (const auto& c : cases)
        EXPECT_EQ(FitPictureScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
    view.SetPictureScale(0);
    EXPECT_EQ(view.pictureScale, 1);
    view.SetPictureScale(40);
    EXPECT_EQ(view.pictureScale, MAX_PICTURE_SCALE);
}

// A GIF loaded at scale 2 draws converted; faded, it draws from its colour
// table at the same scale; back at full brightness converted again.
class LoadedAtScale : public DisplayTest {
  protected:
    void TearDown() override {
        view.Reset();
        images.Reset();
    }
    TempDir dir;
};

TEST_F(LoadedAtScale, FadedFramesDrawTheirFadedColours) {
    std::vector<uint8_t> rgb(768, 0);
    rgb[3] = 200; // colour 1: (200, 100, 50)
    rgb[4] = 100;
    rgb[5] = 50;
    rgb[6] = 0x20; // colour 2, transparent: (0x20, 0, 0), ORed below
    GifImage image;
    image.width = 3;
    image.height = 2;
    image.indices = {2, 1, 1, 1, 1, 2};
    GifBuilder gif(3, 2);
    gif.ColorTable(rgb).Control(0, 2).Image(image).Trailer();
    const std::string path = dir.WriteBytes("fish.gif", gif.Bytes());
    images.pictureScale = 2;
    CImage* loaded = images.Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->screen, nullptr); // converted once the module's pictures are in
    const int64_t held = memory.used;
    images.ConvertLoaded();
    ASSERT_NE(loaded->screen, nullptr);
    EXPECT_EQ(loaded->screen->rowPixels, 6);
    EXPECT_EQ(images.screenFrameBytes, loaded->screen->bytes);
    EXPECT_EQ(memory.used, held + loaded->screen->bytes);
    EXPECT_EQ(loaded->HeldBytes(), held + loaded->screen->bytes);

    view.SetPictureScale(2);
    Open(20, 10, MakeColorRef(0, 0, 0x10));
    SpriteSlot& slot = view.slots[view.AllocSlot()];
    for (int percent : {100, 50, 100}) {
        loaded->SetBrightness(percent);
        slot.Place(view, 4 * 16, 2 * 16, loaded, true);
        DisplayTest::Paint();
        const uint32_t opaque = Rgb(200 * percent / 100, 100 * percent / 100, 50 * percent / 100);
        EXPECT_EQ(Screen(4, 2), Rgb(0x20 * percent / 100, 0, 0x10)) << percent;
        EXPECT_EQ(Screen(5, 3), Rgb(0x20 * percent / 100, 0, 0x10)) << percent;
        EXPECT_EQ(Screen(6, 2), opaque) << percent;
        EXPECT_EQ(Screen(9, 5), Rgb(0x20 * percent / 100, 0, 0x10)) << percent;
        EXPECT_EQ(Screen(7, 5), opaque) << percent;
        EXPECT_EQ(Screen(10, 5), Rgb(0, 0, 0x10)) << percent;
    }
}

TEST_F(LoadedAtScale, FramesBeyondTheLimitStayIndexedAndStillDraw) {
    GifImage image;
    image.width = 4;
    image.height = 4;
    image.indices.assign(16, 1);
    GifBuilder gif(4, 4);
    gif.Netscape(0).Image(image).Image(image).Trailer();
    const std::string path = dir.WriteBytes("two.gif", gif.Bytes());
    images.pictureScale = 2;
    CImage* loaded = images.Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    // A copy shares the converted frames and counts nothing more.
    CImage* copy = images.Load(path.c_str());
    ASSERT_NE(copy, nullptr);
    // Room in the module's budget for one frame's conversion: one block of the
    // record and its 4 rows of 4 x 2 pixels.
    const int64_t head = static_cast<int64_t>((sizeof(ScreenFrame) + 7) & ~size_t{7});
    const int64_t converted = BlockCost(head + 4 * 2 * 4 * 4);
    memory.limit = memory.used + converted + 10;
    images.ConvertLoaded();
    EXPECT_NE(loaded->screen, nullptr);
    EXPECT_EQ(loaded->next->screen, nullptr);
    EXPECT_EQ(images.screenFrameBytes, converted);
    EXPECT_EQ(copy->screen, loaded->screen);
    // Indices and no mask: 16 bytes a frame.
    const int64_t indices = 2 * BlockCost(16);
    EXPECT_EQ(images.PixelMemory(0), indices);
    EXPECT_EQ(images.PixelMemory(2), indices + 2 * converted);
    EXPECT_EQ(images.PixelMemory(3), indices + 2 * BlockCost(head + 4 * 3 * 4 * 4));
    // Discarding gives the converted frame back with the rest.
    const int64_t used = memory.used;
    images.Discard(copy);
    EXPECT_LT(memory.used, used);

    view.SetPictureScale(2);
    Open(20, 20);
    view.slots[view.AllocSlot()].Place(view, 0, 0, loaded->next, true);
    DisplayTest::Paint();
    EXPECT_EQ(Screen(7, 7), Screen(0, 0));
    EXPECT_NE(Screen(7, 7), 0u);
    EXPECT_EQ(Screen(8, 8), 0u);
}

} // namespace
