// glimmora-tool on hostile themes: picture bombs, a million frames, a flood
// of warnings, names that are not files, media outside the theme's folder.
// The tool runs in a child whose memory is capped, so that a regression fails
// rather than takes the machine: by a capped address space, or in an
// AddressSanitizer build (which reserves a vast one) by the sanitizer's own
// limit on resident memory. Its peak resident memory is read once it ended.
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// What a check or a render of a hostile theme may hold at its peak: 600 MB.
constexpr long PEAK_LIMIT_KIB = 600L * 1000 * 1000 / 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SANITIZED = true;
// Ends a run over 1.5 GB; a small quarantine keeps freed blocks from
// counting as held.
const char CAP[] = "export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}hard_rss_limit_mb=1500:"
                   "quarantine_size_mb=16; ";
#else
constexpr bool SANITIZED = false;
const char CAP[] = "ulimit -v 1500000; ";
#endif

const char HEAD[] = "ThemeName \"Hostile\"\nModule \"A\"\n{\nSetup\n{\n}\n"; // lines 1-6

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// How often `containing` occurs in `text`.
int Occurrences(const std::string& text, const std::string& containing) {
    int n = 0;
    for (size_t at = 0; (at = text.find(containing, at)) != std::string::npos; ++at) ++n;
    return n;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

class HostileThemeToolTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(mkfifo(out.File("stdin").c_str(), 0600), 0); }

    // Runs `glimmora-tool ARGS` capped and for at most `seconds`, with a
    // standard input that never ends (a FIFO opened for reading and writing,
    // which no one writes). Its status (124: it did not end in time); output
    // in Out() and Err().
    int Tool(const std::string& args, int seconds = 300) {
        const std::string inner = std::string(CAP) + "exec timeout " + std::to_string(seconds) +
                                  " " + Quoted(GLIMMORA_TOOL) + " " + args;
        return RunCommand("sh -c '" + inner + "' <>" + Quoted(out.File("stdin")) + " >" +
                          Quoted(out.File("out")) + " 2>" + Quoted(out.File("err")));
    }
    std::string Out() const { return ReadFileText(out.File("out")); }
    std::string Err() const { return ReadFileText(out.File("err")); }

    // The largest resident memory of any child so far, in KiB.
    static long PeakKiB() {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return usage.ru_maxrss;
    }

    std::string Script(const std::string& body, const std::string& name = "t.SS") const {
        return dir.Write(name, std::string(HEAD) + body + "}\n");
    }
    static std::string Feature(const std::string& lines) { return "Feature\n{\n" + lines + "}\n"; }
    void WriteGif(const std::string& name, const GifBuilder& gif) const {
        dir.WriteBytes(name, gif.Bytes());
    }

    TempDir dir; // the theme's folder
    TempDir out;
};

TEST_F(HostileThemeToolTest, BombsAreRefusedInBoundedMemory) {
    // 244 MiB of pixels from 800 bytes of file, under the limit of one picture.
    const std::vector<uint8_t> bomb = GifBuilder(2, 2).EmptyFrame(16000, 16000).Trailer().Bytes();
    GifBuilder million(1, 1);
    for (int i = 0; i < 1000000; ++i) million.EmptyFrame(1, 1);
    million.Trailer();
    struct Case {
        const char* label;
        std::string body;
        int line;
        std::string limit; // the message before the file's name
        std::string file;
    };
    std::string names;
    for (int i = 0; i < 100; ++i) {
        dir.WriteBytes("b" + std::to_string(i) + ".gif", bomb);
        names += Feature("Image \"b" + std::to_string(i) + ".gif\"\n");
    }
    WriteGif("huge.gif", GifBuilder(2, 2).EmptyFrame(65535, 65535).Trailer());
    WriteGif("m.gif", million);
    const Case cases[] = {
        {"one frame of 65535 x 65535 pixels", Feature("Image \"huge.gif\"\n"), 9,
         "Picture memory limit of 256 MiB reached: ", "huge.gif"},
        {"one picture under 100 names", names, 13,
         "Theme memory limit of 320 MiB reached: ", "b1.gif"},
        {"a million frames used by 100 features", Repeat(Feature("Image \"m.gif\"\n"), 100), 13,
         "Theme memory limit of 320 MiB reached: ", "m.gif"},
    };
    for (const Case& c : cases) {
        const std::string script = Script(c.body);
        EXPECT_EQ(Tool("check " + Quoted(script)), c.line) << c.label;
        EXPECT_NE(Err().find(script + ":" + std::to_string(c.line) + ": " + c.limit +
                             dir.File(c.file) + "\n"),
                  std::string::npos)
            << c.label << "\n"
            << Err();
        // render reports what check reports before it plays.
        EXPECT_EQ(Tool("render " + Quoted(script) + " --no-frames --no-sound --seconds 0"), c.line)
            << c.label;
        EXPECT_NE(Err().find(script + ":" + std::to_string(c.line) + ": " + c.limit +
                             dir.File(c.file) + "\n"),
                  std::string::npos)
            << c.label << "\n"
            << Err();
    }
    // gif-info describes the million frames it holds and lists the first ones.
    EXPECT_EQ(Tool("gif-info " + Quoted(dir.File("m.gif"))), 0) << Err();
    const std::string text = Out();
    EXPECT_EQ(text.substr(0, text.find('\n')), "screen 1x1, not looping, 1000000 frames");
    EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1),
              "900000 more frames not listed (at most 100000 are)\n");
    EXPECT_LT(PeakKiB(), PEAK_LIMIT_KIB);
}

TEST_F(HostileThemeToolTest, AHugeBackgroundIsDrawnWithoutACopyOfIt) {
    WriteGif("sky.gif", GifBuilder(2, 2).EmptyFrame(16000, 16000).Trailer());
    const std::string script = Script("Background\n{\nImage \"sky.gif\"\n}\n");
    EXPECT_EQ(Tool("check " + Quoted(script)), 0) << Err();
    EXPECT_EQ(Tool("render " + Quoted(script) + " --out " + Quoted(out.File("frames")) +
                   " --size 320x240 --seconds 0.1 --no-sound"),
              0)
        << Err();
    EXPECT_TRUE(std::filesystem::exists(out.File("frames/frame-000000.png")));
    EXPECT_LT(PeakKiB(), PEAK_LIMIT_KIB);
}

TEST_F(HostileThemeToolTest, WarningsAreCappedAndTheRestCounted) {
    // Every line is read by the Setup scans and by both block sets' loads.
    const std::string script = Script(Repeat("#endif\n", 150000));
    EXPECT_EQ(Tool("check " + Quoted(script)), 0);
    const std::string err = Err();
    EXPECT_EQ(Occurrences(err, ": warning: line ignored: \"#endif\""), 300);
    EXPECT_NE(err.find(script + ":306: warning: line ignored"), std::string::npos);
    EXPECT_EQ(err.substr(err.rfind('\n', err.size() - 2) + 1),
              script +
                  ": warning: warnings on 149700 more lines are not shown (at most 300 are)\n");
    EXPECT_EQ(Tool("check --json " + Quoted(script)), 0);
    const std::string json = Out();
    EXPECT_EQ(json.substr(json.rfind(',')), ",\"warning_lines_not_shown\":149700}\n");
    EXPECT_EQ(Occurrences(json, "line ignored"), 300);
    EXPECT_LT(PeakKiB(), PEAK_LIMIT_KIB);
}

TEST_F(HostileThemeToolTest, NamesThatAreNotFilesAreRefusedWithoutWaiting) {
    for (const char* name : {"f.gif", "f.wav", "256COL00.PAL", "fifo.SS"})
        ASSERT_EQ(mkfifo(dir.File(name).c_str(), 0600), 0) << name;
    std::filesystem::create_directories(dir.File("folder.gif"));
    // From the theme's folder up to the root, and down to the standard input.
    std::string stdinName = "dev/stdin";
    for (const auto& part : std::filesystem::path(dir.Path()).relative_path()) {
        (void)part;
        stdinName = "../" + stdinName;
    }
    struct Case {
        const char* label;
        std::string command; // after "glimmora-tool "
        std::string message;
    };
    int scripts = 0;
    auto check = [&](const std::string& body) {
        return "check " + Quoted(Script(body, "t" + std::to_string(++scripts) + ".SS"));
    };
    const std::string notAFile = "Not a file: ";
    const Case cases[] = {
        {"image: standard input", check(Feature("Image \"" + stdinName + "\"\n")),
         notAFile + dir.File(stdinName)},
        {"image: FIFO", check(Feature("Image \"f.gif\"\n")), notAFile + dir.File("f.gif")},
        {"image: folder", check(Feature("Image \"folder.gif\"\n")),
         notAFile + dir.File("folder.gif")},
        {"background: standard input", check("Background\n{\nImage \"/dev/stdin\"\n}\n"),
         notAFile + "/dev/stdin"},
        {"background: FIFO", check("Background\n{\nImage \"f.gif\"\n}\n"),
         notAFile + dir.File("f.gif")},
        {"sound: standard input", check(Feature("Sound \"" + stdinName + "\", 100\n")),
         notAFile + dir.File(stdinName)},
        {"sound: FIFO", check(Feature("BounceSound \"f.wav\", 100\n")),
         notAFile + dir.File("f.wav")},
        {"palette: FIFO", check(Feature("")), notAFile + dir.File("256COL00.PAL")},
        {"script: FIFO", "check " + Quoted(dir.File("fifo.SS")),
         dir.File("fifo.SS") + ": not a file, so not a theme script"},
        {"setup: FIFO", "setup " + Quoted(dir.File("fifo.SS")),
         dir.File("fifo.SS") + ": not a file, so not a theme script"},
        {"render: FIFO",
         "render --no-frames --no-sound --seconds 0 " +
             Quoted(Script(Feature("Image \"f.gif\"\n"), "render.SS")),
         notAFile + dir.File("f.gif")},
        {"gif-info: FIFO", "gif-info " + Quoted(dir.File("f.gif")), notAFile + dir.File("f.gif")},
        {"wav-info: standard input", "wav-info /dev/stdin", notAFile + "/dev/stdin"},
    };
    for (const Case& c : cases) {
        const int status = Tool(c.command, 20);
        EXPECT_NE(status, 124) << c.label << ": did not end";
        EXPECT_NE(status, 0) << c.label;
        EXPECT_NE(Err().find(c.message), std::string::npos) << c.label << "\n" << Err();
    }
}

TEST_F(HostileThemeToolTest, MediaOutsideTheThemeFolderAreWarnedOf) {
    GifBuilder gif(2, 2);
    gif.EmptyFrame(2, 2).Trailer();
    WriteGif("x.gif", gif); // beside the theme's folder
    WriteGif("theme/sub/y.gif", gif);
    const std::string outside = " is outside the theme's folder: an installed copy of the theme "
                                "will not have it";
    struct Case {
        std::string line;       // line 9 of the script
        std::string warnedName; // empty: no warning
    };
    const Case cases[] = {
        {"Image \"../x.gif\"", "../x.gif"},
        {"Image \"" + dir.File("x.gif") + "\"", dir.File("x.gif")},
        {"Image \"sub/../sub/y.gif\"", ""},
    };
    for (const Case& c : cases) {
        for (const char* block : {"Feature", "Background"}) {
            const std::string script =
                dir.Write("theme/t.SS", std::string(HEAD) + block + "\n{\n" + c.line + "\n}\n}\n");
            const int status = Tool("check --strict " + Quoted(script));
            const std::string err = Err();
            if (c.warnedName.empty()) {
                EXPECT_EQ(status, 0) << c.line << "\n" << err;
                EXPECT_EQ(err.find(outside), std::string::npos) << c.line << "\n" << err;
            } else {
                // Warnings alone give 1 with --strict; a feature's image is looked for in
                // the theme's folder, where an absolute name is not found.
                const bool missing =
                    std::string(block) == "Feature" && c.warnedName == dir.File("x.gif");
                EXPECT_EQ(status, missing ? 9 : 1) << c.line << "\n" << err;
                EXPECT_NE(err.find(script + ":9: warning: \"" + c.warnedName + "\"" + outside),
                          std::string::npos)
                    << block << " " << c.line << "\n"
                    << err;
            }
        }
    }
    // Sounds too.
    dir.Write("x.wav", "");
    const std::string script =
        dir.Write("theme/t.SS", std::string(HEAD) + "Feature\n{\nSound \"../x.wav\", 100\n}\n}\n");
    Tool("check " + Quoted(script));
    EXPECT_NE(Err().find(script + ":9: warning: \"../x.wav\"" + outside), std::string::npos)
        << Err();
}

TEST_F(HostileThemeToolTest, RunningOutOfMemoryEndsWithAMessage) {
    if (SANITIZED) GTEST_SKIP() << "the sanitizer's allocator reports and aborts instead";
    // Frames of 16384 x 16384 pixels need more than the address space left.
    const std::string script = Script("Background\n{\nColor 1,2,3\n}\n");
    const int status = Tool("render " + Quoted(script) + " --out " + Quoted(out.File("frames")) +
                            " --size 16384x16384 --seconds 0.1 --no-sound");
    EXPECT_EQ(status, 1) << Err();
    std::string err = Err();
    std::transform(err.begin(), err.end(), err.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    EXPECT_NE(err.find("out of memory"), std::string::npos) << err;
}

} // namespace
#endif
