#include "platform/audio_device.h"
#include "sound/audio.h"
#include "sound/sound.h"
#include "sound_fixture.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int FRAMES = AUDIO_FRAMES_PER_BUFFER;
constexpr size_t BUFFER_BYTES = 2 * FRAMES;

Bytes Repeat(unsigned char value, size_t count) {
    return Bytes(count, value);
}
Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Slice(const Bytes& b, size_t from, size_t count) {
    return Bytes(b.begin() + long(from), b.begin() + long(from + count));
}

class MixerTest : public SoundTest {
  protected:
    void SetUp() override {
        device.Reset();
        log.texts.clear();
        clock.SetTime(1000);
        sectionTime.store(0);
        audio.SetMasterVolume(100);
    }
    void TearDown() override {
        audio.Shutdown();
        device.Reset();
    }

    void Open() {
        ASSERT_EQ(audio.Init(AUDIO_FORMAT_STEREO, FRAMES), 1);
        ASSERT_EQ(audio.audioOn.load(), 1u);
    }

    // A sound loaded from a WAV file holding `samples`.
    CSound* Sound(const Bytes& samples, int32_t loopPoint = 0, int head = 0, int tail = 0,
                  bool loop = false) {
        std::string name = "s";
        name += std::to_string(sounds.size());
        name += ".wav";
        std::string path = dir.WriteBytes(name, MakeWav(samples));
        sounds.push_back(std::make_unique<CSound>());
        CSound* s = sounds.back().get();
        EXPECT_EQ(s->Load(path.c_str(), 100, 64, loopPoint, head, tail, &errors), 1);
        if (loop) s->flags |= SOUND_LOOP;
        return s;
    }

    // Lets the device play one buffer (125 ms of virtual time) and returns it.
    Bytes Pass() {
        size_t before = device.Played().size();
        clock.AdvanceTime(HEADLESS_AUDIO_BUFFER_MS);
        const std::vector<uint8_t>& played = device.Played();
        EXPECT_EQ(played.size(), before + BUFFER_BYTES);
        return Bytes(played.begin() + long(before), played.end());
    }
    // The chunk that channel `c` has prepared for the next pass (empty: none).
    Bytes Chunk(int c) {
        const uint8_t* p = audio.Channel(c).chunkPointer;
        return p ? Bytes(p, p + FRAMES) : Bytes();
    }
    // Runs passes and gathers channel `c`'s chunks until it prepares none.
    Bytes Drain(int c, int maxPasses = 100) {
        Bytes all;
        for (int i = 0; i < maxPasses; i++) {
            Pass();
            Bytes chunk = Chunk(c);
            if (chunk.empty()) break;
            all.insert(all.end(), chunk.begin(), chunk.end());
        }
        return all;
    }
    // Left samples (even bytes) or right samples (odd bytes) of a buffer.
    static Bytes Side(const Bytes& buffer, int side) {
        Bytes out;
        for (size_t i = size_t(side); i < buffer.size(); i += 2) out.push_back(buffer[i]);
        return out;
    }

    TempDir dir;
    std::vector<std::unique_ptr<CSound>> sounds;
};

TEST_F(MixerTest, GainFollowsVolumeMasterVolumeAndPan) {
    EXPECT_EQ(audio.VolumeToGain(100), 16384);
    EXPECT_EQ(audio.VolumeToGain(127), 65535);
    EXPECT_EQ(audio.VolumeToGain(50), 8192);
    EXPECT_EQ(audio.VolumeToGain(101), 49151 / 27 + 16384);
    EXPECT_EQ(audio.VolumeToGain(0), 0);
    EXPECT_EQ(audio.VolumeToGain(-3), 0); // a fade that overshoots is silent
    EXPECT_EQ(audio.VolumeToGain(300), 65535);
    audio.SetMasterVolume(50);
    EXPECT_EQ(audio.VolumeToGain(100), 8192);
    audio.SetMasterVolume(250);
    EXPECT_EQ(audio.MasterVolume(), 100);
    audio.SetMasterVolume(-1);
    EXPECT_EQ(audio.VolumeToGain(127), 0);
    audio.SetMasterVolume(100);

    int32_t left, right;
    audio.Gains(100, 64, &left, &right);
    EXPECT_EQ(left, 16384);
    EXPECT_EQ(right, 16384);
    audio.Gains(100, 0, &left, &right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 16384);
    audio.Gains(100, 32, &left, &right);
    EXPECT_EQ(left, 8192);
    audio.Gains(127, 127, &left, &right);
    EXPECT_EQ(left, 65535);
    EXPECT_EQ(right, 65535 / 64);
    audio.Gains(-10, 20, &left, &right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 0);
}

TEST_F(MixerTest, OpensTwoSilentBuffersAndHearsASoundTwoBuffersLater) {
    Open();
    EXPECT_EQ(device.Format(), AUDIO_FORMAT_STEREO);
    EXPECT_EQ(device.Frames(), FRAMES);
    EXPECT_EQ(device.Queued(), 2);
    CSound* s = Sound(Repeat(255, 3 * FRAMES));
    ASSERT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 1);
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES)); // queued at start
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES)); // queued at start
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES)); // mixed before the first chunk
    // 128 + floor(127 * 16384 / 65536) = 159: a quarter of full scale.
    EXPECT_EQ(Pass(), Repeat(159, BUFFER_BYTES));
    EXPECT_EQ(device.Queued(), 2);
}

TEST_F(MixerTest, NegativeSamplesRoundDown) {
    Open();
    audio.StartSound(AUDIO_NEVER, Sound(Repeat(0, 3 * FRAMES)), 100, 64);
    for (int i = 0; i < 3; i++) Pass();
    EXPECT_EQ(Pass(), Repeat(96, BUFFER_BYTES)); // 128 + floor(-128 / 4)
    audio.Shutdown();
    Open();
    audio.StartSound(AUDIO_NEVER, Sound(Repeat(127, 3 * FRAMES)), 100, 64);
    for (int i = 0; i < 3; i++) Pass();
    EXPECT_EQ(Pass(), Repeat(127, BUFFER_BYTES)); // 128 + floor(-1 / 4)
}

TEST_F(MixerTest, FourLoudSoundsClipAtBothEnds) {
    Open();
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(audio.StartSound(AUDIO_NEVER, Sound(Repeat(255, 3 * FRAMES)), 127, 64), 1);
    }
    for (int i = 0; i < 3; i++) Pass();
    EXPECT_EQ(Pass(), Repeat(255, BUFFER_BYTES));
    audio.Shutdown();
    Open();
    for (int i = 0; i < 4; i++)
        audio.StartSound(AUDIO_NEVER, Sound(Repeat(0, 3 * FRAMES)), 127, 64);
    for (int i = 0; i < 3; i++) Pass();
    EXPECT_EQ(Pass(), Repeat(0, BUFFER_BYTES));
}

TEST_F(MixerTest, PanSplitsTheGain) {
    Open();
    audio.StartSound(AUDIO_NEVER, Sound(Repeat(255, 3 * FRAMES)), 100, 0);
    for (int i = 0; i < 3; i++) Pass();
    Bytes hardLeftPan = Pass();
    EXPECT_EQ(Side(hardLeftPan, 0), Repeat(128, FRAMES)); // pan 0: the first sample is silent
    EXPECT_EQ(Side(hardLeftPan, 1), Repeat(159, FRAMES));
    audio.Shutdown();
    Open();
    audio.StartSound(AUDIO_NEVER, Sound(Repeat(255, 3 * FRAMES)), 127, 127);
    for (int i = 0; i < 3; i++) Pass();
    Bytes other = Pass();
    EXPECT_EQ(Side(other, 0), Repeat(128 + 126, FRAMES));
    EXPECT_EQ(Side(other, 1), Repeat(128 + 1, FRAMES)); // 1/64 of full gain
}

TEST_F(MixerTest, ShortSoundPlaysOneChunkThenFreesItsChannel) {
    Open();
    Bytes samples = RampSamples(1000);
    CSound* s = Sound(samples);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    EXPECT_EQ(Chunk(0), Concat({samples, Repeat(0x80, FRAMES - 1000)}));
    EXPECT_FALSE(audio.IsChannelBusy(0));
    Pass();
    EXPECT_TRUE(Chunk(0).empty());
}

TEST_F(MixerTest, HeadAndTailPlayTheirCounts) {
    Open();
    Bytes samples = RampSamples(30);
    Bytes head = Slice(samples, 0, 10);
    Bytes tail = Slice(samples, 10, 20);
    // Segments shorter than a chunk follow each other within the chunk.
    audio.StartSound(AUDIO_NEVER, Sound(samples, 10, 3, 2), 100, 64);
    EXPECT_EQ(Drain(0), Concat({head, head, head, tail, tail, Repeat(0x80, FRAMES - 70)}));
    // No head repeats: the head once, and no tail.
    audio.StartSound(AUDIO_NEVER, Sound(samples, 10, 0, 5), 100, 64);
    EXPECT_EQ(Drain(0), Concat({head, Repeat(0x80, FRAMES - 10)}));
    // No tail repeats: the tail still plays once.
    audio.StartSound(AUDIO_NEVER, Sound(samples, 10, 1, 0), 100, 64);
    EXPECT_EQ(Drain(0), Concat({head, tail, Repeat(0x80, FRAMES - 30)}));
    // A loop point at the end of the data leaves an empty tail.
    audio.StartSound(AUDIO_NEVER, Sound(samples, 30, 2, 4), 100, 64);
    EXPECT_EQ(Drain(0), Concat({samples, samples, Repeat(0x80, FRAMES - 60)}));
}

TEST_F(MixerTest, SegmentsLongerThanAChunkCarryOver) {
    Open();
    Bytes samples = RampSamples(5000);
    Bytes head = Slice(samples, 0, 3000);
    Bytes tail = Slice(samples, 3000, 2000);
    audio.StartSound(AUDIO_NEVER, Sound(samples, 3000, 2, 3), 100, 64);
    Bytes expected = Concat({head, head, tail, tail, tail});
    expected.resize(5 * FRAMES, 0x80); // 12000 bytes, then silence to the chunk's end
    EXPECT_EQ(Drain(0), expected);
}

TEST_F(MixerTest, LoopingSoundRestartsFromItsBeginning) {
    Open();
    Bytes samples = RampSamples(1000);
    audio.StartSound(AUDIO_NEVER, Sound(samples, 0, 0, 0, true), 100, 64);
    Bytes played = Drain(0, 3);
    ASSERT_EQ(played.size(), 3u * FRAMES);
    for (size_t i = 0; i < played.size(); i++) ASSERT_EQ(played[i], samples[i % 1000]) << i;
    EXPECT_TRUE(audio.IsChannelBusy(0));

    // With a loop point the restart plays the head repeats again.
    audio.Shutdown();
    Open();
    audio.StartSound(AUDIO_NEVER, Sound(RampSamples(6), 2, 2, 1, true), 100, 64);
    Bytes looped = Drain(0, 1);
    Bytes cycle = {0, 1, 0, 1, 2, 3, 4, 5};
    for (size_t i = 0; i < looped.size(); i++) ASSERT_EQ(looped[i], cycle[i % 8]) << i;
}

TEST_F(MixerTest, EmptyLoopingSoundEndsInsteadOfSpinning) {
    Open();
    audio.StartSound(AUDIO_NEVER, Sound({}, 0, 0, 0, true), 100, 64);
    Pass();
    EXPECT_TRUE(Chunk(0).empty());
    EXPECT_FALSE(audio.IsChannelBusy(0));
}

TEST_F(MixerTest, StopTimeCutsTheSoundOnceTheSectionClockReachesIt) {
    Open();
    CSound* bounce = Sound(Repeat(255, 20 * FRAMES));
    audio.StartSound(600, bounce, 100, 64);
    sectionTime = 250;
    Pass();
    EXPECT_FALSE(Chunk(0).empty());
    sectionTime = 599;
    Pass();
    EXPECT_FALSE(Chunk(0).empty());
    sectionTime = 600;
    Pass();
    EXPECT_TRUE(Chunk(0).empty());
    EXPECT_FALSE(audio.IsChannelBusy(0));
}

TEST_F(MixerTest, FifthSoundIsDroppedWhileFourPlay) {
    Open();
    CSound* s[5];
    for (int i = 0; i < 5; i++) s[i] = Sound(Repeat(200, 10 * FRAMES));
    for (int i = 0; i < 4; i++) EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s[i], 100, 64), 1);
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s[4], 100, 64), 0);
    Pass();
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s[4], 100, 64), 0);
    audio.StopSound(s[2]);
    EXPECT_FALSE(audio.IsChannelBusy(2));
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s[4], 100, 64), 1);
    EXPECT_EQ(audio.Channel(2).sound.load(), s[4]);
}

TEST_F(MixerTest, StoppedSoundIsMixedOnceMore) {
    Open();
    CSound* s = Sound(Repeat(255, 20 * FRAMES));
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    Pass(); // the first chunk is mixed into the buffer queued now
    audio.StopSound(s);
    Pass(); // the second chunk was prepared: it is still mixed
    EXPECT_TRUE(Chunk(0).empty());
    EXPECT_EQ(Pass(), Repeat(159, BUFFER_BYTES));
    EXPECT_EQ(Pass(), Repeat(159, BUFFER_BYTES));
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES));
}

TEST_F(MixerTest, RepanChangesTheFirstChannelPlayingTheSound) {
    Open();
    CSound* s = Sound(Repeat(255, 20 * FRAMES));
    CSound* other = Sound(Repeat(255, 20 * FRAMES));
    audio.StartSound(AUDIO_NEVER, other, 100, 64);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    audio.SetSoundVolumePan(s, 127, 0);
    EXPECT_EQ(audio.Channel(1).leftGain.load(), 0);
    EXPECT_EQ(audio.Channel(1).rightGain.load(), 65535);
    EXPECT_EQ(audio.Channel(2).rightGain.load(), 16384);
    EXPECT_EQ(audio.Channel(0).rightGain.load(), 16384);
    audio.SetSoundVolumePan(s, -2, 64); // a fade's overshoot
    EXPECT_EQ(audio.Channel(1).leftGain.load(), 0);
    EXPECT_EQ(audio.Channel(1).rightGain.load(), 0);
}

TEST_F(MixerTest, OneSoundOnTwoChannelsKeepsTwoPositions) {
    Open();
    Bytes samples = RampSamples(4 * FRAMES);
    CSound* s = Sound(samples);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    EXPECT_EQ(Chunk(0), Slice(samples, FRAMES, FRAMES));
    EXPECT_EQ(Chunk(1), Slice(samples, 0, FRAMES));
}

TEST_F(MixerTest, RestartAfterStopBeginsAgain) {
    Open();
    Bytes samples = RampSamples(4 * FRAMES);
    CSound* s = Sound(samples);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    Pass();
    audio.StopSound(s);
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    EXPECT_EQ(Chunk(0), Slice(samples, 0, FRAMES));
}

TEST_F(MixerTest, StreamedSoundPlaysLikeOneInMemory) {
    Open();
    Bytes samples = RampSamples(65536);
    for (size_t i = 0; i < samples.size(); i++) samples[i] = (unsigned char)((i * 7) >> 3);
    CSound* memory = Sound(Slice(samples, 0, 65535));
    CSound* streamed = Sound(samples, 40000, 2, 2);
    ASSERT_EQ(memory->flags & SOUND_STREAMED, 0u);
    ASSERT_EQ(streamed->flags & SOUND_STREAMED, SOUND_STREAMED);
    audio.StartSound(AUDIO_NEVER, memory, 100, 64);
    Bytes fromMemory = Drain(0);
    audio.StartSound(AUDIO_NEVER, streamed, 100, 64);
    Bytes fromFile = Drain(0);
    Bytes expectedMemory = Slice(samples, 0, 65535);
    expectedMemory.resize(24 * FRAMES, 0x80);
    EXPECT_EQ(fromMemory, expectedMemory);
    Bytes head = Slice(samples, 0, 40000);
    Bytes tail = Slice(samples, 40000, 25536);
    Bytes expectedFile = Concat({head, head, tail, tail});
    expectedFile.resize(48 * FRAMES, 0x80);
    EXPECT_EQ(fromFile, expectedFile);
}

TEST_F(MixerTest, WithoutADeviceSoundStaysOffSilently) {
    device.SetAvailable(false);
    EXPECT_EQ(audio.Init(AUDIO_FORMAT_STEREO, FRAMES), 1);
    EXPECT_EQ(audio.audioOn.load(), 0u);
    EXPECT_TRUE(log.texts.empty());
    CSound* s = Sound(RampSamples(100));
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 1); // off: nothing to do
    EXPECT_FALSE(audio.IsChannelBusy(0));
    audio.StopSound(s);
    audio.SetSoundVolumePan(s, 100, 64);
    audio.Shutdown();
}

TEST_F(MixerTest, UnsupportedFormatsLeaveSoundOff) {
    EXPECT_EQ(audio.Init(AUDIO_FORMAT_STEREO | AUDIO_FORMAT_16BIT, FRAMES), 1);
    EXPECT_EQ(audio.Init(0, FRAMES), 1);
    EXPECT_EQ(audio.Init(AUDIO_FORMAT_STEREO, 0), 1);
    EXPECT_EQ(audio.audioOn.load(), 0u);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(log.texts.empty());
}

TEST_F(MixerTest, PrepareFailureIsReported) {
    device.FailPrepare(true);
    scriptLine = 0;
    EXPECT_EQ(audio.Init(AUDIO_FORMAT_STEREO, FRAMES), 0);
    EXPECT_EQ(audio.audioOn.load(), 0u);
    EXPECT_FALSE(device.IsOpen());
    ASSERT_EQ(log.texts.size(), 1u);
    EXPECT_EQ(log.texts[0], "Multimedia error: CAudio::Init() waveOutPrepareHeader failed");
}

TEST_F(MixerTest, ShutdownClosesTheDeviceAndStopsMixing) {
    Open();
    EXPECT_EQ(audio.Init(AUDIO_FORMAT_STEREO, FRAMES), 1); // already running
    CSound* s = Sound(Repeat(255, 20 * FRAMES));
    audio.StartSound(AUDIO_NEVER, s, 100, 64);
    Pass();
    audio.Shutdown();
    EXPECT_EQ(audio.audioOn.load(), 0u);
    EXPECT_FALSE(device.IsOpen());
    uint64_t played = device.BuffersPlayed();
    clock.AdvanceTime(1000);
    EXPECT_EQ(device.BuffersPlayed(), played);
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 1);
    audio.Shutdown(); // twice is harmless
    Open();           // and the mixer opens again with free channels
    EXPECT_FALSE(audio.IsChannelBusy(0));
}

// An open output stream keeps the computer awake: the device is open only
// while something plays, and a sound that starts meanwhile opens it again.
TEST_F(MixerTest, TheDeviceIsClosedWhileNothingPlays) {
    Open();
    EXPECT_EQ(device.Opens(), 1);
    for (uint32_t i = 1; i < AUDIO_IDLE_BUFFERS; ++i) Pass();
    audio.CloseWhenIdle();
    EXPECT_TRUE(device.IsOpen()); // not silent for long enough yet
    Pass();
    audio.CloseWhenIdle();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(audio.DeviceOpen());
    const uint64_t played = device.BuffersPlayed();
    clock.AdvanceTime(5000);
    EXPECT_EQ(device.BuffersPlayed(), played); // closed: nothing plays

    // A short sound opens it again and plays whole, as from the start.
    CSound* s = Sound(Repeat(255, 1000));
    ASSERT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 1);
    EXPECT_EQ(device.Opens(), 2);
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES));
    audio.CloseWhenIdle(); // its chunk is prepared, not yet heard: still open
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES));
    audio.CloseWhenIdle(); // mixed, not yet heard: still open
    EXPECT_EQ(Pass(), Repeat(0x80, BUFFER_BYTES));
    EXPECT_TRUE(device.IsOpen());
    Bytes heard = Pass();
    EXPECT_EQ(Slice(heard, 0, 2000), Repeat(159, 2000));
    EXPECT_EQ(Slice(heard, 2000, BUFFER_BYTES - 2000), Repeat(0x80, BUFFER_BYTES - 2000));
    // Two silent buffers have been queued after the sound's.
    for (uint32_t silent = 2; silent < AUDIO_IDLE_BUFFERS; ++silent) {
        audio.CloseWhenIdle();
        ASSERT_TRUE(device.IsOpen()) << "after " << silent << " silent buffers";
        Pass();
    }
    audio.CloseWhenIdle();
    EXPECT_FALSE(device.IsOpen());

    // A device that has gone meanwhile drops the sound and keeps its channel free.
    device.SetAvailable(false);
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 0);
    EXPECT_FALSE(audio.IsChannelBusy(0));
    device.SetAvailable(true);
    EXPECT_EQ(audio.StartSound(AUDIO_NEVER, s, 100, 64), 1);
    EXPECT_EQ(device.Opens(), 3);
    audio.Shutdown(); // releases the device as before
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(MixerTest, RecordsWhatItPlayedAsAWavFile) {
    std::string path = dir.File("out.wav");
    Open();
    ASSERT_EQ(device.RecordTo(path.c_str()), 1);
    device.ClearPlayed();
    audio.StartSound(AUDIO_NEVER, Sound(RampSamples(3000)), 120, 30);
    for (int i = 0; i < 6; i++) Pass();
    ASSERT_EQ(device.StopRecording(), 1);
    Bytes file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 44 + 6 * BUFFER_BYTES);
    auto le32 = [&](size_t at) {
        return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
               uint32_t(file[at + 3]) << 24;
    };
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(le32(4), 36 + 6 * BUFFER_BYTES);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(24), 22050u);
    EXPECT_EQ(le32(28), 44100u);
    EXPECT_EQ(file[22], 2);
    EXPECT_EQ(file[32], 2);
    EXPECT_EQ(file[34], 8);
    EXPECT_EQ(le32(40), 6 * BUFFER_BYTES);
    EXPECT_EQ(Slice(file, 44, 6 * BUFFER_BYTES),
              Bytes(device.Played().begin(), device.Played().end()));
    EXPECT_NE(Slice(file, 44 + 3 * BUFFER_BYTES, BUFFER_BYTES), Repeat(0x80, BUFFER_BYTES));

    // An independent reader agrees on the format and the length.
    if (RunCommand("command -v soxi >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
    std::string info = dir.File("info.txt");
    ASSERT_EQ(RunCommand("(soxi -c " + path + "; soxi -r " + path + "; soxi -b " + path +
                         "; soxi -s " + path + ") >" + info),
              0);
    EXPECT_EQ(ReadFileText(info), "2\n22050\n8\n" + std::to_string(6 * FRAMES) + "\n");
}

} // namespace
