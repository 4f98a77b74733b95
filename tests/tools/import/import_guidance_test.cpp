// What the importer tells the author: what a file is and what it can become,
// the order of frames, soft edges, pictures too large for the screen and
// quiet sounds.
#include "import_fixture.h"

#include <string>

namespace {

class ImportGuidanceTest : public ImportFixture {};

// A file's kind comes from its content; a message names it and what it becomes.
TEST_F(ImportGuidanceTest, KindsComeFromContentAndSayWhatTheyBecome) {
    Shell("convert -size 8x8 xc:red sky.jpg && cp sky.jpg photo.wav && "
          "sox -n -r 22050 tone.ogg synth 0.2 sine 440 && printf 'just text' >notes.txt");
    const struct {
        const char* args;
        int status;
        const char* message;
    } cases[] = {
        {"sky.jpg sky.wav", 1,
         "glimmora-tool import: sky.jpg: it is a JPEG picture: a picture becomes a GIF the saver "
         "shows; give the output a .gif name\n"},
        {"tone.ogg tone.gif", 1,
         "glimmora-tool import: tone.ogg: it is an Ogg sound: a sound becomes a WAV the saver "
         "plays; give the output a .wav name\n"},
        {"notes.txt notes.gif", 1,
         "glimmora-tool import: notes.txt: it is a file of unknown kind, not a picture the "
         "importer reads (GIF, PNG, JPEG, WebP or BMP)\n"},
        {"photo.wav photo.gif", 0, ""}, // a JPEG under a sound's name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tool(std::string("import ") + c.args), c.status) << c.args;
        EXPECT_EQ(Err(), c.message) << c.args;
    }
}

// Frames named by a shell's pattern come in the order people count them.
TEST_F(ImportGuidanceTest, FramesComeInNaturalOrderAndTheOrderIsPrinted) {
    Shell("for i in 0 1 2 3 4 5 6 7 8 9 10 11; do convert -size 4x4 xc:\"rgb($((i*20)),0,0)\" "
          "f$i.png; done");
    const std::string globbed = "f0.png f1.png f10.png f11.png f2.png f3.png f4.png f5.png f6.png "
                                "f7.png f8.png f9.png";
    ASSERT_EQ(Tool("import " + globbed + " out.gif"), 0) << Err();
    EXPECT_EQ(Out().rfind("frames in this order: f0.png f1.png f2.png f3.png f4.png f5.png f6.png "
                          "f7.png f8.png f9.png f10.png f11.png\n",
                          0),
              0u)
        << Out();
    LoadedGif loaded = LoadGif(Path("out.gif"));
    ASSERT_EQ(loaded.frames.size(), 12u);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(loaded.frames[i].pixels[0], i * 20) << i;

    ASSERT_EQ(Tool("import --keep-order " + globbed + " out.gif"), 0) << Err();
    EXPECT_EQ(Out().rfind("frames in this order: " + globbed + "\n", 0), 0u) << Out();
    EXPECT_EQ(LoadGif(Path("out.gif")).frames[2].pixels[0], 200);
}

// A glow loses its softness without a word no more: the share is told, and
// a matte blends the soft pixels onto the colour the picture stands on.
TEST_F(ImportGuidanceTest, SoftEdgesAreToldOrBlendedOntoAMatte) {
    // A red square fading out: opaque inside, then a ring of 9/16 (a half drawn
    // over the eighth below it) and one of 1/8.
    Shell("convert -size 6x6 xc:'rgba(255,0,0,0.125)' -fill 'rgba(255,0,0,0.502)' -draw "
          "'rectangle 1,1 4,4' -fill 'rgba(255,0,0,1)' -draw 'rectangle 2,2 3,3' glow.png");
    ASSERT_EQ(Tool("import glow.png out.gif"), 0) << Err();
    EXPECT_EQ(Err(), "glimmora-tool import: warning: glow.png: 32 of 36 visible pixels (88%) are "
                     "partly transparent: those less than half opaque are dropped and the others "
                     "shown fully opaque; --matte COLOR blends them onto the colour the picture "
                     "will stand on\n");
    LoadedGif plain = LoadGif(Path("out.gif"));
    ASSERT_EQ(plain.frames.size(), 1u);
    EXPECT_EQ(plain.frames[0].width, 4); // the faint ring is dropped

    for (const char* matte : {"'#000080'", "0,0,128"}) {
        ASSERT_EQ(Tool(std::string("import --matte ") + matte + " glow.png out.gif"), 0) << Err();
        EXPECT_EQ(Err(), "");
        LoadedGif blended = LoadGif(Path("out.gif"));
        ASSERT_EQ(blended.frames.size(), 1u);
        const Rgba& f = blended.frames[0];
        ASSERT_EQ(f.width, 6);
        auto pixel = [&](int x, int y) { return &f.pixels[(static_cast<size_t>(y) * 6 + x) * 4]; };
        const uint8_t* outer = pixel(0, 0); // an eighth red over navy
        EXPECT_NEAR(outer[0], 32, 1);
        EXPECT_NEAR(outer[2], 112, 1);
        EXPECT_EQ(outer[3], 255);
        const uint8_t* ring = pixel(1, 1); // 9/16 red over navy
        EXPECT_NEAR(ring[0], 143, 1);
        EXPECT_NEAR(ring[2], 56, 1);
        EXPECT_EQ(pixel(2, 2)[0], 255);
    }
    EXPECT_EQ(Tool("import --matte navy glow.png out.gif"), 2);
}

TEST_F(ImportGuidanceTest, LargePicturesAndQuietSoundsAreWarnedOf) {
    Shell("convert -size 2400x1800 xc:teal big.png && convert -size 900x500 xc:teal wide.png && "
          "sox -n -r 22050 quiet.wav synth 0.3 sine 440 vol -30dB");
    ASSERT_EQ(Tool("import big.png big.gif"), 0) << Err();
    EXPECT_EQ(Err(), "glimmora-tool import: warning: big.gif: 2400x1800 is larger than a "
                     "1920x1080 screen: the saver draws pictures at their own size, so only a "
                     "part of it shows there; make it smaller before importing it\n");
    ASSERT_EQ(Tool("import wide.png wide.gif"), 0);
    EXPECT_EQ(Err(), "");
    ASSERT_EQ(Tool("import --screen 800x600 wide.png wide.gif"), 0);
    EXPECT_NE(Err().find("900x500 is larger than a 800x600 screen"), std::string::npos) << Err();

    ASSERT_EQ(Tool("import quiet.wav out.wav"), 0) << Err();
    EXPECT_EQ(Err(), "glimmora-tool import: warning: out.wav: the sound is quiet: its loudest "
                     "sample is at -30 dBFS, 4 steps of the 128 that 8-bit sound has each way; "
                     "--normalize brings its loudest sample to full scale\n");
    ASSERT_EQ(Tool("import --normalize quiet.wav out.wav"), 0) << Err();
    EXPECT_EQ(Err(), "");
}

} // namespace
