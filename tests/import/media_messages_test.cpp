// What gif-info, wav-info and check tell a theme author about media the
// saver refuses: the loader's own message, then what the file is and how to
// convert it.
#include "import_fixture.h"

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

} // namespace
