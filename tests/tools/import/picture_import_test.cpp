// glimmora-tool import for pictures: inputs made by ImageMagick and by hand,
// the output loaded by the saver's own loader and compared, frame by frame,
// with the input as a viewer composites it.
#include "import_fixture.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

namespace {

// Six 40x30 frames of an anti-aliased disc moving right over transparency.
const char* const DISC_FRAMES =
    "for i in 0 1 2 3 4 5; do convert -size 40x30 xc:none -fill \"rgb($((i*40)),100,200)\" "
    "-draw \"circle $((8+i*4)),15 $((14+i*4)),15\" f$i.png; done";

struct PictureCase {
    const char* name;
    const char* make;      // shell commands that make the input
    const char* args;      // import arguments before the output
    const char* reference; // composited by ImageMagick, or a list of PNG frames
    size_t frames;
    int delayMs;
    bool loops;
    int maxDifference; // 0: every visible pixel keeps its colour
    double meanDifference;
};

const PictureCase PICTURE_CASES[] = {
    {"optimised animation with a small table and disposal methods",
     "convert -delay 10 -dispose previous f*.png -loop 0 -layers Optimize in.gif", "in.gif",
     "in.gif", 6, 100, true, 0, 0},
    {"interlaced frames with local tables, a comment and background disposal",
     "convert -delay 7 -dispose background -comment hello f0.png f2.png f4.png -interlace GIF "
     "-loop 0 in.gif",
     "in.gif", "in.gif", 3, 70, true, 0, 0},
    {"a GIF played once", "convert -delay 20 f1.png f3.png in.gif", "--no-loop in.gif", "in.gif", 2,
     200, false, 0, 0},
    {"PNG frames with alpha", "true", "--delay 40 f0.png f1.png f2.png", "f0.png f1.png f2.png", 3,
     40, true, 0, 0},
    {"PNG frames played once at the default delay", "true", "--no-loop f3.png f4.png",
     "f3.png f4.png", 2, 100, false, 0, 0},
    {"a GIF with a 64-entry table", "convert -size 32x24 gradient:red-blue -colors 64 in.gif",
     "in.gif", "in.gif", 1, 0, false, 0, 0},
    {"thousands of colours",
     "convert -size 96x64 xc: -sparse-color Bilinear '0,0 red 95,0 yellow 0,63 blue 95,63 white' "
     "in.png",
     "in.png", "in.png", 1, 100, false, 40, 6},
    {"a JPEG photograph", "convert -size 48x32 gradient:red-blue -quality 92 in.jpg", "in.jpg",
     "in.jpg", 1, 100, false, 40, 6},
    {"a lossless WebP",
     "convert -size 48x32 gradient:yellow-green -define webp:lossless=true in.webp", "in.webp",
     "in.webp", 1, 100, false, 0, 0},
    {"a BMP", "convert -size 48x32 gradient:white-black BMP3:in.bmp", "in.bmp", "in.bmp", 1, 100,
     false, 0, 0},
    {"thousands of colours, dithered",
     "convert -size 96x64 xc: -sparse-color Bilinear '0,0 red 95,0 yellow 0,63 blue 95,63 white' "
     "in.png",
     "--dither in.png", "in.png", 1, 100, false, 64, 8},
};

class PictureImportTest : public ImportFixture,
                          public ::testing::WithParamInterface<PictureCase> {};

TEST_P(PictureImportTest, OutputLoadsAndShowsTheCompositedFrames) {
    const PictureCase& c = GetParam();
    Shell(DISC_FRAMES);
    Shell(c.make);
    ASSERT_EQ(Tool(std::string("import ") + c.args + " out.gif"), 0) << Err();
    // Soft edges are warned of (they lose their softness); nothing else is said.
    const std::string softEdges = "partly transparent: those less than half opaque are dropped";
    EXPECT_TRUE(Err().empty() || (Err().find(softEdges) != std::string::npos &&
                                  Err().find('\n') == Err().size() - 1))
        << Err();
    // Several frames: their order first.
    const std::string out = Out();
    const size_t report = out.rfind("frames in this order: ", 0) == 0 ? out.find('\n') + 1 : 0;
    EXPECT_EQ(out.find(Path("out.gif").substr(dir.Path().size() + 1) + ": "), report) << out;

    std::vector<Rgba> reference;
    std::string references = c.reference;
    if (references.find(".png") == std::string::npos) {
        reference = CoalescedFrames(dir, references);
    } else {
        for (size_t start = 0; start < references.size();) {
            size_t end = references.find(' ', start);
            if (end == std::string::npos) end = references.size();
            reference.push_back(ReadPngFile(Path(references.substr(start, end - start))));
            start = end + 1;
        }
    }
    reference = CropVisible(reference);

    LoadedGif loaded = LoadGif(Path("out.gif"));
    ASSERT_TRUE(loaded.loaded) << (loaded.messages.empty() ? "" : loaded.messages[0]);
    ASSERT_EQ(loaded.frames.size(), c.frames);
    ASSERT_EQ(reference.size(), c.frames);
    if (c.frames > 1) {
        EXPECT_EQ(loaded.loops, c.loops);
    }
    for (size_t i = 0; i < c.frames; ++i) {
        if (c.frames > 1) {
            EXPECT_EQ(loaded.delaysMs[i], c.delayMs) << "frame " << i;
        }
        EXPECT_LE(MaxDifference(loaded.frames[i], reference[i]), c.maxDifference) << "frame " << i;
        EXPECT_LE(MeanDifference(loaded.frames[i], reference[i]), c.meanDifference)
            << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, PictureImportTest, ::testing::ValuesIn(PICTURE_CASES),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// An animated PNG written chunk by chunk: each frame's image data is taken
// from a PNG that libpng writes.
class ApngBuilder {
  public:
    ApngBuilder(int width, int height, int plays) : width(width), height(height), plays(plays) {}

    void Frame(const Rgba& picture, int left, int top, int delayNumerator, int delayDenominator,
               int dispose, int blend) {
        png_image image;
        std::memset(&image, 0, sizeof(image));
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(picture.width);
        image.height = static_cast<png_uint_32>(picture.height);
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        ASSERT_TRUE(
            png_image_write_get_memory_size(image, size, 0, picture.pixels.data(), 0, nullptr));
        std::vector<uint8_t> png(size);
        ASSERT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, picture.pixels.data(),
                                              0, nullptr));
        std::vector<uint8_t> control;
        Put32(control, sequence++);
        Put32(control, static_cast<uint32_t>(picture.width));
        Put32(control, static_cast<uint32_t>(picture.height));
        Put32(control, static_cast<uint32_t>(left));
        Put32(control, static_cast<uint32_t>(top));
        control.insert(control.end(), {static_cast<uint8_t>(delayNumerator >> 8),
                                       static_cast<uint8_t>(delayNumerator),
                                       static_cast<uint8_t>(delayDenominator >> 8),
                                       static_cast<uint8_t>(delayDenominator),
                                       static_cast<uint8_t>(dispose), static_cast<uint8_t>(blend)});
        frames.push_back({control, {}});
        for (size_t p = 8; p + 12 <= size;) {
            uint32_t length = uint32_t{png[p]} << 24 | uint32_t{png[p + 1]} << 16 |
                              uint32_t{png[p + 2]} << 8 | png[p + 3];
            if (std::memcmp(&png[p + 4], "IDAT", 4) == 0) {
                frames.back().second.insert(frames.back().second.end(), &png[p + 8],
                                            &png[p + 8] + length);
            }
            if (std::memcmp(&png[p + 4], "IHDR", 4) == 0 && header.empty())
                header.assign(&png[p + 8], &png[p + 8] + length);
            p += length + 12;
        }
    }

    std::vector<uint8_t> Bytes() {
        std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<uint8_t> ihdr = header;
        std::vector<uint8_t> size;
        Put32(size, static_cast<uint32_t>(width));
        Put32(size, static_cast<uint32_t>(height));
        std::copy(size.begin(), size.end(), ihdr.begin());
        Chunk(out, "IHDR", ihdr);
        std::vector<uint8_t> actl;
        Put32(actl, static_cast<uint32_t>(frames.size()));
        Put32(actl, static_cast<uint32_t>(plays));
        Chunk(out, "acTL", actl);
        uint32_t fdatSequence = static_cast<uint32_t>(frames.size());
        for (size_t i = 0; i < frames.size(); ++i) {
            Chunk(out, "fcTL", frames[i].first);
            if (i == 0) {
                Chunk(out, "IDAT", frames[i].second);
            } else {
                std::vector<uint8_t> fdat;
                Put32(fdat, fdatSequence++);
                fdat.insert(fdat.end(), frames[i].second.begin(), frames[i].second.end());
                Chunk(out, "fdAT", fdat);
            }
        }
        Chunk(out, "IEND", {});
        return out;
    }

  private:
    static void Put32(std::vector<uint8_t>& out, uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
    }
    static void Chunk(std::vector<uint8_t>& out, const char* type,
                      const std::vector<uint8_t>& data) {
        Put32(out, static_cast<uint32_t>(data.size()));
        size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        Put32(out,
              static_cast<uint32_t>(crc32(0, &out[start], static_cast<uInt>(data.size() + 4))));
    }

    int width, height, plays;
    uint32_t sequence = 0;
    std::vector<uint8_t> header;
    std::vector<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> frames;
};

Rgba Filled(int width, int height, uint32_t rgba) {
    Rgba out;
    out.width = width;
    out.height = height;
    for (int i = 0; i < width * height; ++i) {
        out.pixels.insert(out.pixels.end(),
                          {static_cast<uint8_t>(rgba >> 24), static_cast<uint8_t>(rgba >> 16),
                           static_cast<uint8_t>(rgba >> 8), static_cast<uint8_t>(rgba)});
    }
    return out;
}

TEST_F(ImportFixture, AnimatedPngFramesAreCompositedWithTheirDisposalAndBlending) {
    // 1: a red field; 2: a blue square blended over it, then cleared;
    // 3: a green square over what is left (the red field with a hole).
    Rgba red = Filled(12, 8, 0xFF0000FF);
    Rgba blue = Filled(4, 4, 0x0000FFFF);
    Rgba green = Filled(2, 2, 0x00FF00FF);
    ApngBuilder apng(12, 8, 0);
    apng.Frame(red, 0, 0, 1, 10, 0, 0);
    apng.Frame(blue, 2, 2, 3, 100, 1, 1);
    apng.Frame(green, 9, 5, 1, 4, 0, 1);
    dir.WriteBytes("in.png", apng.Bytes());
    ASSERT_EQ(Tool("import in.png out.gif"), 0) << Err();
    EXPECT_EQ(Out(),
              "out.gif: 3 frames, 12x8, 3 colours, transparent, looping (from animated PNG)\n");

    Rgba expected[3] = {red, red, red};
    auto paint = [](Rgba& picture, int left, int top, int size, uint32_t rgba) {
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x)
                for (int c = 0; c < 4; ++c)
                    picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4 + c] =
                        static_cast<uint8_t>(rgba >> (24 - 8 * c));
    };
    paint(expected[1], 2, 2, 4, 0x0000FFFF);
    paint(expected[2], 2, 2, 4, 0);
    paint(expected[2], 9, 5, 2, 0x00FF00FF);
    LoadedGif loaded = LoadGif(Path("out.gif"));
    ASSERT_TRUE(loaded.loaded);
    ASSERT_EQ(loaded.frames.size(), 3u);
    EXPECT_TRUE(loaded.loops);
    EXPECT_EQ(loaded.delaysMs, (std::vector<int>{100, 30, 250}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(MaxDifference(loaded.frames[i], expected[i]), 0) << i;
}

TEST_F(ImportFixture, TheLoaderTakesASmallTableGifAsItIs) {
    Shell("convert -size 16x8 gradient:red-blue -colors 64 small.gif");
    LoadedGif loaded = LoadGif(Path("small.gif"));
    ASSERT_TRUE(loaded.loaded);
    EXPECT_EQ(MaxDifference(loaded.frames[0], CoalescedFrames(dir, "small.gif")[0]), 0);
}

struct FailureCase {
    const char* make;
    const char* args;
    int status;
    const char* message;
};

// A GIF of a `width` x `height` screen with a two-colour global table and
// `frames` frames of one pixel each.
std::vector<unsigned char> TinyFramesGif(int width, int height, int frames) {
    std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a'};
    for (int side : {width, height}) gif.insert(gif.end(), {uint8_t(side), uint8_t(side >> 8)});
    gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});
    // At 1,1, one pixel of index 0: 3-bit codes clear, 0, end.
    const unsigned char frame[] = {0x2C, 1, 0, 1, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0};
    for (int i = 0; i < frames; ++i) gif.insert(gif.end(), frame, frame + sizeof(frame));
    gif.push_back(0x3B);
    return gif;
}

struct LimitCase {
    const char* input;
    const char* message;
};

// Pictures over the limits are refused with the limit and the numbers,
// quickly and in little memory, before the frames are decoded.
TEST_F(ImportFixture, PicturesOverTheLimitsAreRefusedWithTheNumbers) {
    dir.WriteBytes("many.gif", TinyFramesGif(4, 4, 1000000));
    dir.WriteBytes("large.gif", TinyFramesGif(800, 600, 200));
    dir.WriteBytes("wide.gif", TinyFramesGif(65535, 65535, 1));
    Shell("cp '" GLIMMORA_SOURCE_DIR "/fuzz/corpus/import/apng_huge_header.png' huge.png");
    Shell("printf 'GIF89a' >big.gif && truncate -s 300M big.gif && mkfifo pipe.gif");
    const LimitCase cases[] = {
        {"many.gif", "the picture has more than 10000 frames, the most the importer takes"},
        {"large.gif", "the picture is too large: 140 frames of 800x600 pixels (67200000), over "
                      "the importer's limit of 67108864 pixels for all frames together"},
        {"wide.gif",
         "the picture is too large: 65535x65535 pixels, over the importer's limit of 67108864 "
         "pixels"},
        {"huge.png", "the picture is too large: 2852192255x4294705156 pixels, over the "
                     "importer's limit of 67108864 pixels"},
        {"big.gif", "the file is larger than 256 MiB, the most the importer reads of a picture"},
        {"pipe.gif", "not a file"},
    };
    for (const LimitCase& c : cases) {
        int status = -1;
        const long peakKb = PeakMemoryKb(std::string("import ") + c.input + " out.gif", &status);
        EXPECT_EQ(status, 1) << c.input;
        EXPECT_EQ(Err(), std::string("glimmora-tool import: ") + c.input + ": " + c.message + "\n");
        EXPECT_LT(peakKb, 100 * 1024) << c.input;
    }
    // Frames given one by one count together.
    Shell("convert -size 8000x4000 xc:red a.png && cp a.png b.png && cp a.png c.png");
    EXPECT_EQ(Tool("import a.png b.png c.png out.gif"), 1);
    EXPECT_EQ(Err(), "glimmora-tool import: c.png: the picture is too large: 3 frames of "
                     "8000x4000 pixels (96000000), over the importer's limit of 67108864 pixels "
                     "for all frames together\n");
    EXPECT_FALSE(std::filesystem::exists(Path("out.gif")));
}

TEST_F(ImportFixture, RefusesWhatItCannotReadWithAClearMessage) {
    const FailureCase cases[] = {
        {"true", "missing.gif out.gif", 1,
         "glimmora-tool import: missing.gif: cannot open it (No such file or directory)\n"},
        {"printf 'GIF89a' >cut.gif", "cut.gif out.gif", 1,
         "glimmora-tool import: cut.gif: not a readable GIF"},
        {"convert -size 4x4 xc:red r.gif", "r.gif out.png", 1,
         "glimmora-tool import: r.gif: it is a GIF picture: a picture becomes a GIF the saver "
         "shows; give the output a .gif name\n"},
        {"convert -size 4x4 xc:red r.gif && convert -size 4x4 xc:red r.png", "r.png r.gif out.gif",
         1, "glimmora-tool import: r.gif: a GIF is imported on its own, not with other frames\n"},
        {"printf 'hello' >text.wav", "text.wav out.wav", 1,
         "glimmora-tool import: text.wav: not a readable sound"},
        {"true", "only.gif", 2, "usage: glimmora-tool import"},
        {"true", "--delay x a.png b.gif", 2,
         "glimmora-tool import: --delay: unknown option, or its value"},
    };
    for (const FailureCase& c : cases) {
        Shell(c.make);
        EXPECT_EQ(Tool(std::string("import ") + c.args), c.status) << c.args;
        EXPECT_EQ(Err().rfind(c.message, 0), 0u) << c.args << ": " << Err();
    }
}

} // namespace
