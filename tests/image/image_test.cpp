// Frame chains, masks, the cache, fades and frame timing of loaded images.
#include "image_test_util.h"

#include "image/gamma.h"
#include "image/image_cache.h"

#include <gtest/gtest.h>

namespace {

class ImageTest : public ImageContextTest {
  protected:
    void SetUp() override { ResetImageState(); }
    void TearDown() override { ResetImageState(); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return dir.WriteBytes(name, bytes);
    }

    TempDir dir;
};

std::vector<uint8_t> Frames(int count, int width, int height, bool loop, int transparent = -1) {
    GifBuilder b(width, height);
    if (loop) b.Netscape(0);
    for (int i = 0; i < count; ++i) {
        b.Control(10, transparent).Image(MakeImage(width, height, TestPicture(width, height, i)));
    }
    return b.Trailer().Bytes();
}

TEST_F(ImageTest, StridesAndHeadersFollowTheFrameWidth) {
    CImage a, b;
    ASSERT_EQ(a.LoadImage(Write("w13.gif", Frames(1, 13, 3, false, 0)).c_str(), images), 1);
    EXPECT_EQ(a.Stride(), 16);
    EXPECT_EQ(a.MaskStride(), 4);
    EXPECT_EQ(a.pixelBytes, 48);
    EXPECT_EQ(a.maskBytes, 12u);
    EXPECT_EQ(a.compression, 0u);
    ASSERT_EQ(b.LoadImage(Write("w33.gif", Frames(1, 33, 2, false, 0)).c_str(), images), 1);
    EXPECT_EQ(b.Stride(), 36);
    EXPECT_EQ(b.MaskStride(), 8);
    EXPECT_EQ(b.pixelBytes, 72);

    const BitmapHeader& h = a.colorInfo->header;
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.colorsUsed, 256u);
    EXPECT_EQ(h.colorsImportant, 0u);
    const MaskInfo& m = *a.maskInfo;
    EXPECT_EQ(m.header.bitCount, 1);
    EXPECT_EQ(m.header.colorsUsed, 2u);
    EXPECT_EQ(m.colors[0].red, 0);
    EXPECT_EQ(m.colors[1].red, 255);
    EXPECT_EQ(m.colors[1].green, 255);
    EXPECT_EQ(m.colors[1].blue, 255);
    // Colours are stored blue, green, red, 0 (the test table's entry i is (i, 255 - i, 7i)).
    EXPECT_EQ(a.colorInfo->colors[10].red, 10);
    EXPECT_EQ(a.colorInfo->colors[10].green, 245);
    EXPECT_EQ(a.colorInfo->colors[10].blue, 70);
    EXPECT_EQ(a.colorInfo->colors[10].reserved, 0);
    EXPECT_EQ(a.loadedColors[10].blue, 70);
    a.Release();
    b.Release();
}

TEST_F(ImageTest, RowsAreBottomUpAndMaskBitsMarkTheTransparentColour) {
    std::vector<uint8_t> picture = {0, 5, 0, 9, 9, 9, //
                                    1, 1, 1, 1, 0, 1};
    std::vector<uint8_t> gif =
        GifBuilder(6, 2).Control(0, 0).Image(MakeImage(6, 2, picture)).Trailer().Bytes();
    CImage image;
    ASSERT_EQ(image.LoadImage(Write("mask.gif", gif).c_str(), images), 1);
    // The first row in memory is the picture's bottom row.
    EXPECT_EQ(image.pixels[0], 1);
    EXPECT_EQ(image.pixels[4], 0);
    EXPECT_EQ(image.pixels[8], 0);
    EXPECT_EQ(image.pixels[9], 5);
    ASSERT_NE(image.mask, nullptr);
    EXPECT_EQ(image.mask[0], 0x08);        // bottom row: only column 4
    EXPECT_EQ(image.mask[4] & 0xE0, 0xA0); // top row 0, 5, 0 -> bits 1, 0, 1
    EXPECT_EQ(image.mask[4], 0xA0);
    EXPECT_EQ(image.pixels[6], 0); // row padding
    image.Release();
}

TEST_F(ImageTest, ChainsLoopBackOrEnd) {
    CImage looping, plain;
    ASSERT_EQ(looping.LoadImage(Write("loop.gif", Frames(3, 4, 4, true)).c_str(), images), 1);
    ASSERT_EQ(plain.LoadImage(Write("plain.gif", Frames(3, 4, 4, false)).c_str(), images), 1);
    for (CImage* image : {&looping, &plain}) {
        CImage* f1 = image->next;
        ASSERT_NE(f1, nullptr);
        CImage* f2 = f1->next;
        ASSERT_NE(f2, nullptr);
        EXPECT_EQ(image->flags, IMAGE_FIRST);
        EXPECT_EQ(f1->flags, 0);
        EXPECT_EQ(f2->flags, IMAGE_LAST);
        EXPECT_EQ(f1->frameIndex, 1);
        EXPECT_EQ(f2->frameIndex, 2);
        EXPECT_EQ(f1->colorInfo, image->colorInfo);
        EXPECT_EQ(f2->maskInfo, image->maskInfo);
        EXPECT_EQ(f2->loadedColors, image->loadedColors);
    }
    EXPECT_EQ(looping.next->next->next, &looping);
    EXPECT_EQ(plain.next->next->next, nullptr);

    // A single looping frame is both first and last and follows itself.
    CImage single;
    ASSERT_EQ(single.LoadImage(Write("single.gif", Frames(1, 2, 2, true)).c_str(), images), 1);
    EXPECT_EQ(single.flags, IMAGE_FIRST | IMAGE_LAST);
    EXPECT_EQ(single.next, &single);
    looping.Release();
    plain.Release();
    single.Release();
}

TEST_F(ImageTest, CacheDecodesOnceAndCopiesOwnColours) {
    std::string path = Write("a.gif", Frames(3, 5, 4, true, 2));
    CImage* first = new CImage;
    ASSERT_EQ(first->LoadImage(path.c_str(), images), 1);
    ASSERT_NE(first->fileName, nullptr);
    EXPECT_EQ(std::string(first->fileName), path);
    EXPECT_EQ(images.cache.NamedCount(), 1);

    // Same name in another case: no decode (the file is gone), a copy.
    std::string upper = dir.File("A.GIF");
    std::remove(path.c_str());
    CImage* second = new CImage;
    ASSERT_EQ(second->LoadImage(upper.c_str(), images), 1);
    EXPECT_EQ(images.cache.NamedCount(), 1);
    EXPECT_EQ(second->flags, IMAGE_FIRST | IMAGE_SHARED);
    EXPECT_EQ(second->pixels, first->pixels);
    EXPECT_EQ(second->mask, first->mask);
    EXPECT_NE(second->colorInfo, first->colorInfo);
    EXPECT_EQ(second->loadedColors, first->loadedColors);
    EXPECT_EQ(second->maskInfo, first->maskInfo);
    ASSERT_NE(second->next, nullptr);
    EXPECT_NE(second->next, first->next);
    EXPECT_EQ(second->next->pixels, first->next->pixels);
    EXPECT_EQ(second->next->colorInfo, second->colorInfo);
    EXPECT_EQ(second->next->flags, IMAGE_SHARED);
    EXPECT_EQ(second->next->next->flags, IMAGE_LAST | IMAGE_SHARED);
    EXPECT_EQ(second->next->next->next, second);

    second->SetBrightness(50);
    EXPECT_EQ(first->colorInfo->colors[201].red, 201);
    EXPECT_EQ(second->colorInfo->colors[201].red, 100);

    // Released in any order, every buffer is freed once (ASan checks).
    ReleaseAndDeleteImage(second);
    ReleaseAndDeleteImage(first);
    EXPECT_EQ(images.cache.NamedCount(), 0);
}

TEST_F(ImageTest, AHundredAndFirstImageLoadsButIsNotCached) {
    std::vector<uint8_t> gif = Frames(1, 2, 2, false);
    std::vector<CImage*> loaded;
    for (int i = 0; i < 101; ++i) {
        CImage* image = new CImage;
        ASSERT_EQ(image->LoadImage(Write(GifName("i", i), gif).c_str(), images), 1);
        loaded.push_back(image);
    }
    EXPECT_EQ(images.cache.NamedCount(), IMAGE_CACHE_SIZE);
    EXPECT_NE(loaded[99]->fileName, nullptr);
    EXPECT_EQ(loaded[100]->fileName, nullptr);
    CImage again;
    ASSERT_EQ(again.LoadImage(dir.File("i100.gif").c_str(), images), 1);
    EXPECT_EQ(again.flags & IMAGE_SHARED, 0);
    again.Release();
    for (CImage* image : loaded) ReleaseAndDeleteImage(image);
}

TEST_F(ImageTest, AFailedLoadIsNeverCopied) {
    std::string path = dir.File("late.gif");
    CImage missing;
    EXPECT_EQ(missing.LoadImage(path.c_str(), images), 0);
    EXPECT_EQ(log.texts, std::vector<std::string>{"File Not Found: " + path});
    EXPECT_EQ(images.cache.NamedCount(), 0);
    EXPECT_EQ(missing.fileName, nullptr);

    // The same name loads for real once the file exists.
    Write("late.gif", Frames(2, 3, 3, false));
    CImage later;
    ASSERT_EQ(later.LoadImage(path.c_str(), images), 1);
    EXPECT_EQ(later.flags & IMAGE_SHARED, 0);
    EXPECT_EQ(FrameCount(later), 2);

    // A failure in a later frame frees the earlier ones and fails the load.
    GifImage local = MakeImage(3, 3, TestPicture(3, 3));
    local.localTable = true;
    std::string bad = Write("bad.gif", GifBuilder(3, 3)
                                           .Control(1, 0)
                                           .Image(MakeImage(3, 3, TestPicture(3, 3)))
                                           .Control(1, 0)
                                           .Image(MakeImage(3, 3, TestPicture(3, 3)))
                                           .Image(local)
                                           .Trailer()
                                           .Bytes());
    CImage broken;
    EXPECT_EQ(broken.LoadImage(bad.c_str(), images), 0);
    EXPECT_EQ(broken.pixels, nullptr);
    EXPECT_EQ(broken.mask, nullptr);
    EXPECT_EQ(broken.next, nullptr);
    EXPECT_EQ(broken.flags, 0);
    broken.Release(); // frees nothing a second time
    CImage retry;
    EXPECT_EQ(retry.LoadImage(bad.c_str(), images), 0);
    EXPECT_EQ(images.cache.NamedCount(), 1);
    later.Release();
}

TEST_F(ImageTest, BrightnessActsOnTheFirstRecordWithinZeroToHundred) {
    std::vector<uint8_t> rgb = TestColorTable();
    rgb[0] = 201;
    rgb[1] = 100;
    rgb[2] = 7;
    CImage image;
    ASSERT_EQ(image.LoadImage(Write("fade.gif", GifBuilder(2, 1)
                                                    .ColorTable(rgb)
                                                    .Image(MakeImage(2, 1, {0, 1}))
                                                    .Image(MakeImage(2, 1, {0, 1}))
                                                    .Trailer()
                                                    .Bytes())
                                  .c_str(),
                              images),
              1);
    ColorEntry& c = image.colorInfo->colors[0];
    image.SetBrightness(50);
    EXPECT_EQ(c.red, 100);
    EXPECT_EQ(c.green, 50);
    EXPECT_EQ(c.blue, 3);
    image.SetBrightness(150);
    EXPECT_EQ(c.red, 201);
    image.SetBrightness(-5);
    EXPECT_EQ(c.red, 0);
    EXPECT_EQ(c.green, 0);
    image.next->SetBrightness(100); // not the first record: ignored
    EXPECT_EQ(c.red, 0);
    image.SetBrightness(100);
    EXPECT_EQ(c.red, 201);
    image.Release();
}

TEST_F(ImageTest, FrameBeforeCountsBackFromAFrame) {
    CImage image;
    ASSERT_EQ(image.LoadImage(Write("five.gif", Frames(5, 2, 2, true)).c_str(), images), 1);
    EXPECT_EQ(image.FrameBefore(250, -1), 1); // 400 - 250 = 150
    EXPECT_EQ(image.FrameBefore(250, 2), 0);  // 200 - 250 < 0
    EXPECT_EQ(image.FrameBefore(100, 3), 1);  // exactly on a boundary: the earlier frame
    EXPECT_EQ(image.FrameBefore(0, -1), 3);
    // Frame 0 comes up again after the last frame: counted like -1.
    EXPECT_EQ(image.FrameBefore(250, 0), 1);
    image.Release();

    CImage single;
    ASSERT_EQ(single.LoadImage(Write("one.gif", Frames(1, 2, 2, false)).c_str(), images), 1);
    EXPECT_EQ(single.FrameBefore(250, -1), 0);
    single.Release();
}

TEST_F(ImageTest, GammaShapesTheLoadedColours) {
    images.gammaSetting = 1;
    std::vector<uint8_t> rgb(768, 0);
    rgb[0] = 64;
    rgb[1] = 32;
    rgb[2] = 255;
    CImage image;
    ASSERT_EQ(
        image.LoadImage(
            Write("g.gif",
                  GifBuilder(1, 1).ColorTable(rgb).Image(MakeImage(1, 1, {0})).Trailer().Bytes())
                .c_str(),
            images),
        1);
    EXPECT_EQ(image.colorInfo->colors[0].red, 86);
    EXPECT_EQ(image.colorInfo->colors[0].green, 43);
    EXPECT_EQ(image.colorInfo->colors[0].blue, 254);
    EXPECT_EQ(image.loadedColors[0].red, 86);
    image.Release();
}

TEST_F(ImageTest, ResetReleasesEveryLoadedImage) {
    ASSERT_NE(images.Load(Write("f.gif", Frames(2, 3, 3, true, 1)).c_str()), nullptr);
    ASSERT_NE(images.Load(dir.File("F.gif").c_str()), nullptr); // a copy of the same
    EXPECT_EQ(images.cache.NamedCount(), 1);
    images.Reset(); // ASan reports any leak or double free
    EXPECT_EQ(images.cache.NamedCount(), 0);
}

} // namespace
