// glimmora-tool render on big screens: pictures drawn at the largest whole
// scale at which the 800 by 600 design fits, or at the scale given.
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Box {
    int left = -1, top = -1, right = -1, bottom = -1;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << ", " << b.top << ") - (" << b.right << ", " << b.bottom << ")";
}

// The rectangle around every pixel of a PNG that is not the colour of its top
// left pixel, above the banners' text (design row 580 and below).
Box BoxNotLikeTheCorner(const std::string& path) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    const int width = static_cast<int>(image.width);
    const int height = static_cast<int>(image.height) * 580 / 600;
    Box box;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            if (p[0] == rgb[0] && p[1] == rgb[1] && p[2] == rgb[2]) continue;
            if (box.left < 0 || x < box.left) box.left = x;
            if (box.top < 0) box.top = y;
            box.right = std::max(box.right, x + 1);
            box.bottom = y + 1;
        }
    }
    return box;
}

class RenderScaleTest : public ::testing::Test {
  protected:
    int Render(const std::string& script, const std::string& out, const std::string& options) {
        std::string command = std::string(GLIMMORA_TOOL) + " render " + script + " --out " + out +
                              " --no-sound " + options + " 2>" + dir.File("stderr.txt");
        return RunCommand(command);
    }
    std::string Err() { return ReadFileText(dir.File("stderr.txt")); }
    TempDir dir;
    TempDir out;
};

// A still sprite 6 by 4 pixels with a transparent column on its left, at
// design (100, 50), on a dark blue background.
TEST_F(RenderScaleTest, SpritesGrowByTheScaleThatFitsTheScreen) {
    GifImage sprite;
    sprite.left = 2; // its offset in the GIF grows by the scale too
    sprite.top = 1;
    sprite.width = 6;
    sprite.height = 4;
    sprite.indices.assign(24, 9);
    for (int y = 0; y < 4; ++y) sprite.indices[y * 6] = 0;
    std::vector<uint8_t> rgb(768, 0); // colour 0 black, so its transparency shows nothing
    rgb[27] = 250;
    GifBuilder gif(8, 5);
    gif.ColorTable(rgb).Control(0, 0).Image(sprite).Trailer();
    dir.WriteBytes("dot.gif", gif.Bytes());
    dir.Write("Tiny.SS", "ThemeName \"Tiny\"\nModule \"One\"\n{\nSetup\n{\n}\n"
                         "Background\n{\nColor 10, 20, 30\n}\n"
                         "Feature\n{\nImage \"dot.gif\"\nStart 0\nPosition 100, 50\n}\n}\n");
    // The design position (100, 50) is window (479, 179) at 3840x2160, (319, 119) at
    // 2560x1440 and (239, 89) at 1920x1080; the opaque part begins 3 pixels
    // across and 1 down in the GIF, and is 5 by 4 pixels.
    const struct {
        const char* options;
        Box box;
    } cases[] = {
        {"--size 3840x2160", {479 + 9, 179 + 3, 479 + 9 + 15, 179 + 3 + 12}},
        {"--size 2560x1440", {319 + 6, 119 + 2, 319 + 6 + 10, 119 + 2 + 8}},
        {"--size 1920x1080", {239 + 3, 89 + 1, 239 + 3 + 5, 89 + 1 + 4}},
        {"--size 800x600", {100 + 3, 50 + 1, 100 + 3 + 5, 50 + 1 + 4}},
        {"--size 800x600 --scale 4", {100 + 12, 50 + 4, 100 + 12 + 20, 50 + 4 + 16}},
        {"--size 3840x2160 --scale 1", {479 + 3, 179 + 1, 479 + 3 + 5, 179 + 1 + 4}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string frames = out.File("r" + std::to_string(n++));
        ASSERT_EQ(Render(dir.File("Tiny.SS"), frames, std::string("--seconds 0.1 ") + c.options), 0)
            << c.options << ": " << Err();
        EXPECT_EQ(BoxNotLikeTheCorner(frames + "/frame-000000.png"), c.box) << c.options;
    }
}

// The demo's fish (48 by 30 pixels in its GIF) at 3840x2160 covers three
// times its size on the screen, at 2560x1440 twice.
TEST_F(RenderScaleTest, TheDemoFishAtThreeAndTwoTimesItsSize) {
    const std::string script = std::string(GLIMMORA_SOURCE_DIR) + "/themes/Minimal/Minimal.SS";
    // The fish itself, rendered alone at 800x600 in a theme of its own.
    std::filesystem::copy_file(std::string(GLIMMORA_SOURCE_DIR) + "/themes/Minimal/fish.gif",
                               dir.File("fish.gif"));
    dir.Write("Fish.SS", "ThemeName \"Fish\"\nModule \"One\"\n{\nSetup\n{\n}\n"
                         "Background\n{\nColor 20, 70, 130\n}\n"
                         "Feature\n{\nImage \"fish.gif\"\nStart 0\nPosition 100, 100\n}\n}\n");
    ASSERT_EQ(Render(dir.File("Fish.SS"), out.File("own"), "--seconds 0.1"), 0) << Err();
    const Box own = BoxNotLikeTheCorner(out.File("own/frame-000000.png"));
    ASSERT_GT(own.right - own.left, 20);
    for (int scale : {3, 2}) {
        const std::string size = scale == 3 ? "3840x2160" : "2560x1440";
        const std::string frames = out.File(size);
        // Frame 3 (3 s): the fish has started (from 1 to 3 s) and swims at the left.
        ASSERT_EQ(Render(script, frames, "--seconds 3.5 --fps 1 --seed 3 --size " + size), 0)
            << Err();
        const Box box = BoxNotLikeTheCorner(frames + "/frame-000003.png");
        EXPECT_EQ(box.right - box.left, scale * (own.right - own.left)) << size << " " << box;
        EXPECT_EQ(box.bottom - box.top, scale * (own.bottom - own.top)) << size << " " << box;
    }
}

TEST_F(RenderScaleTest, ScaleMustBeAWholeNumberAndNotForThePreview) {
    dir.Write("Tiny.SS", "ThemeName \"Tiny\"\nModule \"One\"\n{\nSetup\n{\n}\n}\n");
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--scale 0", "render: --scale: \"0\" is not a whole number from 1 to 16"},
        {"--scale 17", "render: --scale: \"17\" is not a whole number from 1 to 16"},
        {"--scale 2.5", "render: --scale: \"2.5\" is not a whole number from 1 to 16"},
        {"--preview --scale 2",
         "render: --scale: the preview always shows pictures at their own size"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(dir.File("Tiny.SS"), out.File("x"), c.options), 2) << c.options;
        EXPECT_EQ(Err().rfind(c.message, 0), 0u) << Err();
    }
}

} // namespace
