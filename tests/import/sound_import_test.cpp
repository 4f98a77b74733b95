// glimmora-tool import for sounds: files in the formats recorders and
// editors write become sounds the saver's loader plays, keeping their length
// and pitch.
#include "import_fixture.h"

#include "sound/sound.h"
#include "support/wav_writer.h"

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

struct SoundCase {
    const char* name;
    const char* make; // shell command that makes in.*
    const char* input;
    const char* from; // how the importer describes the input
    int hertz;
    int milliseconds;
};

const SoundCase SOUND_CASES[] = {
    {"16-bit stereo 44.1 kHz WAV", "sox -n -r 44100 -b 16 -c 2 in.wav synth 1.5 sine 440 vol 0.8",
     "in.wav", "16-bit stereo 44100 Hz WAV", 440, 1500},
    {"24-bit mono 48 kHz FLAC", "sox -n -r 48000 -b 24 -c 1 in.flac synth 0.7 sine 1000 vol 0.8",
     "in.flac", "24-bit mono 48000 Hz FLAC", 1000, 700},
    {"8-bit stereo 22.05 kHz WAV", "sox -n -r 22050 -b 8 -c 2 in.wav synth 0.4 sine 300 vol 0.8",
     "in.wav", "8-bit stereo 22050 Hz WAV", 300, 400},
    {"32-bit float mono 11.025 kHz WAV",
     "sox -n -r 11025 -e floating-point -b 32 -c 1 in.wav synth 1 sine 200 vol 0.8", "in.wav",
     "32-bit float mono 11025 Hz WAV", 200, 1000},
    {"Ogg Vorbis", "sox -n -r 44100 -c 2 in.ogg synth 0.5 sine 440 vol 0.8", "in.ogg",
     "stereo 44100 Hz Ogg Vorbis", 440, 500},
    // The encoder's delay and padding are taken off again through its gapless header.
    {"MP3",
     "sox -n -r 44100 -b 16 -c 2 t.wav synth 0.6 sine 440 vol 0.8 && lame --quiet t.wav in.mp3",
     "in.mp3", "stereo 44100 Hz MP3", 440, 600},
};

// Inserts a LIST chunk before the format chunk, as some editors write it.
void AddListChunk(const std::string& path) {
    std::vector<unsigned char> wav = ReadFileBytes(path);
    ASSERT_GT(wav.size(), 12u);
    const char info[] = "LIST\x0c\0\0\0INFOISFT\0\0\0\0";
    wav.insert(wav.begin() + 12, info, info + 20);
    uint32_t size = static_cast<uint32_t>(wav.size() - 8);
    for (int i = 0; i < 4; ++i) wav[4 + i] = static_cast<unsigned char>(size >> (8 * i));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(wav.data(), 1, wav.size(), file);
    std::fclose(file);
}

// Rising passes through the middle level, with a little hysteresis against the dither.
int Cycles(const CSound& sound) {
    std::vector<uint8_t> samples(sound.length);
    sound.ReadSamples(0, samples.data(), sound.length);
    int cycles = 0;
    bool low = samples.empty() || samples[0] < 128;
    for (uint8_t s : samples) {
        if (low && s > 136) {
            ++cycles;
            low = false;
        } else if (!low && s < 120) {
            low = true;
        }
    }
    return cycles;
}

class SoundImportTest : public ImportFixture, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(SoundImportTest, OutputPlaysWithItsLengthAndPitch) {
    const SoundCase& c = GetParam();
    Shell(c.make);
    if (std::string(c.input) == "in.wav") AddListChunk(Path("in.wav"));
    ASSERT_EQ(Tool(std::string("import ") + c.input + " out.wav"), 0) << Err();
    char expected[160];
    std::snprintf(expected, sizeof(expected),
                  "out.wav: %d.%03d s of 8-bit mono 22050 Hz PCM (from %s)\n",
                  c.milliseconds / 1000, c.milliseconds % 1000, c.from);
    EXPECT_EQ(Out(), expected);

    CSound sound;
    ASSERT_EQ(sound.Load(Path("out.wav").c_str(), 100, 64, 0, 0, 0, nullptr), 1);
    const double ms = sound.length * 1000.0 / SOUND_RATE;
    EXPECT_NEAR(ms, c.milliseconds, 1.0);
    const double hertz = Cycles(sound) * 1000.0 / ms;
    EXPECT_NEAR(hertz, c.hertz, c.hertz * 0.01 + 2);
}

INSTANTIATE_TEST_SUITE_P(Inputs, SoundImportTest, ::testing::ValuesIn(SOUND_CASES),
                         [](const ::testing::TestParamInfo<SoundCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(ImportFixture, ASoundAlreadyInTheSaversFormatKeepsEverySample) {
    Shell("sox -n -r 22050 -b 8 -c 1 in.wav synth 0.3 sine 300 vol 0.5");
    ASSERT_EQ(Tool("import in.wav out.wav"), 0) << Err();
    std::vector<unsigned char> in = ReadFileBytes(Path("in.wav"));
    std::vector<unsigned char> out = ReadFileBytes(Path("out.wav"));
    EXPECT_EQ(out, in);
}

TEST_F(ImportFixture, NormalizeAndGainSetTheLoudness) {
    struct Case {
        const char* options;
        int low, high; // the loudest sample's distance from the middle
    } cases[] = {{"", 10, 16}, {"--normalize", 124, 128}, {"--gain 12", 48, 60}};
    Shell("sox -n -r 22050 -b 16 -c 1 in.wav synth 0.5 sine 500 vol 0.1");
    for (const Case& c : cases) {
        ASSERT_EQ(Tool(std::string("import ") + c.options + " in.wav out.wav"), 0) << Err();
        CSound sound;
        ASSERT_EQ(sound.Load(Path("out.wav").c_str(), 100, 64, 0, 0, 0, nullptr), 1);
        std::vector<uint8_t> samples(sound.length);
        sound.ReadSamples(0, samples.data(), sound.length);
        int peak = 0;
        for (uint8_t s : samples) peak = std::max(peak, std::abs(s - 128));
        EXPECT_GE(peak, c.low) << c.options;
        EXPECT_LE(peak, c.high) << c.options;
    }
}

// Twenty minutes at 96 kHz: 115 million samples, which as floats alone would
// take 460 MB. The sound streams through, the loudest sample found by a
// first pass.
TEST_F(ImportFixture, ALongSoundAtAHighRateIsImportedInLittleMemory) {
    Shell("sox -n -r 96000 -b 16 -c 1 -C 0 long.flac synth 1200 sine 440 vol 0.3");
    int status = -1;
    const long peakKb = PeakMemoryKb("import --normalize long.flac long.wav", &status);
    ASSERT_EQ(status, 0) << Err();
    EXPECT_EQ(Out(),
              "long.wav: 1200.000 s of 8-bit mono 22050 Hz PCM (from 16-bit mono 96000 Hz FLAC)\n");
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 100 * 1024);
    EXPECT_EQ(std::filesystem::file_size(Path("long.wav")), 44u + 1200u * 22050u);
}

struct RefusedSound {
    const char* input;
    uint32_t rate;   // of a silent 8-bit mono WAV; 0: made by `make`
    uint32_t frames; // its length
    const char* make;
    const char* message;
};

// Refusals leave what the output names as it was, and no file of their own.
TEST_F(ImportFixture, ASoundOverTheLimitsIsRefusedAndTheOutputIsLeftAsItWas) {
    const RefusedSound cases[] = {
        {"long.wav", 1000, 3601000, "", "long.wav: the sound is longer than an hour"},
        {"slow.wav", 800, 800, "",
         "slow.wav: its sample rate of 800 Hz is outside the 1000 to 768000 Hz the importer "
         "takes"},
        {"fast.wav", 800000, 8000, "",
         "fast.wav: its sample rate of 800000 Hz is outside the 1000 to 768000 Hz the importer "
         "takes"},
        {"pipe.wav", 0, 0, "mkfifo pipe.wav", "pipe.wav: not a file"},
        {"cut.wav", 0, 0, "printf 'RIFF' >cut.wav",
         "cut.wav: not a readable sound (Format not recognised.)"},
    };
    dir.Write("out.wav", "the old output");
    Shell("chmod 640 out.wav");
    for (const RefusedSound& c : cases) {
        if (c.rate) {
            // The samples are a hole in the file: silence that takes no room.
            WavLayout layout;
            layout.rate = c.rate;
            layout.declaredDataSize = c.frames;
            dir.WriteBytes(c.input, MakeWav({}, layout));
            std::filesystem::resize_file(Path(c.input), 44 + c.frames);
        } else {
            Shell(c.make);
        }
        EXPECT_EQ(Tool(std::string("import ") + c.input + " out.wav"), 1) << c.input;
        EXPECT_EQ(Err(), std::string("glimmora-tool import: ") + c.message + "\n");
        EXPECT_EQ(ReadFileText(Path("out.wav")), "the old output");
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            EXPECT_EQ(entry.path().filename().string().rfind(".glimmora", 0), std::string::npos)
                << c.input;
    }
    // A sound converted in place keeps the mode of the file it replaces.
    Shell("sox -n -r 44100 -b 16 -c 1 out.wav synth 0.1 sine 440");
    ASSERT_EQ(Tool("import out.wav out.wav"), 0) << Err();
    EXPECT_EQ(std::filesystem::status(Path("out.wav")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

} // namespace
