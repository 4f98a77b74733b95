#include "support/test_files.h"

#include <gtest/gtest.h>
#include <string>

namespace {

class SetupToolTest : public ::testing::Test {
  protected:
    int Run(const std::string& args) {
        return RunCommand(std::string(GLIMMORA_TOOL) + " setup " + args + " >" +
                          dir.File("out.txt") + " 2>" + dir.File("err.txt"));
    }
    std::string Out() { return ReadFileText(dir.File("out.txt")); }
    std::string Err() { return ReadFileText(dir.File("err.txt")); }

    TempDir dir;
};

TEST_F(SetupToolTest, PrintsTheModuleTableAsJson) {
    std::string script = dir.Write("theme.SS", "ThemeName \"Aqua \\\"rium\"\n"
                                               "Module \"Reef\"\n{\nSetup\n{\n"
                                               "#Fish \"How many\" \"Few\" \"Many\" 1 20 10\n"
                                               "# \"Unnamed\" \"l\" \"r\" 0 5 3\n"
                                               "#Speed \"Speed\" \"Slow\" \"Fast\" 200 10\n"
                                               "}\n}\n"
                                               "Module \"Night\"\n{\nSetup\n{\n}\n}\n");
    EXPECT_EQ(Run("--json " + script), 0);
    EXPECT_EQ(Out(), "{\"theme\":\"Aqua \\\\\",\"modules\":["
                     "{\"name\":\"Reef\",\"params\":["
                     "{\"name\":\"Fish\",\"caption\":\"How many\",\"left_label\":\"Few\","
                     "\"right_label\":\"Many\",\"left\":1,\"right\":20,\"default\":10},"
                     "{\"name\":\"Speed\",\"caption\":\"Speed\",\"left_label\":\"Slow\","
                     "\"right_label\":\"Fast\",\"left\":200,\"right\":10,\"default\":0}]},"
                     "{\"name\":\"Night\",\"params\":[]}]}\n");
    EXPECT_EQ(Err(), "");
}

TEST_F(SetupToolTest, PrintsTheModuleTableAsText) {
    std::string script = dir.Write("theme.SS", "ThemeName \"Aquarium\"\n"
                                               "Module \"Reef\"\n{\nSetup\n{\n"
                                               "#Fish \"How many\" \"Few\" \"Many\" 1 20 10\n"
                                               "}\n}\n");
    EXPECT_EQ(Run(script), 0);
    EXPECT_NE(Out().find("Aquarium"), std::string::npos);
    EXPECT_NE(Out().find("Reef"), std::string::npos);
    EXPECT_NE(Out().find("Fish"), std::string::npos);
}

TEST_F(SetupToolTest, ScanErrorExitsWithItsLine) {
    std::string script = dir.Write("theme.SS", "ThemeName \"T\"\n"
                                               "Module \"Good\"\n{\nSetup\n{\n}\n}\n"
                                               "Module \"Bad\"\n{\nBackground\n");
    EXPECT_EQ(Run("--json " + script), 10);
    EXPECT_EQ(Err(), script + ":10: Syntax Error: Missing keyword 'Setup' or missing '{'\n");
    // The modules found so far are still printed.
    EXPECT_EQ(Out(), "{\"theme\":\"T\",\"modules\":[{\"name\":\"Good\",\"params\":[]},"
                     "{\"name\":\"Bad\",\"params\":[]}]}\n");
}

TEST_F(SetupToolTest, MissingScriptAndUsage) {
    EXPECT_EQ(Run(dir.File("none.SS")), 1);
    EXPECT_NE(Err().find("none.SS"), std::string::npos);
    EXPECT_EQ(Run(""), 2);
    EXPECT_EQ(Run("a b"), 2);
}

} // namespace
