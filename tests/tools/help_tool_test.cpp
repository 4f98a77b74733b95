// Every command of glimmora-tool explains itself: --help prints everything it
// takes on stdout and succeeds.
#include "support/test_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class HelpToolTest : public ::testing::Test {
  protected:
    int Tool(const std::string& args) {
        return RunCommand(std::string(GLIMMORA_TOOL) + " " + args + " >" + out.File("out") + " 2>" +
                          out.File("err"));
    }
    std::string Out() { return ReadFileText(out.File("out")); }
    std::string Err() { return ReadFileText(out.File("err")); }

    TempDir out;
};

TEST_F(HelpToolTest, EveryCommandListsEveryOptionOnStdout) {
    const struct {
        const char* command;
        std::vector<const char*> options;
    } cases[] = {
        {"check", {"--preview", "--strict", "--json", "Exit status"}},
        {"render",
         {"--out", "--force", "--gif", "--video", "--size", "--seconds", "--fps", "--seed",
          "--module N", "counting from 0", "--preview", "--param", "--gamma", "--no-sound",
          "--step", "--no-frames", "--exp256"}},
        {"import",
         {"--delay", "--no-loop", "--dither", "--matte", "--screen", "--keep-order", "--gain",
          "--normalize", "JPEG", "WebP", "BMP"}},
        {"preview", {"--size", "--module", "--preview", "--no-sound", "keys:"}},
        {"setup", {"--json"}},
        {"gif-info", {"--json"}},
        {"wav-info", {"FILE"}},
        {"install-theme", {"--uninstall", "--name"}},
        {"scramble", {"IN OUT"}},
        {"unscramble", {"IN OUT"}},
    };
    for (const auto& c : cases) {
        for (const char* form : {" --help", " -h", " x --help"}) {
            EXPECT_EQ(Tool(c.command + std::string(form)), 0) << c.command << form;
            EXPECT_EQ(Err(), "") << c.command;
            const std::string help = Out();
            EXPECT_NE(help.find("usage: glimmora-"), std::string::npos) << c.command;
            for (const char* option : c.options)
                EXPECT_NE(help.find(option), std::string::npos) << c.command << ": " << option;
        }
    }
    for (const char* form : {"--help", "-h", "help"}) {
        EXPECT_EQ(Tool(form), 0) << form;
        for (const auto& c : cases)
            EXPECT_NE(Out().find(std::string("  ") + c.command + " "), std::string::npos)
                << c.command;
    }
    EXPECT_EQ(Tool("help render"), 0);
    EXPECT_NE(Out().find("--video"), std::string::npos);
    EXPECT_EQ(Tool(""), 2);
    EXPECT_NE(Err().find("usage: glimmora-tool COMMAND"), std::string::npos);
    EXPECT_EQ(Tool("frobnicate"), 2);
    EXPECT_NE(Err().find("no command \"frobnicate\""), std::string::npos);
}

} // namespace
