// The GIF reader through the real loader: acceptance tests, block order, the
// LZW decoder and malformed data.
#include "image_test_util.h"

#include "platform/headless/headless.h"
#include "script/script_reader.h"
#include "support/context_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class GifReaderTest : public ContextTest {
  protected:
    void SetUp() override { ResetImageState(ctx.images); }
    void TearDown() override {
        image.Release();
        ResetImageState(ctx.images);
    }

    int Load(const std::vector<uint8_t>& bytes, const std::string& name = "test.gif") {
        return LoadBytes(ctx.images, image, dir, name, bytes);
    }

    TempDir dir;
    CImage image;
};

std::vector<uint8_t> OneFrame(int width, int height, const std::vector<uint8_t>& indices,
                              const LzwOptions& lzw = LzwOptions()) {
    return GifBuilder(width, height)
        .Image(MakeImage(width, height, indices, lzw))
        .Trailer()
        .Bytes();
}

TEST_F(GifReaderTest, AcceptsOnlyTheGifExtensionInAnyCase) {
    std::vector<uint8_t> gif = OneFrame(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(Load(gif, "a.gif"), 1);
    image.Release();
    image = CImage();
    EXPECT_EQ(Load(gif, "b.Gif"), 1);
    EXPECT_TRUE(MessageTexts().empty());
    for (const char* name : {"c.gif.bak", "d.bmp", "nodot"}) {
        HeadlessClearMessages();
        CImage other;
        std::string path = dir.WriteBytes(name, gif);
        EXPECT_EQ(other.LoadImage(path.c_str(), ctx.images), 0) << name;
        ASSERT_EQ(MessageTexts().size(), 1u) << name;
        EXPECT_EQ(MessageTexts()[0], "Unsupported image format " + path);
        EXPECT_EQ(other.pixels, nullptr);
        EXPECT_EQ(other.fileName, nullptr);
    }
}

TEST_F(GifReaderTest, ReadsAnyVersionAfterGifAndRefusesOtherSignatures) {
    for (const char* signature : {"GIF87a", "GIF89a", "GIFxyz"}) {
        CImage other;
        std::vector<uint8_t> gif =
            GifBuilder(2, 1, 7, true, signature).Image(MakeImage(2, 1, {5, 6})).Trailer().Bytes();
        EXPECT_EQ(LoadBytes(ctx.images, other, dir, std::string(signature) + ".gif", gif), 1)
            << signature;
        EXPECT_EQ(TopDownIndices(other), (std::vector<uint8_t>{5, 6}));
        other.Release();
    }
    std::vector<uint8_t> gif =
        GifBuilder(2, 1, 7, true, "gif89a").Image(MakeImage(2, 1, {5, 6})).Bytes();
    std::string path = dir.WriteBytes("lower.gif", gif);
    EXPECT_EQ(image.LoadImage(path.c_str(), ctx.images), 0);
    ASSERT_EQ(MessageTexts().size(), 1u);
    EXPECT_EQ(MessageTexts()[0], "File Not Found: " + path);

    HeadlessClearMessages();
    std::string missing = dir.File("missing.gif");
    CImage other;
    EXPECT_EQ(other.LoadImage(missing.c_str(), ctx.images), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"File Not Found: " + missing});
}

TEST_F(GifReaderTest, ReadsGlobalTablesOfEverySizeWithTheMissingEntriesBlack) {
    // Entry i of the test table is (i, 255 - i, i * 7); the pixels use the last
    // entry of each table, and the frame follows the table directly.
    for (int sizeBits = 0; sizeBits <= 7; ++sizeBits) {
        const int entries = 2 << sizeBits;
        const uint8_t last = static_cast<uint8_t>(entries - 1);
        std::vector<uint8_t> gif = GifBuilder(2, 1, sizeBits)
                                       .ColorTable(TestColorTable())
                                       .Image(MakeImage(2, 1, {last, 0}))
                                       .Trailer()
                                       .Bytes();
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("table", entries), gif), 1) << entries;
        EXPECT_EQ(TopDownIndices(other), (std::vector<uint8_t>{last, 0})) << entries;
        for (int i : {0, entries - 1, std::min(entries, 255), 255}) {
            const ColorEntry& c = other.colorInfo->colors[i];
            const bool inTable = i < entries;
            EXPECT_EQ(c.red, inTable ? i : 0) << entries << " entry " << i;
            EXPECT_EQ(c.green, inTable ? 255 - i : 0) << entries << " entry " << i;
            EXPECT_EQ(c.blue, inTable ? static_cast<uint8_t>(i * 7) : 0)
                << entries << " entry " << i;
        }
        other.Release();
    }
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(GifReaderTest, RefusesAGifWithoutGlobalTable) {
    const std::string text = "GIF file has no global color table or is not 8 bit ";
    std::vector<uint8_t> none = GifBuilder(2, 1, 7, false).Image(MakeImage(2, 1, {1, 2})).Bytes();
    std::string path = dir.WriteBytes("none.gif", none);
    EXPECT_EQ(image.LoadImage(path.c_str(), ctx.images), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{text + path});

    // A header cut short reads as having no table.
    HeadlessClearMessages();
    path = dir.WriteBytes("short.gif", {'G', 'I', 'F', '8', '9', 'a', 1});
    CImage third;
    EXPECT_EQ(third.LoadImage(path.c_str(), ctx.images), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{text + path});
}

// Only a trailer, or a graphic control extension with no image behind it:
// the load fails and names the cause and the file.
TEST_F(GifReaderTest, NoImageWhereTheFirstFrameBelongsIsReported) {
    std::vector<uint8_t> gif = GifBuilder(4, 4).Trailer().Bytes();
    EXPECT_EQ(Load(gif), 0);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{"GIF file has no image in it " + dir.File("test.gif")});
    EXPECT_EQ(image.colorInfo, nullptr);
    EXPECT_EQ(image.fileName, nullptr);

    HeadlessClearMessages();
    CImage other;
    EXPECT_EQ(LoadBytes(ctx.images, other, dir, "control.gif",
                        GifBuilder(4, 4).Control(5).Trailer().Bytes()),
              0);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{"GIF file has no image in it " + dir.File("control.gif")});
}

TEST_F(GifReaderTest, EveryMinimumCodeSizeDecodesAlike) {
    std::vector<uint8_t> picture = TestPicture(37, 23, 3, 4);
    for (int size = 2; size <= 8; ++size) {
        LzwOptions lzw;
        lzw.minCodeSize = size;
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("size", size),
                            OneFrame(37, 23, picture, lzw)),
                  1)
            << size;
        EXPECT_EQ(TopDownIndices(other), picture) << "minimum code size " << size;
        other.Release();
    }
}

TEST_F(GifReaderTest, StringsRunOnAcrossRows) {
    // Long runs of one colour give strings far longer than a 5-pixel row.
    std::vector<uint8_t> picture(5 * 40, 9);
    for (size_t i = 100; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i % 3);
    ASSERT_EQ(Load(OneFrame(5, 40, picture)), 1);
    EXPECT_EQ(TopDownIndices(image), picture);
}

TEST_F(GifReaderTest, DecodesAFullTableWithoutClearCode) {
    std::vector<uint8_t> picture = TestPicture(211, 157, 11);
    LzwOptions lzw;
    lzw.clearWhenFull = false;
    std::vector<uint8_t> deferred = OneFrame(211, 157, picture, lzw);
    ASSERT_EQ(Load(deferred), 1);
    EXPECT_EQ(TopDownIndices(image), picture);
    // The data really fills the table: the same picture cleared when full is coded differently.
    EXPECT_NE(deferred, OneFrame(211, 157, picture));
}

TEST_F(GifReaderTest, DataWithoutLeadingClearAndInTinySubBlocks) {
    std::vector<uint8_t> picture = TestPicture(64, 48, 5);
    LzwOptions lzw;
    lzw.initialClear = false;
    lzw.subBlockSize = 1; // every code straddles sub-blocks
    ASSERT_EQ(Load(OneFrame(64, 48, picture, lzw)), 1);
    EXPECT_EQ(TopDownIndices(image), picture);
}

TEST_F(GifReaderTest, DelaysTransparencyAndOffsetsComeFromTheBlocks) {
    std::vector<uint8_t> a = TestPicture(6, 4, 1), b = TestPicture(3, 2, 2);
    GifImage second = MakeImage(3, 2, b);
    second.left = 2;
    second.top = 1;
    std::vector<uint8_t> gif =
        GifBuilder(8, 6).Control(7, 3).Image(MakeImage(6, 4, a)).Image(second).Trailer().Bytes();
    ASSERT_EQ(Load(gif), 1);
    EXPECT_EQ(image.delayMs, 70);
    EXPECT_EQ(image.transparentIndex, 3);
    ASSERT_NE(image.next, nullptr);
    const CImage& f1 = *image.next;
    EXPECT_EQ(f1.delayMs, 66);
    EXPECT_EQ(f1.transparentIndex, -1);
    EXPECT_EQ(f1.mask, nullptr);
    EXPECT_EQ(f1.left, 2);
    EXPECT_EQ(f1.top, 1);
    EXPECT_EQ(f1.width, 3);
    EXPECT_EQ(f1.height, 2);
    EXPECT_EQ(TopDownIndices(f1), b);
    EXPECT_EQ(image.colorInfo->header.width, 8);
    EXPECT_EQ(image.colorInfo->header.height, 6);
}

TEST_F(GifReaderTest, ApplicationExtensionBeforeTheFirstFrameLoops) {
    std::vector<uint8_t> p = {1, 2, 3, 4};
    // Loop count 1 still repeats forever; an extension after the graphic
    // control extension (as ImageMagick writes it) counts as well.
    std::vector<std::vector<uint8_t>> looping = {
        GifBuilder(2, 2).Netscape(1).Image(MakeImage(2, 2, p)).Image(MakeImage(2, 2, p)).Bytes(),
        GifBuilder(2, 2)
            .Control(10)
            .Netscape(0)
            .Image(MakeImage(2, 2, p))
            .Control(10)
            .Image(MakeImage(2, 2, p))
            .Trailer()
            .Bytes(),
        GifBuilder(2, 2)
            .Comment("made by hand")
            .Application("XMP DataXMP", {1, 2, 3})
            .Image(MakeImage(2, 2, p))
            .Trailer()
            .Bytes(),
    };
    for (size_t i = 0; i < looping.size(); ++i) {
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("loop", i), looping[i]), 1) << i;
        const CImage* last = &other;
        while (!(last->flags & IMAGE_LAST)) last = last->next;
        EXPECT_EQ(last->next, &other) << i;
        other.Release();
    }
    // After the first frame an application extension neither loops nor ends the frames.
    std::vector<uint8_t> later = GifBuilder(2, 2)
                                     .Image(MakeImage(2, 2, p))
                                     .Netscape(0)
                                     .Image(MakeImage(2, 2, p))
                                     .Trailer()
                                     .Bytes();
    ASSERT_EQ(Load(later), 1);
    EXPECT_EQ(FrameCount(image), 2);
    EXPECT_EQ(image.next->next, nullptr);
}

TEST_F(GifReaderTest, UnusedExtensionsAreSkippedWhereverTheyStand) {
    GifBuilder b(4, 3);
    b.Comment("after the table").PlainText("hello");
    for (int i = 0; i < 5; ++i) {
        if (i == 2) b.Comment(std::string(600, 'x')); // several sub-blocks
        b.Control(i + 1).Image(MakeImage(4, 3, TestPicture(4, 3, i)));
    }
    b.Comment("before the trailer").Trailer();
    ASSERT_EQ(Load(b.Bytes()), 1);
    EXPECT_EQ(FrameCount(image), 5);
    const CImage* f = &image;
    for (int i = 0; i < 5; ++i, f = f->next) {
        EXPECT_EQ(f->frameIndex, i);
        EXPECT_EQ(f->delayMs, (i + 1) * 10);
        EXPECT_EQ(TopDownIndices(*f), TestPicture(4, 3, i));
    }
}

TEST_F(GifReaderTest, InterlacedFramesAreStoredInPictureOrder) {
    for (int height : {1, 2, 3, 5, 8, 9, 17, 30}) {
        std::vector<uint8_t> picture = TestPicture(7, height, height);
        GifImage interlaced = MakeImage(7, height, picture);
        interlaced.interlaced = true;
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("i", height),
                            GifBuilder(7, height).Image(interlaced).Trailer().Bytes()),
                  1);
        EXPECT_EQ(TopDownIndices(other), picture) << "height " << height;
        other.Release();
    }
}

TEST_F(GifReaderTest, LocalColourTableIsRefusedWithAMessage) {
    GifImage local = MakeImage(2, 2, {1, 2, 3, 4});
    local.localTable = true;
    std::vector<uint8_t> gif =
        GifBuilder(2, 2).Image(MakeImage(2, 2, {1, 1, 1, 1})).Image(local).Trailer().Bytes();
    std::string path = dir.WriteBytes("local.gif", gif);
    EXPECT_EQ(image.LoadImage(path.c_str(), ctx.images), 0);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  "GIF frame has a local color table instead of the global one " + path});
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.next, nullptr);
    EXPECT_EQ(image.colorInfo, nullptr);
}

TEST_F(GifReaderTest, GraphicControlWithoutImageAfterTheLastFrameIsIgnored) {
    std::vector<uint8_t> gif = GifBuilder(2, 1)
                                   .Netscape(0)
                                   .Control(3)
                                   .Image(MakeImage(2, 1, {1, 2}))
                                   .Control(4)
                                   .Image(MakeImage(2, 1, {3, 4}))
                                   .Control(9)
                                   .Trailer()
                                   .Bytes();
    ASSERT_EQ(Load(gif), 1);
    EXPECT_EQ(FrameCount(image), 2);
    EXPECT_TRUE(image.next->flags & IMAGE_LAST);
    EXPECT_EQ(image.next->next, &image);
    EXPECT_EQ(image.next->delayMs, 40);
}

TEST_F(GifReaderTest, EndOfFileEndsTheFramesLikeATrailer) {
    std::vector<uint8_t> gif =
        GifBuilder(2, 1).Image(MakeImage(2, 1, {1, 2})).Image(MakeImage(2, 1, {3, 4})).Bytes();
    ASSERT_EQ(Load(gif), 1);
    EXPECT_EQ(FrameCount(image), 2);
    EXPECT_EQ(TopDownIndices(*image.next), (std::vector<uint8_t>{3, 4}));
    EXPECT_EQ(image.next->next, nullptr);
}

// Malformed image data: decoding stops cleanly and the pixels the data did not
// reach hold the transparent colour of a transparent frame, else colour 0.
TEST_F(GifReaderTest, TruncatedDataFillsTheRestOfTheFrame) {
    std::vector<uint8_t> picture(16 * 16, 7);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(1 + i % 200);
    std::vector<uint8_t> full =
        GifBuilder(16, 16).Control(0, 250).Image(MakeImage(16, 16, picture)).Trailer().Bytes();
    for (int transparent = 0; transparent < 2; ++transparent) {
        std::vector<uint8_t> bytes =
            transparent ? full : GifBuilder(16, 16).Image(MakeImage(16, 16, picture)).Bytes();
        bytes.resize(781 + (bytes.size() - 781) / 2);
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("cut", transparent), bytes), 1);
        std::vector<uint8_t> got = TopDownIndices(other);
        size_t decoded = 0;
        while (decoded < got.size() && got[decoded] == picture[decoded]) ++decoded;
        EXPECT_GT(decoded, 10u);
        EXPECT_LT(decoded, picture.size());
        uint8_t fill = transparent ? 250 : 0;
        for (size_t i = decoded; i < got.size(); ++i) ASSERT_EQ(got[i], fill) << i;
        if (transparent) {
            // The filled part is see-through.
            EXPECT_EQ(other.mask[0] & 0x80, 0x80); // bottom row, first pixel
        }
        other.Release();
    }
}

TEST_F(GifReaderTest, OddCodeStreamsEndTheFrameButNotTheFile) {
    // Codes with a 9-bit size: clear (256), 1, 2, then 400 (far above the next
    // free code 259), then 3.
    auto pack = [](std::initializer_list<unsigned> codes) {
        std::vector<uint8_t> out;
        uint32_t buffer = 0;
        int count = 0;
        for (unsigned c : codes) {
            buffer |= c << count;
            count += 9;
            while (count >= 8) {
                out.push_back(static_cast<uint8_t>(buffer));
                buffer >>= 8;
                count -= 8;
            }
        }
        if (count) out.push_back(static_cast<uint8_t>(buffer));
        return out;
    };
    std::vector<uint8_t> next = {9, 8, 7, 6};
    std::vector<std::vector<uint8_t>> broken = {
        SubBlocks(pack({256, 1, 2, 400, 3, 257}), 255), // code above the next free code
        SubBlocks(pack({256, 300, 1, 257}), 255),       // first code after a clear not a root
        SubBlocks(pack({256, 1, 2}), 255),              // data ends before the end code
        {0},                                            // no data at all
        SubBlocks(pack({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 257}), 255), // more data than pixels
        SubBlocks(pack({256, 1, 2, 3, 4, 256, 257}), 255), // clear right before the end code
    };
    std::vector<std::vector<uint8_t>> expected = {{1, 2, 0, 0}, {0, 0, 0, 0}, {1, 2, 0, 0},
                                                  {0, 0, 0, 0}, {1, 2, 3, 4}, {1, 2, 3, 4}};
    for (size_t i = 0; i < broken.size(); ++i) {
        std::vector<uint8_t> gif = GifBuilder(2, 2)
                                       .RawImage(0, 0, 2, 2, 0, 8, broken[i])
                                       .Image(MakeImage(2, 2, next))
                                       .Trailer()
                                       .Bytes();
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("bad", i), gif), 1) << i;
        EXPECT_EQ(TopDownIndices(other), expected[i]) << i;
        ASSERT_EQ(FrameCount(other), 2) << i;
        EXPECT_EQ(TopDownIndices(*other.next), next) << i;
        other.Release();
    }
}

TEST_F(GifReaderTest, MinimumCodeSizeOutsideTwoToEightDecodesNothing) {
    for (int size : {0, 1, 9, 12, 255}) {
        std::vector<uint8_t> gif = GifBuilder(3, 1)
                                       .RawImage(0, 0, 3, 1, 0, size, {3, 1, 2, 3, 0})
                                       .Image(MakeImage(3, 1, {4, 5, 6}))
                                       .Trailer()
                                       .Bytes();
        CImage other;
        ASSERT_EQ(LoadBytes(ctx.images, other, dir, GifName("m", size), gif), 1) << size;
        EXPECT_EQ(TopDownIndices(other), (std::vector<uint8_t>{0, 0, 0})) << size;
        EXPECT_EQ(TopDownIndices(*other.next), (std::vector<uint8_t>{4, 5, 6})) << size;
        other.Release();
    }
}

TEST_F(GifReaderTest, FramesTooLargeToHoldAreRefusedAtThePictureLimit) {
    // 60000 x 60000 pixels (3.6 GB) from a few bytes of data.
    std::vector<uint8_t> gif = GifBuilder(2, 2)
                                   .Image(MakeImage(2, 2, {1, 2, 3, 4}))
                                   .RawImage(0, 0, 60000, 60000, 0, 8, {2, 0x00, 0x01, 0})
                                   .Trailer()
                                   .Bytes();
    EXPECT_EQ(Load(gif), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Picture memory limit of 256 MiB reached: " +
                                                       dir.File("test.gif")});
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.next, nullptr);
    EXPECT_EQ(image.fileName, nullptr);
}

TEST_F(GifReaderTest, ExtraSubBlocksAfterTheEndCodeAreSkipped) {
    std::vector<uint8_t> data = LzwEncode({1, 2, 3, 4}, LzwOptions());
    // The code data in one sub-block, then a stray sub-block before the terminator.
    std::vector<uint8_t> blocks = SubBlocks(data, 255);
    blocks.pop_back();
    for (uint8_t b : {3, 0xAA, 0xBB, 0xCC, 0}) blocks.push_back(b);
    std::vector<uint8_t> gif = GifBuilder(2, 2)
                                   .RawImage(0, 0, 2, 2, 0, 8, blocks)
                                   .Image(MakeImage(2, 2, {5, 6, 7, 8}))
                                   .Trailer()
                                   .Bytes();
    ASSERT_EQ(Load(gif), 1);
    EXPECT_EQ(TopDownIndices(image), (std::vector<uint8_t>{1, 2, 3, 4}));
    ASSERT_EQ(FrameCount(image), 2);
    EXPECT_EQ(TopDownIndices(*image.next), (std::vector<uint8_t>{5, 6, 7, 8}));
}

TEST_F(GifReaderTest, MutatedFilesNeverReadOrWriteOutOfBounds) {
    GifBuilder b(40, 30);
    b.Netscape(0).Comment("c");
    for (int i = 0; i < 3; ++i) {
        GifImage frame = MakeImage(20 + i * 5, 10 + i * 7, TestPicture(20 + i * 5, 10 + i * 7, i));
        frame.interlaced = i == 1;
        frame.lzw.minCodeSize = 8 - i;
        frame.lzw.subBlockSize = 7 + i * 100;
        for (uint8_t& v : frame.indices)
            v &= static_cast<uint8_t>((1 << frame.lzw.minCodeSize) - 1);
        b.Control(i, i == 2 ? 5 : -1).Image(frame);
    }
    std::vector<uint8_t> base = b.Trailer().Bytes();
    uint32_t state = 99;
    auto random = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = base;
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = 13 + 768 + random() % (bytes.size() - 13 - 768);
            bytes[at] = static_cast<uint8_t>(random());
        }
        if (round % 5 == 0) bytes.resize(13 + 768 + random() % (bytes.size() - 13 - 768));
        CImage other;
        if (LoadBytes(ctx.images, other, dir, "m.gif", bytes)) {
            for (const CImage* f = &other;; f = f->next) {
                EXPECT_EQ(f->pixelBytes, f->Stride() * f->height);
                if (f->flags & IMAGE_LAST) break;
            }
        }
        other.Release();
        ResetImageState(ctx.images);
    }
}

} // namespace
