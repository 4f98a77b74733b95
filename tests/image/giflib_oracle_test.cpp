// Cross-checks the decoder against giflib on the committed fixtures and on a
// range of generated files: same frames, geometry, delays, transparency and
// colour indices.
#include "image_test_util.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gif_lib.h>
#include <gtest/gtest.h>

namespace {

struct OracleFrame {
    int left, top, width, height, delayMs, transparent;
    std::vector<uint8_t> indices;
};

// Decodes `path` with giflib's DGifSlurp.
bool DecodeWithGiflib(const std::string& path, std::vector<OracleFrame>* frames) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return false;
    bool ok = DGifSlurp(gif) == GIF_OK;
    for (int i = 0; ok && i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        OracleFrame f;
        f.left = saved.ImageDesc.Left;
        f.top = saved.ImageDesc.Top;
        f.width = saved.ImageDesc.Width;
        f.height = saved.ImageDesc.Height;
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
            f.delayMs = gcb.DelayTime * 10;
            f.transparent = gcb.TransparentColor;
        } else {
            f.delayMs = 66;
            f.transparent = -1;
        }
        f.indices.assign(saved.RasterBits,
                         saved.RasterBits + static_cast<size_t>(f.width) * f.height);
        frames->push_back(f);
    }
    DGifCloseFile(gif, &error);
    return ok;
}

void ExpectSameAsGiflib(ImageContext& images, const std::string& path) {
    SCOPED_TRACE(path);
    std::vector<OracleFrame> expected;
    ASSERT_TRUE(DecodeWithGiflib(path, &expected));
    CImage image;
    ASSERT_EQ(image.LoadImage(path.c_str(), images), 1);
    ASSERT_EQ(FrameCount(image), static_cast<int>(expected.size()));
    const CImage* f = &image;
    for (const OracleFrame& e : expected) {
        EXPECT_EQ(f->left, e.left);
        EXPECT_EQ(f->top, e.top);
        EXPECT_EQ(f->width, e.width);
        EXPECT_EQ(f->height, e.height);
        EXPECT_EQ(f->delayMs, e.delayMs);
        EXPECT_EQ(f->transparentIndex, e.transparent);
        EXPECT_TRUE(TopDownIndices(*f) == e.indices) << "frame " << f->frameIndex;
        f = f->next;
    }
    image.Release();
}

class GiflibOracleTest : public ImageContextTest {
  protected:
    void SetUp() override { ResetImageState(); }
    void TearDown() override { ResetImageState(); }
    TempDir dir;
};

TEST_F(GiflibOracleTest, CommittedFixturesDecodeAlike) {
    std::filesystem::path data = std::filesystem::path(GLIMMORA_SOURCE_DIR) / "tests/image/data";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        if (entry.path().extension() != ".gif") continue;
        ExpectSameAsGiflib(images, entry.path().string());
        ++count;
    }
    EXPECT_GE(count, 4);
}

TEST_F(GiflibOracleTest, GeneratedFilesDecodeAlike) {
    struct Case {
        const char* name;
        int width, height, colors;
        LzwOptions lzw;
        bool interlaced;
    };
    auto lzw = [](int size, bool initialClear, bool clearWhenFull, int subBlock) {
        LzwOptions o;
        o.minCodeSize = size;
        o.initialClear = initialClear;
        o.clearWhenFull = clearWhenFull;
        o.subBlockSize = subBlock;
        return o;
    };
    const Case cases[] = {
        {"size2", 50, 40, 4, lzw(2, true, true, 255), false},
        {"size3", 31, 17, 8, lzw(3, true, true, 255), false},
        {"size5", 64, 64, 32, lzw(5, true, true, 100), false},
        {"size7", 99, 77, 128, lzw(7, true, true, 255), false},
        {"deferred", 400, 300, 256, lzw(8, true, false, 255), false},
        {"deferred_small_codes", 300, 200, 4, lzw(2, true, false, 255), false},
        {"no_leading_clear", 90, 60, 256, lzw(8, false, true, 255), false},
        {"tiny_blocks", 70, 50, 256, lzw(8, true, true, 1), false},
        {"interlaced", 123, 77, 256, lzw(8, true, true, 255), true},
        {"one_pixel", 1, 1, 256, lzw(8, true, true, 255), false},
        {"one_column", 1, 300, 256, lzw(8, true, true, 255), false},
        {"wide_row", 1500, 3, 256, lzw(8, true, true, 255), false},
        {"screen", 800, 600, 256, lzw(8, true, true, 255), false},
        // One colour: strings grow by a pixel each code, so they run over
        // rows narrower than, as wide as and just wider than the 8-byte
        // store of a short string, and over the 8-byte steps of long ones.
        {"one_colour_7", 7, 60, 1, lzw(2, true, true, 255), false},
        {"one_colour_8", 8, 60, 1, lzw(2, true, true, 255), false},
        {"one_colour_9", 9, 60, 1, lzw(8, true, false, 255), false},
        {"two_colours_16", 16, 90, 2, lzw(2, true, true, 3), false},
    };
    for (const Case& c : cases) {
        GifImage frame =
            MakeImage(c.width, c.height, TestPicture(c.width, c.height, 1, c.colors), c.lzw);
        frame.interlaced = c.interlaced;
        GifImage second =
            MakeImage(c.width, c.height, TestPicture(c.width, c.height, 2, c.colors), c.lzw);
        std::vector<uint8_t> gif = GifBuilder(c.width, c.height)
                                       .Netscape(0)
                                       .Control(4, 3)
                                       .Image(frame)
                                       .Comment("between")
                                       .Control(9)
                                       .Image(second)
                                       .Trailer()
                                       .Bytes();
        ExpectSameAsGiflib(images, dir.WriteBytes(std::string(c.name) + ".gif", gif));
    }
}

// Writes frames of `width` x `height` with giflib's encoder, each with a
// graphic control extension.
bool EncodeWithGiflib(const std::string& path, int width, int height,
                      const std::vector<std::vector<uint8_t>>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) return false;
    std::vector<GifColorType> colors(256);
    std::vector<uint8_t> rgb = TestColorTable();
    for (int i = 0; i < 256; ++i) colors[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    for (size_t i = 0; ok && i < frames.size(); ++i) {
        GraphicsControlBlock gcb = {DISPOSAL_UNSPECIFIED, false, static_cast<int>(i + 2),
                                    i % 2 ? static_cast<int>(i) : NO_TRANSPARENT_COLOR};
        GifByteType extension[4];
        size_t length = EGifGCBToExtension(&gcb, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                 GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
        for (int row = 0; ok && row < height; ++row) {
            std::vector<GifPixelType> line(frames[i].begin() + static_cast<long>(row) * width,
                                           frames[i].begin() + static_cast<long>(row + 1) * width);
            ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
        }
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

TEST_F(GiflibOracleTest, FilesWrittenByGiflibDecodeAlike) {
    const int sizes[][2] = {{1, 1}, {17, 9}, {256, 200}, {640, 480}};
    for (const auto& size : sizes) {
        std::vector<std::vector<uint8_t>> frames;
        for (int seed = 0; seed < 3; ++seed) frames.push_back(TestPicture(size[0], size[1], seed));
        std::string path = dir.File(GifName("giflib", size[0]));
        ASSERT_TRUE(EncodeWithGiflib(path, size[0], size[1], frames));
        ExpectSameAsGiflib(images, path);
        CImage image;
        ASSERT_EQ(image.LoadImage(path.c_str(), images), 1);
        EXPECT_TRUE(TopDownIndices(*image.next->next) == frames[2]);
        image.Release();
    }
}

} // namespace
