#include "display_fixture.h"
#include "platform/video.h"
#include "support/test_files.h"

#include <png.h>

#include <vector>

namespace {

using HeadlessVideo = DisplayTest;

// Reads a PNG back as 0x00RRGGBB pixels; false when it cannot be read.
bool ReadPng(const std::string& path, int32_t* width, int32_t* height,
             std::vector<uint32_t>* pixels) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    *width = static_cast<int32_t>(image.width);
    *height = static_cast<int32_t>(image.height);
    pixels->resize(static_cast<size_t>(*width) * *height);
    for (size_t i = 0; i < pixels->size(); ++i)
        (*pixels)[i] = Rgb(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]);
    return true;
}

TEST_F(HeadlessVideo, PresentCopiesOnlyTheRectangles) {
    std::vector<uint32_t> buffer(8 * 4, 0x123456);
    const VidRect two[] = {{2, 1, 5, 3}, {6, 0, 7, 1}};
    VidPresent(buffer.data(), 8, 4, two, 2);
    EXPECT_EQ(HeadlessScreen().width, 8);
    EXPECT_EQ(HeadlessScreenPixel(2, 1), 0x123456u);
    EXPECT_EQ(HeadlessScreenPixel(4, 2), 0x123456u);
    EXPECT_EQ(HeadlessScreenPixel(6, 0), 0x123456u);
    EXPECT_EQ(HeadlessScreenPixel(5, 2), 0u);
    EXPECT_EQ(HeadlessScreenPixel(5, 0), 0u); // inside the bounds, in neither rectangle
    EXPECT_EQ(HeadlessScreenPixel(1, 1), 0u);
    EXPECT_EQ(HeadlessScreenPixel(-1, 100), 0u);
    HeadlessRect bounds = HeadlessLastPresent();
    EXPECT_EQ(bounds.left, 2);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 7);
    EXPECT_EQ(bounds.bottom, 3);
    // Rectangles reaching outside the buffer are cut.
    const VidRect beyond = {-5, -5, 50, 50};
    VidPresent(buffer.data(), 8, 4, &beyond, 1);
    EXPECT_EQ(HeadlessScreenPixel(0, 0), 0x123456u);
    EXPECT_EQ(HeadlessScreenPixel(7, 3), 0x123456u);
    EXPECT_EQ(HeadlessPresentCount(), 2);
}

TEST_F(HeadlessVideo, WritesThePictureAsPng) {
    TempDir dir;
    EXPECT_EQ(HeadlessWritePng(dir.File("none.png").c_str()), 0); // nothing presented yet
    Open(40, 30, MakeColorRef(10, 20, 30));
    TestFrame frame(5, 5, 1);
    frame.SetColor(1, 250, 128, 3);
    view.slots[view.AllocSlot()].Place(view, 7 * 16, 9 * 16, &frame.frame, true);
    view.Paint();
    ASSERT_EQ(HeadlessWritePng(dir.File("scene.png").c_str()), 1);
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(ReadPng(dir.File("scene.png"), &width, &height, &pixels));
    ASSERT_EQ(width, 40);
    ASSERT_EQ(height, 30);
    EXPECT_EQ(pixels, HeadlessScreen().pixels);
    EXPECT_EQ(pixels[9 * 40 + 7], Rgb(250, 128, 3));
    EXPECT_EQ(pixels[0], Rgb(10, 20, 30));
    EXPECT_EQ(HeadlessWritePng(dir.File("no/such/folder.png").c_str()), 0);
}

TEST_F(HeadlessVideo, FontsMeasureAndRenderWithinTheirCell) {
    VidFont* font = VidCreateFont(13, "Arial", false);
    ASSERT_NE(font, nullptr);
    int32_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    VidMeasureText(font, "i", &w1, &h1);
    VidMeasureText(font, "iW", &w2, &h2);
    EXPECT_EQ(h1, 13);
    EXPECT_GT(w1, 0);
    EXPECT_GT(w2, w1 * 2);
    VidMeasureText(font, "", &w1, &h1);
    EXPECT_EQ(w1, 0);
    // Bold is wider; other faces resolve to their Liberation counterparts.
    VidFont* bold = VidCreateFont(13, "arial", true);
    VidFont* mono = VidCreateFont(13, "Courier New", false);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(mono, nullptr);
    int32_t plain = 0, wide = 0, fixedI = 0, fixedW = 0;
    VidMeasureText(font, "Glimmora Glimmora", &plain, nullptr);
    VidMeasureText(bold, "Glimmora Glimmora", &wide, nullptr);
    VidMeasureText(mono, "i", &fixedI, nullptr);
    VidMeasureText(mono, "W", &fixedW, nullptr);
    EXPECT_GT(wide, plain);
    EXPECT_EQ(fixedI, fixedW);

    // Rendering stays inside the buffer it is given, also when too small.
    std::vector<uint8_t> coverage(20 * 10 + 64, 0xAA);
    ASSERT_EQ(VidRenderText(font, "Wide text that will not fit", coverage.data(), 20, 10, 20), 1);
    int ink = 0;
    for (int i = 0; i < 200; ++i) ink += coverage[i] != 0xAA;
    EXPECT_GT(ink, 0);
    for (size_t i = 200; i < coverage.size(); ++i) ASSERT_EQ(coverage[i], 0xAA);
    EXPECT_EQ(VidRenderText(font, "x", coverage.data(), 0, 10, 20), 0);
    // Bytes above 0x7F are Windows-1252 characters.
    int32_t euro = 0;
    VidMeasureText(font, "\x80", &euro, nullptr);
    EXPECT_GT(euro, 0);
    VidDeleteFont(font);
    VidDeleteFont(bold);
    VidDeleteFont(mono);
    VidDeleteFont(nullptr);
}

} // namespace
