#include "base/memory_budget.h"
#include "image/screen_frame.h"
#include "support/module_fixture.h"

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
                          "Feature\n{\nSound \"bubble.wav\", 100\nLabel Fish\n"
                          "Condition OnEnd\n{\nTrigger Fish\n}\n}\n" // 31-39
                          "}\n";

TEST_F(CheckToolTest, CleanThemeAsJson) {
    std::string script = dir.Write("theme.SS", THEME);
    EXPECT_EQ(Check("--json " + script), 0);
    EXPECT_EQ(Err(), "");
    // fish.gif: 4 frames of 4 x 3 with a mask that marks nothing: per frame
    // the indices and the mask, and converted one block of the record and its
    // rows.
    auto fish = [](int scale) {
        const int64_t head = static_cast<int64_t>((sizeof(ScreenFrame) + 7) & ~size_t{7});
        return std::to_string(4 * (2 * BlockCost(12) + BlockCost(head + 4 * scale * 3 * 4)));
    };
    EXPECT_EQ(Out(), "{\"theme\":\"Reef\",\"modules\":["
                     "{\"name\":\"Day\",\"sections\":1,\"features\":["
                     "{\"index\":0,\"section\":0,\"label\":\"Fish\",\"image\":\"fish.gif\","
                     "\"start\":\"time\",\"duration\":\"onscreen\",\"movement\":\"bounce\"}],"
                     "\"labels\":[\"Fish\"],\"errors\":[],\"warnings\":[],"
                     "\"pixelMemory\":{\"1\":" +
                         fish(1) + ",\"2\":" + fish(2) + ",\"3\":" + fish(3) + ",\"4\":" + fish(4) +
                         "}},"
                         "{\"name\":\"Night\",\"sections\":0,\"features\":["
                         "{\"index\":0,\"section\":0,\"label\":\"Fish\",\"image\":null,"
                         "\"start\":\"random\",\"duration\":\"onscreen\",\"movement\":\"static\"}],"
                         "\"labels\":[\"Fish\"],\"errors\":[],\"warnings\":[],"
                         "\"pixelMemory\":{\"1\":0,\"2\":0,\"3\":0,\"4\":0}}],\"warnings\":[],"
                         "\"warning_lines_not_shown\":0}\n");
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

// Five misspellings, five errors in one pass, each with the word or file
// name probably meant.
TEST_F(CheckToolTest, FiveTyposGiveFiveErrorsEachWithItsSuggestion) {
    WriteGif("moon.gif", 1, 0);
    WriteWav("click.wav", 100);
    const int b = MODULE_HEAD_LINES;
    std::string script = dir.Write(
        "theme.SS", Module("A", "Feature\n{\nImage \"moon.gif\"\nPostion 100, 50\n}\n"
                                "Feature\n{\nMovment 4, 0, 40\nSound \"clik.wav\", 100\n}\n"
                                "Feature\n{\nImage \"mon.gif\"\nFade FadInOut(10, 50)\n}\n"));
    EXPECT_EQ(Check(script), b + 4);
    auto line = [&](int n) { return script + ":" + std::to_string(b + n) + ": "; };
    EXPECT_EQ(Err(), line(4) + "Invalid Keyword: Postion (did you mean \"Position\"?)\n" + line(8) +
                         "Invalid Keyword: Movment (did you mean \"Movement\"?)\n" + line(9) +
                         "File Not Found: " + Media("clik.wav") +
                         " (did you mean \"click.wav\"?)\n" + line(13) + "File Not Found: " +
                         Media("mon.gif") + " (did you mean \"moon.gif\"?)\n" + line(14) +
                         "Invalid Keyword: FadInOut(10, 50) (did you mean \"FadeInOut\"?)\n");
    EXPECT_EQ(Check("--json " + script), b + 4);
    EXPECT_NE(Out().find("\"message\":\"Invalid Keyword: Postion\",\"suggestion\":\"Position\""),
              std::string::npos)
        << Out();
}

// After an error reading goes on from the next line, or past the block the
// error is in; a block without its "{" is taken to end at the next "}".
TEST_F(CheckToolTest, ReadsOnAfterAnErrorToTheNextLineOrBlock) {
    const int b = MODULE_HEAD_LINES;
    struct Case {
        const char* label;
        std::string script;
        std::vector<std::pair<int, std::string>> errors;
    } cases[] = {
        {"a command block",
         Module("A", "Feature\n{\nCondition OnEnd\n{\nJump Fish\nStop\n}\nPostion 1, 2\n}\n"),
         {{b + 5, "Invalid Keyword: Jump"}, {b + 8, "Invalid Keyword: Postion"}}},
        {"a block without its opener",
         Module("A", "Feature\nImage \"fish.gif\"\n}\nFeature\n{\nBogus\n}\n"),
         {{b + 2, "Syntax Error: Missing '{'"}, {b + 6, "Invalid Keyword: Bogus"}}},
        {"an opener missing at a section's end",
         Module("A", "Section\n{\nFeature\n}\nFeature\n{\nBogus\n}\n"),
         {{b + 4, "Syntax Error: Missing '{'"}, {b + 7, "Invalid Keyword: Bogus"}}},
        {"a background block",
         Module("A", "Background\n{\nColour 1, 2, 3\nImage \"sky.gif\"\n}\n"),
         {{b + 3, "Invalid Keyword: Colour"}, {b + 4, "File Not Found: sky.gif"}}},
        {"a sound line of three values",
         Module("A", "Feature\n{\nSound \"bubble.wav\", 1, 2, 3\nBogus\n}\n"),
         {{b + 3, "Sound line not loaded: it takes one, two or five values after the file name"},
          {b + 4, "Invalid Keyword: Bogus"}}},
        {"two settings",
         Module("A", "Feature\n{\nBogus\n}\n", "#X \"a\"\n#Y \"b\"\n"),
         {{5, "Syntax Error: Invalid parameter definition"},
          {6, "Syntax Error: Invalid parameter definition"},
          {b + 5, "Invalid Keyword: Bogus"}}},
    };
    for (const Case& c : cases) {
        std::string script = dir.Write("theme.SS", c.script + Module("B", "Feature\n{\n}\n"));
        EXPECT_EQ(Check(script), c.errors.front().first) << c.label;
        std::vector<std::string> errors; // the lines that are no warnings
        const std::string err = Err();
        for (size_t start = 0; start < err.size();) {
            const size_t end = err.find('\n', start);
            const std::string line = err.substr(start, end - start);
            if (line.find(": warning: ") == std::string::npos) errors.push_back(line);
            start = end + 1;
        }
        ASSERT_EQ(errors.size(), c.errors.size()) << c.label << "\n" << err;
        for (size_t i = 0; i < errors.size(); ++i) {
            const std::string expected =
                script + ":" + std::to_string(c.errors[i].first) + ": " + c.errors[i].second;
            EXPECT_EQ(errors[i].rfind(expected, 0), 0u) << c.label << "\n" << err;
        }
        EXPECT_NE(Out().find("module 1: B: 0 sections, 1 features"), std::string::npos)
            << c.label << "\n"
            << Out();
    }
}

TEST_F(CheckToolTest, StrictFailsOnWarningsAlone) {
    std::string script = dir.Write("theme.SS", Module("A", "Feature\n{\nPosition Random\n}\n"));
    EXPECT_EQ(Check(script), 0);
    EXPECT_EQ(Check("--strict " + script), 1);
    script = dir.Write("theme.SS", Module("A", "Feature\n{\nPosition Random\nBogus\n}\n"));
    EXPECT_EQ(Check("--strict " + script), MODULE_HEAD_LINES + 4);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// What a theme author is told of things that load without an error but not as
// written: one warning each, on its line, the status unchanged unless --strict.
TEST_F(CheckToolTest, WarnsOfWhatLoadsOtherwiseThanWritten) {
    const int body = MODULE_HEAD_LINES; // the line before a module's first body line
    const std::string fish = "Feature\n{\nLabel Fish\n}\n";
    std::string labelled; // 64 features, each with a label of its own
    for (int i = 0; i < 64; ++i) labelled += "Feature\n{\nLabel L" + std::to_string(i) + "\n}\n";
    struct Case {
        std::string script;
        int line;
        std::string text;
    } cases[] = {
        {Module("A", "Section\nFeature\n{\n}\n"), body + 1,
         "\"Section\" without \"{\" on the next line"},
        {Module("A", "Feature\n{\n}\n") + "#if 0\n", body + 5, "\"#if 0\" is not closed"},
        {Module("A", fish + "Feature\n{\nCondition OnEnd\n{\n" + Repeat("Trigger Fish\n", 13) +
                         "EndSection\n}\n}\n"),
         body + 22, "command ignored: the commands of a condition take at most 39"},
        {Module("A", Repeat("Feature\n{\n}\n", 101)), body + 301, "feature ignored"},
        {Module("A", Repeat("Section\n{\n}\n", 11)), body + 31, "section ignored"},
        {Repeat(Module("A", ""), 17), 16 * 6 + 1, "module ignored"},
        {Module("A", labelled + "Feature\n{\nLabel Extra\n}\n"), body + 64 * 4 + 3,
         "label \"Extra\" is not added"},
        {Module("A", "Feature\n{\nStart 100" + std::string(130, ' ') + "\n}\n"), body + 3,
         "line longer than 126 characters"},
        {Module("A", "", "#Size \"S\" \"a\" \"b\" 0, 9\n#SizeBig \"B\" \"a\" \"b\" 0, 9\n"), 6,
         "setting #SizeBig begins with the name of setting #Size"},
        {Module("A", "", "# \"S\" \"a\" \"b\" 0, 9\n"), 5, "a setting without a name"},
        {Module("A", "Feature\n{\nStart -500\n}\n"), body + 3, "the \"-\" right after \"Start\""},
        {Module("A", "Feature\n{\nMovement #Dx, 0, 40\n}\n"), body + 3,
         "the \"#\" right after \"Movement\""},
        {Module("A", "Feature\n{\nPosition Random\n}\n"), body + 3, "\"Position Random\""},
        {Module("A", "Feature\n{\nMovement Pattern(40, {1,0,3})\n}\n"), body + 3,
         "pattern steps not read"},
        {Module("A", "Feature\n{\nMovement Wiggle, 3\n}\n"), body + 3,
         "\"Movement Wiggle\": \"Wiggle\" is not a word of Movement lines"},
        {Module("A", "Feature\n{\nDuration Forever\n}\n"), body + 3,
         "\"Duration Forever\": \"Forever\" is not a word of Duration lines"},
        {Module("A", "Feature\n{\nStart Group(Pod, Random, 0)\n}\n"), body + 3,
         "a blank before \"Random\" in \"Start Group\""},
        {Module("A", "Feature\n{\nCondition OnEnd\n{\nTrigger Nobody\n}\n}\n"), body + 5,
         "label \"Nobody\" is named but no feature carries it"},
        {Module("A", "Bogus\n"), body + 1, "line ignored: \"Bogus\""},
        {Module("A", "Feature\n{\nImage \"fish.gif\"\nSound \"bubble.wav\", 100\nStart 100\n}\n"),
         body + 6, "the Sound of a feature that starts at 100 ms"},
    };
    for (const Case& c : cases) {
        std::string script = dir.Write("theme.SS", c.script);
        EXPECT_EQ(Check(script), 0) << c.text;
        const std::string expected = script + ":" + std::to_string(c.line) + ": warning: " + c.text;
        EXPECT_EQ(Err().rfind(expected, 0), 0u) << Err();
        EXPECT_EQ(Check("--strict " + script), 1) << c.text; // warnings alone
        EXPECT_EQ(Check("--json " + script), 0);
        EXPECT_NE(Out().find("{\"line\":" + std::to_string(c.line) + ",\"message\":\"warning: "),
                  std::string::npos)
            << Out();
    }
}

TEST_F(CheckToolTest, ErrorsForWhatIsNoTheme) {
    struct Case {
        std::string file, content, message;
    } cases[] = {
        {"empty.SS", "", ": the script is empty"},
        {"name.SS", "ThemeName \"Only a name\"\n", ": no module: a theme needs at least one"},
    };
    for (const Case& c : cases) {
        std::string script = dir.Write(c.file, c.content);
        EXPECT_EQ(Check(script), 1) << c.file;
        EXPECT_EQ(Err().rfind(script + c.message, 0), 0u) << Err();
    }
    EXPECT_EQ(Check(dir.Path()), 1);
    EXPECT_EQ(Err(), dir.Path() + ": is a folder, not a theme script\n");

    // A GIF without any frame is named as such, on its line.
    dir.WriteBytes("empty.gif", GifBuilder(4, 4).Trailer().Bytes());
    std::string script = dir.Write("theme.SS", Module("A", "Feature\n{\nImage \"empty.gif\"\n}\n"));
    EXPECT_EQ(Check(script), MODULE_HEAD_LINES + 3);
    EXPECT_EQ(Err(), script + ":8: GIF file has no image in it " + Media("empty.gif") + "\n");
}

// The status is the line of the first error; where only 8 bits reach the
// caller, lines from 255 on give 255, never a status that reads as success.
TEST_F(CheckToolTest, ExitStatusIsTheErrorLineHeldTo255) {
    for (int line : {12, 255, 256, 268}) {
        const int blank = line - MODULE_HEAD_LINES - 3;
        std::string script = dir.Write(
            "theme.SS", Module("A", "Feature\n{\n" + std::string(blank, '\n') + "Bogus 1\n}\n"));
        EXPECT_EQ(Check(script), line < 255 ? line : 255) << line;
        EXPECT_EQ(Err(), script + ":" + std::to_string(line) + ": Invalid Keyword: Bogus\n");
        const std::string command = std::string(GLIMMORA_TOOL) + " render " + script +
                                    " --no-frames --no-sound --seconds 0 2>/dev/null";
        EXPECT_EQ(RunCommand(command), line < 255 ? line : 255) << line;
    }
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
