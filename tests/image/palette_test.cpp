// Gamma curves, palette files, the default cube and the palettizing mode.
#include "image_test_util.h"

#include "image/gamma.h"
#include "image/palette.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

int Curve(int setting, int value) {
    std::vector<uint8_t> table(768, static_cast<uint8_t>(value));
    ApplyGammaCurve(table.data(), setting);
    return table[767];
}

TEST(GammaTest, CurvesPassThroughTheirPoints) {
    EXPECT_EQ(Curve(1, 64), 86);
    EXPECT_EQ(Curve(1, 32), 43);
    EXPECT_EQ(Curve(1, 160), 177);
    EXPECT_EQ(Curve(1, 255), 254);
    EXPECT_EQ(Curve(-3, 64), 17);
    EXPECT_EQ(Curve(-3, 255), 253);
    for (int setting = -3; setting <= 3; ++setting) {
        EXPECT_EQ(Curve(setting, 0), 0);
        EXPECT_EQ(Curve(setting, 128), GAMMA_CURVES[setting + 3][1]);
        EXPECT_EQ(Curve(setting, 192), GAMMA_CURVES[setting + 3][2]);
    }
    for (int v = 0; v < 256; ++v) EXPECT_EQ(Curve(0, v), v);
    // Settings beyond the range act as its ends.
    EXPECT_EQ(Curve(7, 64), 119);
    EXPECT_EQ(Curve(-9, 64), 17);
}

TEST(GammaTest, ApplyGammaCurveActsOnEveryByte) {
    std::vector<uint8_t> table(768);
    for (int i = 0; i < 768; ++i) table[i] = static_cast<uint8_t>(i % 256);
    ApplyGammaCurve(table.data(), -1);
    EXPECT_EQ(table[64], 49);
    EXPECT_EQ(table[256 + 128], 113);
    EXPECT_EQ(table[512 + 192], 183);
}

TEST(PaletteTest, DefaultPaletteIsTheColourCube) {
    LogicalPalette palette;
    BuildDefaultPalette(&palette);
    EXPECT_EQ(palette.version, 0x0300);
    EXPECT_EQ(palette.count, 216);
    auto rgb = [&](int i) {
        const PaletteEntry& e = palette.entries[i];
        return std::vector<int>{e.red, e.green, e.blue, e.flags};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rgb(1), (std::vector<int>{0, 0, 51, 0}));
    EXPECT_EQ(rgb(6), (std::vector<int>{0, 51, 0, 0}));
    EXPECT_EQ(rgb(36), (std::vector<int>{51, 0, 0, 0}));
    EXPECT_EQ(rgb(215), (std::vector<int>{255, 255, 255, 0}));
}

TEST(PaletteTest, FileNameCarriesTheModuleNumber) {
    char name[32];
    PaletteFileName(name, sizeof(name), 3);
    EXPECT_STREQ(name, "256COL03.PAL");
    PaletteFileName(name, sizeof(name), 12);
    EXPECT_STREQ(name, "256COL12.PAL");
}

TEST(PaletteTest, ReadsPaletteFilesAndFallsBackToTheCube) {
    TempDir dir;
    LogicalPalette palette;
    EXPECT_EQ(ReadPaletteFile(dir.File("256COL00.PAL").c_str(), &palette), 0);
    EXPECT_EQ(palette.count, 216);

    std::vector<uint8_t> bytes = {0x00, 0x03, 0x00, 0x01};
    for (int i = 0; i < 256; ++i) bytes.insert(bytes.end(), {uint8_t(i), uint8_t(2 * i), 9, 0});
    EXPECT_EQ(ReadPaletteFile(dir.WriteBytes("full.pal", bytes).c_str(), &palette), 1);
    EXPECT_EQ(palette.version, 0x0300);
    EXPECT_EQ(palette.count, 256);
    EXPECT_EQ(palette.entries[255].red, 255);
    EXPECT_EQ(palette.entries[100].green, 200);
    EXPECT_EQ(palette.entries[100].blue, 9);

    // A short file keeps only its complete entries; a count above 256 is cut to 256.
    std::vector<uint8_t> shortFile(bytes.begin(), bytes.begin() + 4 + 4 * 10 + 2);
    EXPECT_EQ(ReadPaletteFile(dir.WriteBytes("short.pal", shortFile).c_str(), &palette), 1);
    EXPECT_EQ(palette.count, 10);
    bytes[2] = 0xFF;
    bytes[3] = 0x7F;
    EXPECT_EQ(ReadPaletteFile(dir.WriteBytes("many.pal", bytes).c_str(), &palette), 1);
    EXPECT_EQ(palette.count, 256);
    // No complete entry at all: the cube.
    EXPECT_EQ(ReadPaletteFile(dir.WriteBytes("empty.pal", {0, 3}).c_str(), &palette), 0);
    EXPECT_EQ(palette.count, 216);
}

class PalettizeTest : public ImageContextTest {
  protected:
    void SetUp() override {
        ResetImageState();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        ResetImageState();
    }

    static constexpr int32_t MODULE = 4;
    TempDir dir;
    std::filesystem::path previous;
};

TEST_F(PalettizeTest, WritesTheCountedColoursInKeyOrder) {
    images.exportPalettes = true;
    // 40 colours with distinct keys, each used a different number of times.
    std::vector<uint8_t> rgb(768, 0);
    for (int i = 0; i < 40; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(255 - i * 6);      // red
        rgb[3 * i + 1] = static_cast<uint8_t>(i * 4);        // green
        rgb[3 * i + 2] = static_cast<uint8_t>((i % 5) * 40); // blue
    }
    // Entry 40 differs from entry 0 only in the low bits of red: the same key.
    rgb[120] = static_cast<uint8_t>(rgb[0] - 3);
    std::vector<uint8_t> picture;
    for (int i = 0; i < 41; ++i)
        picture.insert(picture.end(), static_cast<size_t>(i + 1), uint8_t(i));
    picture.resize(41 * 21, 5);
    CImage* image = new CImage;
    std::string path = dir.WriteBytes(
        "p.gif",
        GifBuilder(41, 21).ColorTable(rgb).Image(MakeImage(41, 21, picture)).Trailer().Bytes());
    ASSERT_EQ(image->LoadImage(path.c_str(), images), 1);
    EXPECT_TRUE(images.histogram.Active());
    ReleaseAndDeleteImage(image); // releasing writes nothing
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(images.histogram.Palettize(MODULE), 1);
    EXPECT_FALSE(images.histogram.Active());
    EXPECT_TRUE(log.texts.empty()); // the run's end tells the user

    std::vector<uint8_t> file = ReadFileBytes(dir.File("256COL04.PAL"));
    ASSERT_EQ(file.size(), 1028u);
    EXPECT_EQ(file[0], 0x00);
    EXPECT_EQ(file[1], 0x03);
    EXPECT_EQ(file[2], 0x00);
    EXPECT_EQ(file[3], 0x01);
    std::vector<unsigned> keys;
    for (int i = 0; i < 40; ++i) {
        unsigned key = (rgb[3 * i + 2] >> 3) << 11 | (rgb[3 * i + 1] >> 2) << 5 | (rgb[3 * i] >> 3);
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    for (int i = 0; i < 40; ++i) {
        const uint8_t* e = file.data() + 4 + 4 * i;
        EXPECT_EQ(e[0], (keys[i] & 31) << 3) << i;
        EXPECT_EQ(e[1], ((keys[i] >> 5) & 63) << 2) << i;
        EXPECT_EQ(e[2], (keys[i] >> 11) << 3) << i;
        EXPECT_EQ(e[3], 0);
    }
    for (int i = 40; i < 256; ++i) {
        const uint8_t* e = file.data() + 4 + 4 * i;
        EXPECT_EQ(e[0] | e[1] | e[2] | e[3], 0) << i;
    }
}

TEST_F(PalettizeTest, OffModeCountsNothingAndWritesNothing) {
    CImage* image = new CImage;
    std::string path = dir.WriteBytes(
        "p.gif", GifBuilder(2, 2).Image(MakeImage(2, 2, {1, 2, 3, 4})).Trailer().Bytes());
    ASSERT_EQ(image->LoadImage(path.c_str(), images), 1);
    EXPECT_FALSE(images.histogram.Active());
    ReleaseAndDeleteImage(image);
    EXPECT_TRUE(log.texts.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("256COL04.PAL")));
    EXPECT_EQ(images.histogram.Palettize(MODULE), 0); // nothing counted: nothing happens
    EXPECT_FALSE(std::filesystem::exists(dir.File("256COL04.PAL")));
}

TEST_F(PalettizeTest, AnUncreatableFileDropsTheCountsQuietly) {
    std::filesystem::create_directory(dir.File("256COL04.PAL")); // in the way of the file
    ColorEntry colors[256] = {};
    uint8_t row[3] = {0, 1, 2};
    images.histogram.Add(colors, row, 3);
    EXPECT_EQ(images.histogram.Palettize(MODULE), 0);
    EXPECT_FALSE(images.histogram.Active());
}

} // namespace
