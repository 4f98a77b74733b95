// glimmora-tool render, run as a user runs it.
#include "support/gif_writer.h"
#include "support/test_files.h"

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
    void SetUp() override {
        GifImage dot;
        dot.width = 4;
        dot.height = 4;
        dot.indices.assign(16, 9);
        GifBuilder gif(4, 4);
        gif.Image(dot).Trailer();
        theme.WriteBytes("dot.gif", gif.Bytes());
    }

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

} // namespace
