// What gif-info, wav-info and check tell a theme author about media the
// saver refuses: the loader's own message, then what the file is and how to
// convert it.
#include "import_fixture.h"
#include "media_notes.h"

#include <unistd.h>

#include <filesystem>

namespace {

struct MessageCase {
    const char* make;
    const char* args;
    const char* err;
};

TEST_F(ImportFixture, RefusedMediaAreDescribedWithTheCommandThatConvertsThem) {
    const MessageCase cases[] = {
        {"sox -n -r 44100 -b 16 -c 2 a.wav synth 0.1 sine 440", "wav-info a.wav",
         "a.wav: File is not 8bit 22kHz PCM a.wav\n"
         "a.wav is 16-bit stereo 44100 Hz PCM (not 8-bit, not mono, not 22050 Hz); "
         "convert it with: glimmora-tool import a.wav a.wav\n"},
        {"sox -n -r 22050 -b 8 -c 2 b.wav synth 0.1 sine 440", "wav-info b.wav",
         "b.wav: File is not 8bit 22kHz PCM b.wav\n"
         "b.wav is 8-bit stereo 22050 Hz PCM (not mono); "
         "convert it with: glimmora-tool import b.wav b.wav\n"},
        {"sox -n -r 22050 -b 16 -c 1 c.flac synth 0.1 sine 440 && mv c.flac c.wav",
         "wav-info c.wav",
         "c.wav: File is not a valid WAVE file c.wav\n"
         "c.wav is a FLAC sound; convert it with: glimmora-tool import c.wav c.wav\n"},
        {"convert -size 4x4 xc:red d0.png && convert d0.png f0.png d.gif", "gif-info d.gif",
         "GIF frame has a local color table instead of the global one d.gif\n"
         "d.gif: frame 2 has a local colour table; "
         "convert it with: glimmora-tool import d.gif d.gif\n"},
        {"convert -size 4x4 xc:red e.png", "gif-info e.png",
         "Unsupported image format e.png\n"
         "e.png is a PNG picture; convert it with: glimmora-tool import e.png e.gif "
         "and name e.gif in the script\n"},
        {"convert -size 4x4 xc:red g.jpg", "gif-info g.jpg",
         "Unsupported image format g.jpg\n"
         "g.jpg is a JPEG picture; convert it with: glimmora-tool import g.jpg g.gif "
         "and name g.gif in the script\n"},
        {"convert -size 4x4 xc:red f.png && mv f.png f.gif", "gif-info f.gif",
         "File Not Found: f.gif\n"
         "f.gif is a PNG picture; convert it with: glimmora-tool import f.gif f.gif\n"},
    };
    Shell("convert -size 4x4 xc:blue f0.png");
    for (const MessageCase& c : cases) {
        Shell(c.make);
        EXPECT_EQ(Tool(c.args), 1) << c.args;
        EXPECT_EQ(Err(), c.err) << c.args;
    }
}

TEST_F(ImportFixture, CheckAddsTheNoteToTheLoadersMessage) {
    Shell("sox -n -r 44100 -b 16 -c 2 a.wav synth 0.1 sine 440");
    dir.Write("t.SS", "ThemeName \"T\"\nModule \"M\"\n{\nSetup\n{\n}\n"
                      "Feature\n{\nSound \"a.wav\", 100\n}\n}\n");
    EXPECT_EQ(Tool("check t.SS"), 9);
    const std::string wav = "a.wav";
    EXPECT_EQ(Err(), "t.SS:9: File is not 8bit 22kHz PCM " + wav +
                         "\n"
                         "t.SS:9: a.wav is 16-bit stereo 44100 Hz PCM (not 8-bit, not mono, not "
                         "22050 Hz); convert it with: glimmora-tool import a.wav a.wav\n");
    ASSERT_EQ(Tool("import a.wav a.wav"), 0);
    EXPECT_EQ(Tool("check t.SS"), 0) << Err();
}

TEST_F(ImportFixture, AnOptimisedAnimationLoadsWithAWarningThatItShowsFragments) {
    Shell("for i in 0 1 2; do convert -size 20x10 xc:none -fill red -draw \"rectangle "
          "$((i*5)),2 $((i*5+6)),7\" f$i.png; done");
    Shell("convert -delay 10 f0.png f1.png f2.png -loop 0 -layers Optimize opt.gif");
    const std::string warning = "opt.gif: frame 2 (and 1 more) holds only what changed since the "
                                "frame before, but the saver draws each frame on its own; convert "
                                "it with: glimmora-tool import opt.gif opt.gif\n";
    EXPECT_EQ(Tool("gif-info opt.gif"), 0);
    EXPECT_EQ(Err(), "warning: " + warning);

    dir.Write("t.SS", "ThemeName \"T\"\nModule \"M\"\n{\nSetup\n{\n}\n"
                      "Feature\n{\nImage \"opt.gif\"\n}\nFeature\n{\nImage \"opt.gif\"\n}\n}\n");
    EXPECT_EQ(Tool("check t.SS"), 0);
    EXPECT_EQ(Err(), "t.SS: warning: " + warning);

    ASSERT_EQ(Tool("import opt.gif opt.gif"), 0);
    EXPECT_EQ(Tool("check t.SS"), 0);
    EXPECT_EQ(Err(), "");
}

// A million frames of one pixel, each with a local colour table.
std::vector<unsigned char> MillionFramesGif() {
    std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0};
    const unsigned char frame[] = {0x2C, 1, 0,   1,   0,   1, 0, 1,    0,    0x80, 0,
                                   0,    0, 255, 255, 255, 2, 2, 0x44, 0x01, 0};
    for (int i = 0; i < 1000000; ++i) gif.insert(gif.end(), frame, frame + sizeof(frame));
    gif.push_back(0x3B);
    return gif;
}

// The notes open regular files only (a FIFO would block them), and count the
// frames of a GIF as they pass rather than keeping them.
TEST_F(ImportFixture, NotesPassOverWhatIsNotAFileAndCountEveryFrame) {
    Shell("mkfifo pipe.gif pipe.wav");
    alarm(60); // a note that blocks ends the test program
    EXPECT_EQ(DescribeGifRefusal(Path("pipe.gif")), "");
    EXPECT_EQ(GifDisplayNote(Path("pipe.gif")), "");
    EXPECT_EQ(DescribeWavFormat(Path("pipe.wav")), "");
    EXPECT_EQ(MediaRefusalNote("File Not Found: " + Path("pipe.gif")), "");
    EXPECT_EQ(MediaRefusalNote("File is not 8bit 22kHz PCM " + Path("pipe.wav")), "");
    alarm(0);

    const std::string many = dir.WriteBytes("many.gif", MillionFramesGif());
    EXPECT_EQ(DescribeGifRefusal(many),
              "it has no global colour table; frame 1 (and 999999 more) has a local colour table");
    EXPECT_EQ(GifDisplayNote(many),
              many +
                  ": frame 2 (and 999998 more) holds only what changed since the frame "
                  "before, but the saver draws each frame on its own; convert it with: "
                  "glimmora-tool import " +
                  many + " " + many);
}

// `text` as one word for the shell, written here independently of the tool.
std::string Word(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct HostileName {
    const char* name;
    const char* info;   // the command whose refusal prints the hint
    const char* output; // the file the hint's command writes
};

// The command a hint prints is run as it stands by a shell: whatever the name
// holds, it converts that file and runs nothing else.
TEST_F(ImportFixture, TheCommandOfAHintConvertsTheFileItNamesWhateverTheName) {
    const HostileName cases[] = {
        {"x$(touch PWNED).png", "gif-info", "x$(touch PWNED).gif"},
        {"x\\$(touch PWNED).png", "gif-info", "x\\$(touch PWNED).gif"},
        {"it's; touch PWNED.png", "gif-info", "it's; touch PWNED.gif"},
        {"back`touch PWNED`quote.png", "gif-info", "back`touch PWNED`quote.gif"},
        {"new\nline.png", "gif-info", "new\nline.gif"},
        {"two  spaces & touch PWNED.png", "gif-info", "two  spaces & touch PWNED.gif"},
        {"-dash.png", "gif-info", "-dash.gif"},
        {"--no-loop", "gif-info", "--no-loop.gif"},
        {"a \"$HOME\" \\ b.gif", "gif-info", "a \"$HOME\" \\ b.gif"},
        {"-$(touch PWNED)'.wav", "wav-info", "-$(touch PWNED)'.wav"},
    };
    const std::string tool = GLIMMORA_TOOL;
    const std::string path = "PATH=" + Word(tool.substr(0, tool.rfind('/'))) + ":\"$PATH\"";
    for (const HostileName& c : cases) {
        const std::string name = c.name;
        const bool sound = name.find(".wav") != std::string::npos;
        Shell((sound ? "sox -n -r 44100 -b 16 -c 1 made.wav synth 0.1 sine 440 && mv made.wav "
                     : "convert -size 4x4 xc:red made.png && mv made.png ") +
              std::string("-- ") + Word(name));
        EXPECT_EQ(Tool(std::string(c.info) + " " + Word(name)), 1) << name;
        const std::string err = Err();
        const size_t start = err.find("convert it with: ");
        ASSERT_NE(start, std::string::npos) << err;
        size_t end = err.rfind(" and name ");
        if (end == std::string::npos || end < start) end = err.size() - 1; // before the newline
        const std::string command = err.substr(start + 17, end - start - 17);

        Shell(path + " sh -c " + Word(command) + " >/dev/null");
        EXPECT_FALSE(std::filesystem::exists(Path("PWNED"))) << command;
        EXPECT_EQ(Tool(std::string(c.info) + " " + Word(c.output)), 0) << command << "\n" << Err();
        for (const std::string& made : {std::string(c.output), name, std::string("PWNED")})
            std::filesystem::remove(Path(made));
    }
    // A plain name stays as it is; others are in single quotes.
    Shell("convert -size 4x4 xc:red 'x$(touch PWNED).png'");
    EXPECT_EQ(Tool("gif-info 'x$(touch PWNED).png'"), 1);
    EXPECT_EQ(Err(), "Unsupported image format x$(touch PWNED).png\n"
                     "x$(touch PWNED).png is a PNG picture; convert it with: glimmora-tool import "
                     "'x$(touch PWNED).png' 'x$(touch PWNED).gif' and name x$(touch PWNED).gif in "
                     "the script\n");
}

} // namespace
