// The headless port's windows, pictures and fonts.
#include "platform/video.h"
#include "ports/headless/headless_port.h"
#include "support/test_files.h"
#include "support/test_frames.h"

#include <gtest/gtest.h>

#include <png.h>

#include <vector>

namespace {

// A window that accepts its creation and ignores everything else.
struct QuietWindow : WindowEventSink {
    bool OnWindowEvent(const WindowEvent& e) override { return e.type == WindowEventType::Create; }
};

class HeadlessVideo : public ::testing::Test {
  protected:
    WindowId Window() {
        WindowLayout layout{};
        layout.right = 8;
        layout.bottom = 4;
        return port.windows.Create(layout, sink);
    }
    HeadlessPort port;
    QuietWindow sink;
};

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
    const WindowId window = Window();
    ASSERT_NE(window, 0u);
    std::vector<uint32_t> buffer(8 * 4, 0x123456);
    const VidFrame frame{buffer.data(), 8, 4};
    const VidRect two[] = {{2, 1, 5, 3}, {6, 0, 7, 1}};
    port.windows.Present(window, frame, two, 2);
    EXPECT_EQ(port.windows.Screen().width, 8);
    EXPECT_EQ(port.windows.ScreenPixel(2, 1), 0x123456u);
    EXPECT_EQ(port.windows.ScreenPixel(4, 2), 0x123456u);
    EXPECT_EQ(port.windows.ScreenPixel(6, 0), 0x123456u);
    EXPECT_EQ(port.windows.ScreenPixel(5, 2), 0u);
    EXPECT_EQ(port.windows.ScreenPixel(5, 0), 0u); // inside the bounds, in neither rectangle
    EXPECT_EQ(port.windows.ScreenPixel(1, 1), 0u);
    EXPECT_EQ(port.windows.ScreenPixel(-1, 100), 0u);
    HeadlessRect bounds = port.windows.LastPresent();
    EXPECT_EQ(bounds.left, 2);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 7);
    EXPECT_EQ(bounds.bottom, 3);
    // Rectangles reaching outside the buffer are cut.
    const VidRect beyond = {-5, -5, 50, 50};
    port.windows.Present(window, frame, &beyond, 1);
    EXPECT_EQ(port.windows.ScreenPixel(0, 0), 0x123456u);
    EXPECT_EQ(port.windows.ScreenPixel(7, 3), 0x123456u);
    EXPECT_EQ(port.windows.PresentCount(), 2);
}

TEST_F(HeadlessVideo, WritesThePictureAsPng) {
    TempDir dir;
    // nothing presented yet
    EXPECT_EQ(HeadlessWritePng(port.windows.Screen(), dir.File("none.png").c_str()), 0);
    std::vector<uint32_t> buffer(40 * 30, Rgb(10, 20, 30));
    buffer[9 * 40 + 7] = Rgb(250, 128, 3);
    const VidRect all = {0, 0, 40, 30};
    port.windows.Present(Window(), {buffer.data(), 40, 30}, &all, 1);
    ASSERT_EQ(HeadlessWritePng(port.windows.Screen(), dir.File("scene.png").c_str()), 1);
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(ReadPng(dir.File("scene.png"), &width, &height, &pixels));
    ASSERT_EQ(width, 40);
    ASSERT_EQ(height, 30);
    EXPECT_EQ(pixels, port.windows.Screen().pixels);
    EXPECT_EQ(pixels[9 * 40 + 7], Rgb(250, 128, 3));
    EXPECT_EQ(pixels[0], Rgb(10, 20, 30));
    EXPECT_EQ(HeadlessWritePng(port.windows.Screen(), dir.File("no/such/folder.png").c_str()), 0);
}

TEST_F(HeadlessVideo, FontsMeasureAndRenderWithinTheirCell) {
    FontSource& fonts = port.fonts;
    VidFont* font = fonts.MakeFont(13, "Arial", false);
    ASSERT_NE(font, nullptr);
    int32_t w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    fonts.MeasureText(font, "i", &w1, &h1);
    fonts.MeasureText(font, "iW", &w2, &h2);
    EXPECT_EQ(h1, 13);
    EXPECT_GT(w1, 0);
    EXPECT_GT(w2, w1 * 2);
    fonts.MeasureText(font, "", &w1, &h1);
    EXPECT_EQ(w1, 0);
    // Bold is wider; other faces resolve to their Liberation counterparts.
    VidFont* bold = fonts.MakeFont(13, "arial", true);
    VidFont* mono = fonts.MakeFont(13, "Courier New", false);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(mono, nullptr);
    int32_t plain = 0, wide = 0, fixedI = 0, fixedW = 0;
    fonts.MeasureText(font, "Glimmora Glimmora", &plain, nullptr);
    fonts.MeasureText(bold, "Glimmora Glimmora", &wide, nullptr);
    fonts.MeasureText(mono, "i", &fixedI, nullptr);
    fonts.MeasureText(mono, "W", &fixedW, nullptr);
    EXPECT_GT(wide, plain);
    EXPECT_EQ(fixedI, fixedW);

    // Rendering stays inside the buffer it is given, also when too small.
    std::vector<uint8_t> coverage(20 * 10 + 64, 0xAA);
    ASSERT_EQ(fonts.RenderText(font, "Wide text that will not fit", coverage.data(), 20, 10, 20),
              1);
    int ink = 0;
    for (int i = 0; i < 200; ++i) ink += coverage[i] != 0xAA;
    EXPECT_GT(ink, 0);
    for (size_t i = 200; i < coverage.size(); ++i) ASSERT_EQ(coverage[i], 0xAA);
    EXPECT_EQ(fonts.RenderText(font, "x", coverage.data(), 0, 10, 20), 0);
    // Text is UTF-8: a euro sign is one character, as wide as its glyph,
    // and a byte that begins no character counts as one replacement sign.
    int32_t euro = 0, e = 0, cafe = 0, caf = 0, accent = 0, stray = 0;
    fonts.MeasureText(font, "\xE2\x82\xAC", &euro, nullptr);
    fonts.MeasureText(font, "e", &e, nullptr);
    fonts.MeasureText(font, "Caf\xC3\xA9", &cafe, nullptr);
    fonts.MeasureText(font, "Caf", &caf, nullptr);
    fonts.MeasureText(font, "\xC3\xA9", &accent, nullptr);
    fonts.MeasureText(font, "\xE9", &stray, nullptr);
    EXPECT_GT(euro, 0);
    EXPECT_EQ(accent, e); // the same advance as its letter
    EXPECT_EQ(cafe, caf + accent);
    EXPECT_GT(stray, 0);
    fonts.FreeFont(font);
    fonts.FreeFont(bold);
    fonts.FreeFont(mono);
    fonts.FreeFont(nullptr);
}

} // namespace
