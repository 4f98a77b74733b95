// The bundled themes through glimmora-tool: every module loads cleanly in both
// block sets, and plays at full and preview size without a single message.
#include "support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string ThemeScript(const std::string& theme) {
    return std::string(GLIMMORA_SOURCE_DIR) + "/themes/" + theme + "/" + theme + ".SS";
}

class ThemeToolTest : public ::testing::Test {
  protected:
    // Runs glimmora-tool with `args`; its output goes to files in `out`.
    int Tool(const std::string& args) {
        return RunCommand(std::string(GLIMMORA_TOOL) + " " + args + " >" + out.File("stdout") +
                          " 2>" + out.File("stderr"));
    }
    std::string Out() { return ReadFileText(out.File("stdout")); }
    std::string Err() { return ReadFileText(out.File("stderr")); }

    // Renders four seconds of one module and expects a clean run: exit code 0,
    // no message, the frames on disk, and the sound when it was asked for.
    void ExpectCleanRender(const std::string& theme, int module, const std::string& size,
                           bool preview, bool sound) {
        TempDir frames;
        std::string args = "render " + ThemeScript(theme) + " --out " + frames.Path() + " --size " +
                           size + " --seconds 4 --fps 2 --module " + std::to_string(module);
        if (preview) args += " --preview";
        if (!sound) args += " --no-sound";
        SCOPED_TRACE(args);
        EXPECT_EQ(Tool(args), 0);
        const std::string err = Err(); // only the closing count of passes
        EXPECT_EQ(err.rfind("passes: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_EQ(Out(), "");
        EXPECT_TRUE(std::filesystem::exists(frames.File("frame-000000.png")));
        EXPECT_TRUE(std::filesystem::exists(frames.File("frame-000007.png")));
        EXPECT_EQ(std::filesystem::exists(frames.File("audio.wav")), sound);
    }

    TempDir out;
};

TEST_F(ThemeToolTest, BothThemesCheckCleanInBothBlockSets) {
    for (const char* theme : {"Aquarium", "Minimal"}) {
        for (const char* preview : {"", "--preview "}) {
            SCOPED_TRACE(std::string(theme) + " " + preview);
            EXPECT_EQ(Tool(std::string("check ") + preview + ThemeScript(theme)), 0);
            EXPECT_EQ(Err(), "");
            EXPECT_NE(Out().find("module 0:"), std::string::npos);
        }
    }
}

TEST_F(ThemeToolTest, AquariumHasThreeModulesWithFeaturesInBothBlockSets) {
    for (const char* preview : {"", "--preview "}) {
        ASSERT_EQ(Tool(std::string("check ") + preview + ThemeScript("Aquarium")), 0);
        const std::string text = Out();
        for (const char* module : {"module 0:", "module 1:", "module 2:"}) {
            const size_t at = text.find(module);
            ASSERT_NE(at, std::string::npos) << preview << module;
            const std::string line = text.substr(at, text.find('\n', at) - at);
            EXPECT_EQ(line.find(" 0 features"), std::string::npos) << line;
            EXPECT_EQ(line.find(" 0 sections"), std::string::npos) << line;
        }
    }
}

TEST_F(ThemeToolTest, EveryAquariumModuleRendersFullSizeWithoutAMessage) {
    for (int module = 0; module < 3; ++module) {
        ExpectCleanRender("Aquarium", module, "800x600", false, module == 0);
    }
}

TEST_F(ThemeToolTest, EveryAquariumModuleRendersInThePreviewWithoutAMessage) {
    for (int module = 0; module < 3; ++module) {
        ExpectCleanRender("Aquarium", module, "152x112", true, false);
    }
}

TEST_F(ThemeToolTest, MinimalRendersAtBothSizesWithoutAMessage) {
    ExpectCleanRender("Minimal", 0, "800x600", false, false);
    ExpectCleanRender("Minimal", 0, "152x112", true, false);
}

} // namespace
