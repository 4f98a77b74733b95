// glimmora-preview on a private X server: a change to the script shows
// within two seconds, a broken script leaves the last good picture playing
// while its error shows, and the mended script plays again.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "support/gif_writer.h"
#include "support/test_files.h"
#include "support/x_session.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int SHOW_TIMEOUT_MS = 15000;
constexpr int CHANGE_MS = 2000; // a change shows within this time
#define LSAN_SUPPRESSIONS GLIMMORA_SOURCE_DIR "/tests/ports/qt/lsan_system_libraries.supp"

const char* const RED = "Background\n{\nColor 200, 0, 0\n}\n";

std::string Theme(const std::string& background) {
    return "ThemeName \"Bg\"\nModule \"One\"\n{\nSetup\n{\n}\n" + background + // 7-10
           "Feature\n{\nLabel Box\nImage \"box.gif\"\nPosition 200, 200\n}\n}\n";
}

class PreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.Running()) << "Xvfb could not be started";
        GifBuilder gif(10, 10);
        gif.Image(MakeImage(10, 10, std::vector<uint8_t>(100, 3))).Trailer();
        dir.WriteBytes("theme/box.gif", gif.Bytes());
        script = dir.Write("theme/Bg.SS", Theme(RED));
    }

    bool Start() {
        return preview.Start({GLIMMORA_PREVIEW_PROGRAM, "--size", "320x240", "--no-sound", script},
                             {"DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb",
                              "XDG_CONFIG_HOME=" + dir.File("config"),
                              "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS},
                             dir.File("out.txt"), dir.File("err.txt"));
    }

    // Replaces the script as editors that save by renaming do.
    void Save(const std::string& background) {
        dir.Write("theme/.Bg.SS.new", Theme(background));
        std::filesystem::rename(dir.File("theme/.Bg.SS.new"), script);
    }

    // The colour at (20, 20) of the window, 0xRRGGBB.
    uint32_t ColourShown() {
        if (!Screenshot(x.Display(), window, dir.File("shot.ppm"))) return 0xFFFFFFFF;
        RgbPicture shot;
        if (!ReadPpm(dir.File("shot.ppm"), &shot) || shot.width < 320) return 0xFFFFFFFF;
        return shot.Pixel(20, 20);
    }

    // Waits up to `ms` for the window to show `colour`; whether it did.
    bool Shows(uint32_t colour, int ms) {
        for (int waited = 0;; waited += 100) {
            if (ColourShown() == colour) return true;
            if (waited >= ms) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    std::string Title() { return XCommand(x.Display(), "xdotool getwindowname " + window); }

    XvfbServer x{800, 600};
    TempDir dir;
    std::string script;
    std::string window;
    ChildProcess preview;
};

TEST_F(PreviewTest, PlaysTheScriptAgainOnChangeAndKeepsTheLastGoodVersionWhileBroken) {
    ASSERT_TRUE(Start());
    window = WaitForOutput(x.Display(),
                           "xdotool search --onlyvisible --name '^glimmora-preview: ' | head -1",
                           SHOW_TIMEOUT_MS);
    ASSERT_NE(window, "") << ReadFileText(dir.File("err.txt"));
    ASSERT_TRUE(Shows(0xC80000, SHOW_TIMEOUT_MS));
    EXPECT_NE(Title().find("module 0 \"One\""), std::string::npos) << Title();

    Save("Background\n{\nColor 0, 0, 200\n}\n");
    EXPECT_TRUE(Shows(0x0000C8, CHANGE_MS));

    // Broken: the blue version plays on, and the error is told.
    Save("Background\n{\nColr 0, 200, 0\n}\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(ColourShown(), 0x0000C8u);
    EXPECT_NE(ReadFileText(dir.File("err.txt")).find(script + ":9: Invalid Keyword: Colr\n"),
              std::string::npos)
        << ReadFileText(dir.File("err.txt"));
    EXPECT_NE(Title().find("(not loaded: errors)"), std::string::npos) << Title();

    // Mended in place: it plays again.
    dir.Write("theme/Bg.SS", Theme("Background\n{\nColor 0, 200, 0\n}\n"));
    EXPECT_TRUE(Shows(0x00C800, CHANGE_MS));
    EXPECT_EQ(Title().find("errors"), std::string::npos) << Title();

    XCommand(x.Display(), "xdotool key --window " + window + " q");
    EXPECT_EQ(preview.Wait(5000), 0) << ReadFileText(dir.File("err.txt"));
}

} // namespace

#endif
