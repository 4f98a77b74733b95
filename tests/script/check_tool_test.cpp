#include "module_fixture.h"

namespace {

class CheckToolTest : public ModuleFixture {
  protected:
    int Check(const std::string& args) {
        return RunCommand(std::string(GLIMMORA_TOOL) + " check " + args + " >" + out.File("out") +
                          " 2>" + out.File("err"));
    }
    std::string Out() { return ReadFileText(out.File("out")); }
    std::string Err() { return ReadFileText(out.File("err")); }

    TempDir out;
};

const char* const THEME = "ThemeName \"Reef\"\n"
                          "Module \"Day\"\n{\nSetup\n{\n}\n" // 2-6
                          "Background\n{\nColor 0,0,80\n}\n" // 7-10
                          "Section\n{\n"                     // 11-12
                          "Feature\n{\nLabel Fish\nImage \"fish.gif\"\nStart 100\n"
                          "Movement Bounce(8, 40)\n}\n"                 // 13-19
                          "PreviewFeature\n{\nImage \"still.gif\"\n}\n" // 20-23
                          "}\n}\n"                                      // 24-25
                          "Module \"Night\"\n{\nSetup\n{\n}\n"          // 26-30
                          "Feature\n{\nSound \"bubble.wav\", 100\n"
                          "Condition OnEnd\n{\nTrigger Fish\n}\n}\n" // 31-38
                          "}\n";

TEST_F(CheckToolTest, CleanThemeAsJson) {
    std::string script = dir.Write("theme.SS", THEME);
    EXPECT_EQ(Check("--json " + script), 0);
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Out(), "{\"theme\":\"Reef\",\"modules\":["
                     "{\"name\":\"Day\",\"sections\":1,\"features\":["
                     "{\"index\":0,\"section\":0,\"label\":\"Fish\",\"image\":\"fish.gif\","
                     "\"start\":\"time\",\"duration\":\"onscreen\",\"movement\":\"bounce\"}],"
                     "\"labels\":[\"Fish\"],\"errors\":[],\"warnings\":[]},"
                     "{\"name\":\"Night\",\"sections\":0,\"features\":["
                     "{\"index\":0,\"section\":0,\"label\":null,\"image\":null,"
                     "\"start\":\"random\",\"duration\":\"onscreen\",\"movement\":\"static\"}],"
                     "\"labels\":[\"Fish\"],\"errors\":[],\"warnings\":[]}]}\n");
}

TEST_F(CheckToolTest, PreviewLoadsThePreviewBlocks) {
    std::string script = dir.Write("theme.SS", THEME);
    EXPECT_EQ(Check("--preview --json " + script), 0);
    EXPECT_NE(Out().find("\"image\":\"still.gif\""), std::string::npos);
    EXPECT_EQ(Out().find("\"image\":\"fish.gif\""), std::string::npos);
}

TEST_F(CheckToolTest, EveryModuleIsCheckedAndErrorsCarryTheirLines) {
    std::string theme = THEME;
    theme.replace(theme.find("bubble.wav"), 10, "whale.wav");
    theme.replace(theme.find("Movement Bounce(8, 40)"), 22, "Movement Bounce 8, 40");
    std::string script = dir.Write("theme.SS", theme);
    EXPECT_EQ(Check(script), 18);
    EXPECT_EQ(Err(), script + ":18: Invalid Keyword: Bounce 8, 40\n" + script +
                         ":33: File Not Found: " + Media("whale.wav") + "\n");
    EXPECT_NE(Out().find("Day"), std::string::npos);
    EXPECT_NE(Out().find("Night"), std::string::npos);

    EXPECT_EQ(Check("--json " + script), 18);
    EXPECT_NE(Out().find("\"errors\":[{\"line\":33,\"message\":\"File Not Found: "),
              std::string::npos);
}

TEST_F(CheckToolTest, QuietlyStoppedLoadingIsReported) {
    std::string script = dir.Write(
        "theme.SS", Module("A", "Feature\n{\n}\nFeature\n{\nSound \"bubble.wav\", 1, 2, 3\n}\n"));
    EXPECT_EQ(Check(script), MODULE_HEAD_LINES + 6);
    EXPECT_NE(Err().find(std::string(":") + std::to_string(MODULE_HEAD_LINES + 6) + ": "),
              std::string::npos);
}

TEST_F(CheckToolTest, SetupErrorsAndUsage) {
    std::string script = dir.Write("theme.SS", "Module \"A\"\n{\nSetup\n{\n#X \"a\"\n}\n}\n");
    EXPECT_EQ(Check(script), 5);
    EXPECT_EQ(Err(), script + ":5: Syntax Error: Invalid parameter definition\n");
    EXPECT_EQ(Check(dir.File("none.SS")), 1);
    EXPECT_EQ(Check(""), 2);
    EXPECT_EQ(Check("--json a b"), 2);
}

} // namespace

namespace {

TEST(BundledThemesTest, LoadCleanlyInBothModes) {
    const char* themes[] = {"themes/Aquarium/Aquarium.SS", "themes/Minimal/Minimal.SS"};
    TempDir out;
    for (const char* theme : themes) {
        for (const char* mode : {"", "--preview "}) {
            std::string command = std::string(GLIMMORA_TOOL) + " check " + mode +
                                  GLIMMORA_SOURCE_DIR + "/" + theme + " >" + out.File("out") +
                                  " 2>" + out.File("err");
            EXPECT_EQ(RunCommand(command), 0) << theme << " " << mode;
            EXPECT_EQ(ReadFileText(out.File("err")), "") << theme << " " << mode;
        }
    }
}

} // namespace
