// glimmora-tool render, run as a user runs it.
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
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
    EXPECT_EQ(ReadFileText(theme.File("stderr.txt")), "");
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
    EXPECT_EQ(ReadFileText(theme.File("stderr.txt")), "message: Tiny: Invalid Keyword: Bogus\n");
}

TEST_F(RenderToolTest, RejectsBadOptions) {
    theme.Write("Tiny.SS", SCRIPT);
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--size 0x0"), 2);
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--fps nope"), 2);
    EXPECT_EQ(Render("Tiny.SS", out.File("x"), "--param NoEquals"), 2);
}

} // namespace
