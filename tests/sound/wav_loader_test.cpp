#include "sound/sound.h"
#include "sound_fixture.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class WavLoaderTest : public SoundTest {
  protected:
    void SetUp() override { log.texts.clear(); }

    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
        return dir.WriteBytes(name, bytes);
    }
    // Loads `path` with the normal volume and pan and no loop point.
    int Load(const std::string& path) {
        return sound.Load(path.c_str(), 100, 64, 0, 0, 0, &errors);
    }
    std::string LastMessage() { return log.texts.empty() ? "" : log.texts.back(); }
    std::vector<unsigned char> Samples(uint32_t offset, uint32_t count) {
        std::vector<unsigned char> out(count);
        sound.ReadSamples(offset, out.data(), count);
        return out;
    }
    // Expects a refusal of `path` with `message` followed by the name.
    void ExpectRefused(const std::string& path, const std::string& message) {
        log.texts.clear();
        scriptLine = 12;
        errorLine = 0;
        EXPECT_EQ(Load(path), 0) << path;
        ASSERT_EQ(log.texts.size(), 1u);
        EXPECT_EQ(LastMessage(), message + " " + path);
        EXPECT_EQ(errorLine, 12);
        EXPECT_EQ(sound.data, nullptr);
        EXPECT_EQ(sound.file, nullptr);
    }

    TempDir dir;
    CSound sound;
};

TEST_F(WavLoaderTest, ExtensionDecidesBeforeTheFileIsOpened) {
    std::vector<unsigned char> wav = MakeWav(RampSamples(100));
    EXPECT_EQ(Load(Write("lower.wav", wav)), 1);
    EXPECT_EQ(Load(Write("upper.WAV", wav)), 1);
    EXPECT_EQ(Load(Write("mixed.Wav", wav)), 1);
    ExpectRefused(Write("long.wave", wav), "Unsupported sound format");
    ExpectRefused(Write("nodot", wav), "Unsupported sound format");
    ExpectRefused(Write("two.wav.bak", wav), "Unsupported sound format");
    ExpectRefused(dir.File("missing.wav"), "File Not Found:");
}

TEST_F(WavLoaderTest, RefusesFilesThatAreNotWave) {
    std::vector<unsigned char> good = MakeWav(RampSamples(100));
    std::vector<unsigned char> notRiff = good;
    notRiff[0] = 'X';
    std::vector<unsigned char> notWave = good;
    notWave[8] = 'A';
    std::vector<unsigned char> renamedFormat = good;
    renamedFormat[12] = 'F'; // "Fmt " is another chunk: no format at all
    std::vector<unsigned char> shortFormat = MakeWav(RampSamples(10));
    shortFormat[16] = 14; // format chunk of 14 bytes
    std::vector<unsigned char> noData = good;
    noData[36] = 'D';

    ExpectRefused(Write("notriff.wav", notRiff), "File is not a valid WAVE file");
    ExpectRefused(Write("notwave.wav", notWave), "File is not a valid WAVE file");
    ExpectRefused(Write("nofmt.wav", renamedFormat), "File is not a valid WAVE file");
    ExpectRefused(Write("shortfmt.wav", shortFormat), "File is not a valid WAVE file");
    ExpectRefused(Write("nodata.wav", noData), "File is not a valid WAVE file");
    ExpectRefused(Write("empty.wav", {}), "File is not a valid WAVE file");
    ExpectRefused(Write("cut.wav", std::vector<unsigned char>(good.begin(), good.begin() + 30)),
                  "File is not a valid WAVE file");
}

TEST_F(WavLoaderTest, RefusesOtherSampleFormats) {
    WavLayout slow;
    slow.rate = 11025;
    WavLayout wide;
    wide.bits = 16;
    WavLayout stereo;
    stereo.channels = 2;
    WavLayout floating;
    floating.formatTag = 3;
    const char* message = "File is not 8bit 22kHz PCM";
    ExpectRefused(Write("slow.wav", MakeWav(RampSamples(100), slow)), message);
    ExpectRefused(Write("wide.wav", MakeWav(RampSamples(100), wide)), message);
    ExpectRefused(Write("stereo.wav", MakeWav(RampSamples(100), stereo)), message);
    ExpectRefused(Write("float.wav", MakeWav(RampSamples(100), floating)), message);
}

TEST_F(WavLoaderTest, ShortSoundsAreHeldInMemory) {
    std::vector<unsigned char> samples = RampSamples(65535);
    ASSERT_EQ(Load(Write("short.wav", MakeWav(samples))), 1);
    EXPECT_EQ(sound.flags, 0u);
    EXPECT_EQ(sound.length, 65535u);
    EXPECT_EQ(sound.file, nullptr);
    ASSERT_NE(sound.data, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(sound.data, sound.data + 65535), samples);
    EXPECT_TRUE(log.texts.empty());
}

TEST_F(WavLoaderTest, LongSoundsAreStreamedFromTheFile) {
    std::vector<unsigned char> samples = RampSamples(65536);
    samples[65535] = 0xAB;
    ASSERT_EQ(Load(Write("long.wav", MakeWav(samples))), 1);
    EXPECT_EQ(sound.flags, SOUND_STREAMED);
    EXPECT_EQ(sound.length, 65536u);
    EXPECT_EQ(sound.data, nullptr);
    EXPECT_NE(sound.file, nullptr);
    EXPECT_EQ(sound.dataStart, 44);
    EXPECT_EQ(Samples(0, 4), (std::vector<unsigned char>{0, 1, 2, 3}));
    EXPECT_EQ(Samples(65534, 2), (std::vector<unsigned char>{0xFE, 0xAB}));
}

TEST_F(WavLoaderTest, VolumePanAndLoopValuesAreKeptInRange) {
    std::string path = Write("s.wav", MakeWav(RampSamples(1000)));
    ASSERT_EQ(sound.Load(path.c_str(), 200, -5, 400, 3, 2, &errors), 1);
    EXPECT_EQ(sound.volume, 127);
    EXPECT_EQ(sound.pan, 0);
    EXPECT_EQ(sound.loopPoint, 400);
    EXPECT_EQ(sound.headCount, 3);
    EXPECT_EQ(sound.tailCount, 2);
    ASSERT_EQ(sound.Load(path.c_str(), -1, 127, 5000, -4, 70000, &errors), 1);
    EXPECT_EQ(sound.volume, 0);
    EXPECT_EQ(sound.pan, 127);
    EXPECT_EQ(sound.loopPoint, 1000); // the head ends with the data
    EXPECT_EQ(sound.headCount, 0);
    EXPECT_EQ(sound.tailCount, SOUND_MAX_COUNT);
    ASSERT_EQ(sound.Load(path.c_str(), 100, 130, -7, 0, 0, &errors), 1);
    EXPECT_EQ(sound.pan, 127);
    EXPECT_EQ(sound.loopPoint, 0);
}

TEST_F(WavLoaderTest, WalksPastOtherChunksToTheSamples) {
    WavLayout layout;
    layout.formatExtra = 2;                                 // WAVEFORMATEX with its size word
    layout.beforeFormat = {{"JUNK", std::string(27, 'j')}}; // odd size, padded
    layout.beforeData = {{"fact", std::string("\x10\x27\0\0", 4)},
                         {"LIST", std::string("INFOISFT\x05\0\0\0test\0", 17)}};
    layout.afterData = {{"LIST", std::string(40, 'x')}};
    std::vector<unsigned char> samples = RampSamples(3000);
    ASSERT_EQ(Load(Write("chunky.wav", MakeWav(samples, layout))), 1);
    EXPECT_EQ(sound.length, 3000u);
    EXPECT_EQ(std::vector<unsigned char>(sound.data, sound.data + 3000), samples);

    layout.formatExtra = 24; // extensible-sized format chunk, tag still PCM
    std::vector<unsigned char> longSamples = RampSamples(70001);
    ASSERT_EQ(Load(Write("chunky-long.wav", MakeWav(longSamples, layout))), 1);
    EXPECT_EQ(sound.flags, SOUND_STREAMED);
    EXPECT_EQ(sound.length, 70001u);
    EXPECT_EQ(sound.dataStart, 12 + 8 + 28 + 8 + 40 + 8 + 4 + 8 + 18 + 8);
    EXPECT_EQ(Samples(0, 3), (std::vector<unsigned char>{0, 1, 2}));
    EXPECT_EQ(Samples(70000, 1), (std::vector<unsigned char>{70000 & 0xFF}));
}

TEST_F(WavLoaderTest, DataSizeBeyondTheFileIsCutToWhatIsThere) {
    WavLayout layout;
    layout.declaredDataSize = 100000;
    ASSERT_EQ(Load(Write("cut-short.wav", MakeWav(RampSamples(500), layout))), 1);
    EXPECT_EQ(sound.flags, 0u); // what remains is short enough for memory
    EXPECT_EQ(sound.length, 500u);
    EXPECT_EQ(Samples(499, 3), (std::vector<unsigned char>{499 & 0xFF, 0x80, 0x80}));

    layout.declaredDataSize = 0xFFFFFFFF;
    ASSERT_EQ(Load(Write("cut-long.wav", MakeWav(RampSamples(80000), layout))), 1);
    EXPECT_EQ(sound.flags, SOUND_STREAMED);
    EXPECT_EQ(sound.length, 80000u);
    // Reads past the data, by a caller or a file that shrank, give silence.
    EXPECT_EQ(Samples(79999, 2), (std::vector<unsigned char>{79999 & 0xFF, 0x80}));
}

TEST_F(WavLoaderTest, EmptyDataChunkLoadsAsASilentSound) {
    ASSERT_EQ(Load(Write("empty-data.wav", MakeWav({}))), 1);
    EXPECT_EQ(sound.length, 0u);
    EXPECT_EQ(Samples(0, 2), (std::vector<unsigned char>{0x80, 0x80}));
}

TEST_F(WavLoaderTest, ResetReleasesTheBanksSounds) {
    CSound* loaded = sounds.Create();
    ASSERT_EQ(loaded->Load(Write("f.wav", MakeWav(RampSamples(70000))).c_str(), 100, 64, 0, 0, 0,
                           &errors),
              1);
    sounds.Reset(); // the leak checker sees the sound and its file go
    EXPECT_EQ(sounds.Count(), 0);
}

TEST_F(WavLoaderTest, ToolShowsTheLoadersView) {
    TempDir out;
    std::string shortPath = Write("short.wav", MakeWav(RampSamples(22050)));
    std::string longPath = Write("long.wav", MakeWav(RampSamples(70000)));
    std::string badPath = Write("bad.wav", MakeWav(RampSamples(10), [] {
                                    WavLayout s;
                                    s.bits = 16;
                                    return s;
                                }()));
    std::string tool = GLIMMORA_TOOL;
    ASSERT_EQ(RunCommand(tool + " wav-info " + shortPath + " >" + out.File("a") + " 2>&1"), 0);
    EXPECT_EQ(ReadFileText(out.File("a")),
              shortPath + ": 22050 bytes of 8-bit mono PCM at 22050 Hz (1000 ms), in memory\n");
    ASSERT_EQ(RunCommand(tool + " wav-info " + longPath + " >" + out.File("b") + " 2>&1"), 0);
    EXPECT_EQ(ReadFileText(out.File("b")),
              longPath +
                  ": 70000 bytes of 8-bit mono PCM at 22050 Hz (3174 ms), streamed from byte 44\n");
    EXPECT_EQ(RunCommand(tool + " wav-info " + badPath + " >" + out.File("c") + " 2>&1"), 1);
    EXPECT_EQ(ReadFileText(out.File("c")),
              badPath + ": File is not 8bit 22kHz PCM " + badPath + "\n" + badPath +
                  " is 16-bit mono 22050 Hz PCM (not 8-bit); convert it with: glimmora-tool "
                  "import " +
                  badPath + " " + badPath + "\n");
    EXPECT_EQ(RunCommand(tool + " wav-info >" + out.File("d") + " 2>&1"), 2);
}

// A file written by an independent WAV writer loads with the same samples
// that the writer's own raw export holds.
TEST_F(WavLoaderTest, ReadsWhatAnotherWriterWrote) {
    if (RunCommand("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
    std::string wav = dir.File("tone.wav");
    std::string raw = dir.File("tone.raw");
    ASSERT_EQ(RunCommand("sox -n -r 22050 -c 1 -b 8 -e unsigned-integer " + wav +
                         " synth 0.5 sine 440 2>/dev/null"),
              0);
    ASSERT_EQ(RunCommand("sox " + wav + " -t raw " + raw), 0);
    ASSERT_EQ(Load(wav), 1);
    Bytes expected = ReadFileBytes(raw);
    ASSERT_EQ(sound.length, expected.size());
    EXPECT_EQ(Bytes(sound.data, sound.data + sound.length), expected);
}

} // namespace
