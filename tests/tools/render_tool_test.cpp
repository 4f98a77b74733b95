// glimmora-tool render, run as a user runs it.
#include "support/gif_writer.h"
#include "support/test_files.h"
#include "support/wav_writer.h"
#include "support/x_session.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

const char* SCRIPT = R"(ThemeName "Tiny"
Module "One"
{
Setup
{
#Size = "Size" "Small" "Large" 10, 90, 50
}
Background
{
Color 10, 20, 30
}
Feature
{
Image "dot.gif"
Start 0
Position 10, 20
Movement 8, 0, 50
}
}
)";

class RenderToolTest : public ::testing::Test {
  protected:
    void SetUp() override { theme.WriteBytes("dot.gif", SolidGif(4, 4, 9)); }

    int Render(const std::string& script, const std::string& out, const std::string& options) {
        std::string command = std::string(GLIMMORA_TOOL) + " render " + theme.File(script) +
                              " --out " + out + " " + options + " 2>" + theme.File("stderr.txt");
        return RunCommand(command);
    }

    // What the last render printed on stderr before its closing line, which
    // must say how many passes the loop made (returned in `passes`).
    std::string Messages(long* passes = nullptr) {
        const std::string err = ReadFileText(theme.File("stderr.txt"));
        std::smatch m;
        static const std::regex closing("passes: ([0-9]+) \\(([0-9]+) per second\\)\n$");
        if (!std::regex_search(err, m, closing)) {
            ADD_FAILURE() << "no passes line in: " << err;
            return err;
        }
        if (passes) *passes = std::stol(m[1]);
        return err.substr(0, m.position(0));
    }

    TempDir theme;
    TempDir out;
};

TEST_F(RenderToolTest, WritesFramesAndSoundAtTheirTimes) {
    theme.Write("Tiny.SS", SCRIPT);
    ASSERT_EQ(Render("Tiny.SS", out.File("a"), "--seconds 1 --fps 4 --size 400x300"), 0);
    for (const char* name : {"frame-000000.png", "frame-000001.png", "frame-000002.png",
                             "frame-000003.png", "audio.wav"}) {
        EXPECT_TRUE(std::filesystem::exists(out.File(std::string("a/") + name))) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(out.File("a/frame-000004.png")));
    EXPECT_EQ(Messages(), "");
    std::string wav = ReadFileText(out.File("a/audio.wav"));
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
}

// The sound device closes once the theme falls silent; the speakers then play
// silence, and the recording keeps time with the frames to the end.
TEST_F(RenderToolTest, TheSoundLastsAsLongAsTheRenderAfterTheThemeFallsSilent) {
    std::string script = SCRIPT;
    script.replace(script.find("Movement 8, 0, 50"), 17,
                   "Movement 8, 0, 50\nSound \"blip.wav\", 80");
    theme.Write("Tiny.SS", script);
    theme.WriteBytes("blip.wav", MakeWav(RampSamples(2205))); // a tenth of a second
    ASSERT_EQ(Render("Tiny.SS", out.File("a"), "--seconds 5 --fps 1 --no-frames"), 0) << Messages();
    const std::string wav = ReadFileText(out.File("a/audio.wav"));
    const size_t fiveSeconds = 5 * 22050 * 2;                // 8-bit stereo
    ASSERT_GE(wav.size(), 44 + fiveSeconds - 22050 / 8 * 2); // within one 125 ms buffer
    EXPECT_LE(wav.size(), 44 + fiveSeconds + 22050 / 8 * 2);
    EXPECT_NE(wav.substr(44, 22050).find_first_not_of('\x80'), std::string::npos); // the blip
    EXPECT_EQ(wav.substr(wav.size() - 22050).find_first_not_of('\x80'), std::string::npos);
}

TEST_F(RenderToolTest, SameSeedGivesIdenticalOutput) {
    std::string script = SCRIPT;
    script.replace(script.find("Position 10, 20"), 15, "Position 100, Random(300, 250)");
    theme.Write("Tiny.SS", script);
    ASSERT_EQ(Render("Tiny.SS", out.File("a"), "--seconds 1 --fps 2 --seed 7"), 0);
    ASSERT_EQ(Render("Tiny.SS", out.File("b"), "--seconds 1 --fps 2 --seed 7"), 0);
    ASSERT_EQ(Render("Tiny.SS", out.File("c"), "--seconds 1 --fps 2 --seed 8"), 0);
    for (const char* name : {"frame-000000.png", "frame-000001.png", "audio.wav"}) {
        std::string a = ReadFileText(out.File(std::string("a/") + name));
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == ReadFileText(out.File(std::string("b/") + name))) << name;
    }
    bool same = ReadFileText(out.File("a/frame-000001.png")) ==
                ReadFileText(out.File("c/frame-000001.png"));
    EXPECT_FALSE(same) << "another seed draws another position";
}

TEST_F(RenderToolTest, ScriptErrorExitsWithItsLineAndPrintsTheMessage) {
    std::string script = SCRIPT;
    script.replace(script.find("Start 0"), 7, "Bogus 0");
    theme.Write("Tiny.SS", script);
    EXPECT_EQ(Render("Tiny.SS", out.File("e"), "--seconds 1"), 15);
    EXPECT_EQ(ReadFileText(theme.File("stderr.txt")),
              theme.File("Tiny.SS") + ":15: Invalid Keyword: Bogus\n");
}

TEST_F(RenderToolTest, RejectsBadOptionsNamingThem) {
    theme.Write("Tiny.SS", SCRIPT);
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--size 0x0", "render: --size: \"0x0\" is not WIDTHxHEIGHT"},
        {"--fps nope", "render: --fps: \"nope\" is not a whole number"},
        {"--param NoEquals", "render: --param: \"NoEquals\" is not NAME=VALUE"},
        {"--param Size=big", "render: --param: \"Size=big\" is not NAME=VALUE with a whole"},
        {"--param Speed=3", "render: --param Speed: module 0 has no setting of that name"},
        {"--param Size=200", "render: --param Size=200: the setting's slider runs from 10 to 90"},
        {"--gif clip.png", "render: --gif: \"clip.png\" is not a file name ending in .gif"},
        {"--video clip.avi", "render: --video: \"clip.avi\" is not a file name ending in .webm"},
        {"--module 3", "render: --module 3: the theme has 1 module(s)"},
        {"--frobnicate", "render: unknown option --frobnicate"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render("Tiny.SS", out.File("x"), c.options), 2) << c.options;
        EXPECT_EQ(ReadFileText(theme.File("stderr.txt")).rfind(c.message, 0), 0u)
            << ReadFileText(theme.File("stderr.txt"));
    }
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--param Size=20 --seconds 0"), 0);
    EXPECT_EQ(RunCommand(std::string(GLIMMORA_TOOL) + " render " + theme.Path() +
                         " --no-frames 2>/dev/null"),
              1)
        << "a folder is no script";
}

// Frame N shows engine time N x 1000 / F: a sprite shown from 100 ms for
// 300 ms is in frames 100 to 399 at 1000 frames a second.
TEST_F(RenderToolTest, FramesShowTheirExactTimes) {
    std::string script = SCRIPT;
    script.replace(script.find("Start 0"), 7, "Start 100\nDuration 300");
    script.replace(script.find("Movement 8, 0, 50"), 17, "Movement Static");
    theme.Write("Tiny.SS", script);
    ASSERT_EQ(Render("Tiny.SS", out.File("t"), "--seconds 0.45 --fps 1000 --size 80x60 --no-sound"),
              0);
    auto frame = [&](int n) {
        char name[32];
        std::snprintf(name, sizeof(name), "t/frame-%06d.png", n);
        return ReadFileText(out.File(name));
    };
    // Frame 0 comes before the banner; from frame 1 on only the sprite changes.
    const std::string without = frame(99);
    ASSERT_FALSE(without.empty());
    for (int n : {1, 400, 449}) EXPECT_EQ(frame(n), without) << n;
    for (int n : {100, 250, 399}) EXPECT_NE(frame(n), without) << n;
}

// "--exp256" counts the colours of the run and writes the module's palette
// file into the theme folder when the run ends, with its two messages.
TEST_F(RenderToolTest, Exp256WritesThePaletteFile) {
    theme.Write("Tiny.SS", SCRIPT);
    ASSERT_EQ(Render("Tiny.SS", out.File("p"), "--seconds 0.1 --no-sound --exp256"), 0);
    EXPECT_EQ(Messages(), "message: Glimmora: Palletizing, please wait...\n"
                          "message: Glimmora: Palettizing completed\n");
    const std::string palette = ReadFileText(theme.File("256COL00.PAL"));
    ASSERT_EQ(palette.size(), 1028u);
    EXPECT_EQ(palette.substr(0, 4), std::string("\x00\x03\x00\x01", 4));
}

// The clock follows the loop's sleeps: a sparse theme costs a pass for each
// change and one every 100 ms, the fixed step one per step; both show the
// same picture at every millisecond and play the same sound.
TEST_F(RenderToolTest, FollowsTheLoopsSleepsWithTheSamePictures) {
    std::string script = SCRIPT;
    script.replace(
        script.find("Start 0"), 7,
        "Start 500\nCondition InRegion (0, 0, 100, 100)\n{\nTrigger Next\n}\nDuration 600");
    script.replace(script.find("Movement 8, 0, 50"), 17, "Movement Static");
    script.insert(script.rfind("}"), "Feature\n{\nLabel Next\nImage \"dot.gif\"\n"
                                     "Start OnTrigger\nPosition 200, 20\nDuration 300\n}\n");
    theme.Write("Tiny.SS", script);
    const std::string options = "--seconds 1.5 --fps 1000 --size 80x60";
    long passes = 0;
    ASSERT_EQ(Render("Tiny.SS", out.File("loop"), options), 0);
    EXPECT_EQ(Messages(&passes), "");
    EXPECT_LE(passes, 100);
    long stepped = 0;
    ASSERT_EQ(Render("Tiny.SS", out.File("step"), options + " --step 1"), 0);
    EXPECT_EQ(Messages(&stepped), "");
    EXPECT_EQ(stepped, 1500);
    for (int n = 0; n < 1500; ++n) {
        char name[32];
        std::snprintf(name, sizeof(name), "/frame-%06d.png", n);
        ASSERT_EQ(ReadFileText(out.File("loop") + name), ReadFileText(out.File("step") + name))
            << n;
    }
    EXPECT_EQ(ReadFileText(out.File("loop/audio.wav")), ReadFileText(out.File("step/audio.wav")));
    // The region the still starts in triggers at the next tick.
    auto frame = [&](const char* name) { return ReadFileText(out.File("loop/") + name); };
    EXPECT_NE(frame("frame-000500.png"), frame("frame-000499.png"));
    EXPECT_NE(frame("frame-000501.png"), frame("frame-000500.png"));
    EXPECT_EQ(frame("frame-000502.png"), frame("frame-000501.png"));
}

// The saver stops loading at a Sound line of three values without a word and
// plays what it has read; render plays the same, says why and ends with
// that line.
TEST_F(RenderToolTest, AnIncompleteSoundLineIsReportedAndIsTheStatus) {
    theme.WriteBytes("blip.wav", MakeWav(RampSamples(100)));
    std::string script = SCRIPT;
    script.replace(script.find("Start 0"), 7, "Start 0\nSound \"blip.wav\", 100, 64, 0");
    theme.Write("Tiny.SS", script);
    EXPECT_EQ(Render("Tiny.SS", out.File("s"), "--seconds 0.2"), 16);
    EXPECT_EQ(Messages(), theme.File("Tiny.SS") +
                              ":16: Sound line not loaded: it takes one, two or five values after "
                              "the file name\n");
    EXPECT_TRUE(std::filesystem::exists(out.File("s/frame-000001.png")));
}

// A folder that holds anything is used only with --force, which removes the
// frames and sound of an earlier render and nothing else.
TEST_F(RenderToolTest, AFolderInUseIsRefusedUnlessForced) {
    theme.Write("Tiny.SS", SCRIPT);
    out.Write("x/notes.txt", "mine");
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--seconds 1 --fps 4"), 1);
    EXPECT_EQ(ReadFileText(theme.File("stderr.txt")),
              "render: " + out.File("x") +
                  " is not empty: give a new or empty folder, or --force to replace the frames "
                  "and sound of an earlier render there\n");
    EXPECT_FALSE(std::filesystem::exists(out.File("x/frame-000000.png")));
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--seconds 1 --fps 4 --force"), 0);
    EXPECT_TRUE(std::filesystem::exists(out.File("x/frame-000003.png")));
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--seconds 0.5 --fps 4"), 1);
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--seconds 0.5 --fps 4 --force"), 0);
    EXPECT_TRUE(std::filesystem::exists(out.File("x/frame-000001.png")));
    EXPECT_FALSE(std::filesystem::exists(out.File("x/frame-000002.png")));
    EXPECT_EQ(ReadFileText(out.File("x/notes.txt")), "mine");
}

// The largest difference of a colour channel between two pictures, and the
// mean of all channels' differences (1000: different sizes).
void Differences(const RgbPicture& a, const RgbPicture& b, int* most, double* mean) {
    *most = 1000;
    *mean = 1000;
    if (a.width != b.width || a.height != b.height || a.width == 0) return;
    int64_t sum = 0;
    *most = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(static_cast<int>((a.Pixel(x, y) >> shift) & 0xFF) -
                                       static_cast<int>((b.Pixel(x, y) >> shift) & 0xFF));
                *most = std::max(*most, d);
                sum += d;
            }
        }
    }
    *mean = static_cast<double>(sum) / (3.0 * a.width * a.height);
}

// The GIF clip's frames are the PNG frames: exactly when they hold at most
// 255 colours, else within the error of the table chosen from all of them.
TEST_F(RenderToolTest, AGifClipShowsThePngFramesWithinItsTablesError) {
    struct Case {
        const char* label;
        const char* background;
        int most;
        double mean;
    } cases[] = {
        {"few-colours", "Color 10, 20, 30", 0, 0},
        {"many-colours", "Image \"many.gif\"", 48, 3},
    };
    GifBuilder many(32, 32);
    GifImage all;
    all.width = all.height = 32;
    for (int i = 0; i < 32 * 32; ++i) all.indices.push_back(static_cast<uint8_t>(i / 4));
    many.Image(all).Trailer();
    theme.WriteBytes("many.gif", many.Bytes());
    for (const Case& c : cases) {
        std::string script = SCRIPT;
        script.replace(script.find("Color 10, 20, 30"), 16, c.background);
        theme.Write("Tiny.SS", script);
        const std::string folder = out.File(c.label);
        ASSERT_EQ(Render("Tiny.SS", folder,
                         "--seconds 1 --fps 5 --size 160x120 --gif " + out.File("clip.gif") + " >" +
                             out.File("said")),
                  0)
            << ReadFileText(theme.File("stderr.txt"));
        const std::string said = ReadFileText(out.File("said"));
        EXPECT_NE(said.find("clip.gif: 5 frames"), std::string::npos) << said;
        EXPECT_EQ(said.find("(reduced)") != std::string::npos, c.most > 0) << said;
        ASSERT_EQ(
            RunCommand("convert " + out.File("clip.gif") + " -coalesce " + folder + "/gif-%d.ppm"),
            0);
        for (int i = 0; i < 5; ++i) {
            char png[32];
            std::snprintf(png, sizeof(png), "/frame-%06d.png", i);
            const std::string ppm = folder + "/png-" + std::to_string(i) + ".ppm";
            ASSERT_EQ(RunCommand("convert " + folder + png + " " + ppm), 0);
            RgbPicture expected, shown;
            ASSERT_TRUE(ReadPpm(ppm, &expected));
            ASSERT_TRUE(ReadPpm(folder + "/gif-" + std::to_string(i) + ".ppm", &shown)) << i;
            int most = 0;
            double mean = 0;
            Differences(shown, expected, &most, &mean);
            EXPECT_LE(most, c.most) << c.label << " frame " << i;
            EXPECT_LE(mean, c.mean) << c.label << " frame " << i;
        }
    }
}

// The video is made by an ffmpeg program, asked for the frames and the
// sound; without one render says so and writes nothing.
TEST_F(RenderToolTest, AVideoIsMadeByFfmpegWhenItIsInstalled) {
    theme.Write("Tiny.SS", SCRIPT);
    std::filesystem::create_directories(out.File("bin"));
    const std::string fake = out.Write("bin/ffmpeg", "#!/bin/sh\n"
                                                     "printf '%s\\n' \"$@\" >\"" +
                                                         out.File("args") +
                                                         "\"\n"
                                                         "for last; do :; done\n"
                                                         "printf video >\"$last\"\n");
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    const std::string path = "PATH=" + out.File("bin") + ":/usr/bin:/bin ";
    const std::string render = std::string(GLIMMORA_TOOL) + " render " + theme.File("Tiny.SS") +
                               " --seconds 0.5 --fps 4 --video " + out.File("clip.webm");
    EXPECT_EQ(RunCommand(path + render + " >/dev/null 2>" + out.File("err")), 0)
        << ReadFileText(out.File("err"));
    EXPECT_EQ(ReadFileText(out.File("clip.webm")), "video");
    const std::string args = ReadFileText(out.File("args"));
    for (const char* word :
         {"-framerate\n4\n", "/frame-%06d.png\n", "/audio.wav\n", "libvpx-vp9", "\n-f\nwebm\n"})
        EXPECT_NE(args.find(word), std::string::npos) << word << " in\n" << args;
    // Its frames and sound were in a folder of their own, which is gone.
    for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".glimmora", 0), std::string::npos)
            << entry.path();

    EXPECT_EQ(RunCommand("PATH=/nonexistent " + render.substr(0, render.size() - 4) + "mp4 2>" +
                         out.File("err")),
              1);
    EXPECT_NE(ReadFileText(out.File("err"))
                  .find("--video needs the ffmpeg program, which is not "
                        "installed"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out.File("clip.mp4")));
}

// With a real ffmpeg, the video is one players read.
TEST_F(RenderToolTest, TheInstalledFfmpegMakesAnMp4) {
    if (RunCommand("command -v ffmpeg >/dev/null") != 0) GTEST_SKIP() << "no ffmpeg installed";
    theme.Write("Tiny.SS", SCRIPT);
    ASSERT_EQ(Render("Tiny.SS", out.File("v"), "--seconds 1 --video " + out.File("clip.mp4")), 0)
        << ReadFileText(theme.File("stderr.txt"));
    EXPECT_EQ(ReadFileText(out.File("clip.mp4")).substr(4, 4), "ftyp");
}

} // namespace
