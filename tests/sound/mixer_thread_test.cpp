// The mixer on a real device thread while the engine's thread starts, stops
// and re-pans sounds. Run under ThreadSanitizer by scripts/tsan-test.
#include "platform/audio_device.h"
#include "sound/audio.h"
#include "sound/sound.h"
#include "sound_fixture.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

class MixerThreadTest : public SoundTest {
  protected:
    void SetUp() override {
        device.Reset();
        device.UseThread(true);
        device.KeepPlayed(false);
        sectionTime.store(0);
        audio.SetMasterVolume(100);
        // Short and long sounds, in memory and streamed, with loop points and loops.
        Add(RampSamples(700), 0, 0, 0, false);
        Add(RampSamples(3000), 1000, 3, 2, false);
        Add(RampSamples(50), 7, 40, 40, true);
        Add(RampSamples(70000), 30000, 2, 1, false);
        Add(RampSamples(66000), 0, 0, 0, true);
        Add(RampSamples(9000), 0, 0, 0, true);
    }
    void TearDown() override {
        audio.Shutdown();
        device.Reset();
    }

    void Add(const std::vector<unsigned char>& samples, int32_t loopPoint, int head, int tail,
             bool loop) {
        std::string name = "s";
        name += std::to_string(sounds.size());
        name += ".wav";
        std::string path = dir.WriteBytes(name, MakeWav(samples));
        sounds.push_back(std::make_unique<CSound>());
        ASSERT_EQ(sounds.back()->Load(path.c_str(), 100, 64, loopPoint, head, tail, &errors), 1);
        if (loop) sounds.back()->flags |= SOUND_LOOP;
    }

    // Waits (a bounded time) until the device thread has played `count` more buffers.
    bool WaitForBuffers(uint64_t count) {
        uint64_t target = device.BuffersPlayed() + count;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (device.BuffersPlayed() < target) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }

    TempDir dir;
    std::vector<std::unique_ptr<CSound>> sounds;
};

TEST_F(MixerThreadTest, EngineCallsRaceWithMixingSafely) {
    for (int round = 0; round < 3; round++) {
        ASSERT_EQ(audio.Init(AUDIO_FORMAT_STEREO, AUDIO_FRAMES_PER_BUFFER), 1);
        ASSERT_TRUE(WaitForBuffers(2));
        uint64_t before = device.BuffersPlayed();
        uint32_t random = 12345u + uint32_t(round);
        for (int i = 0; i < 6000 || device.BuffersPlayed() < before + 50; i++) {
            random = random * 1103515245u + 12345u;
            CSound* s = sounds[(random >> 16) % sounds.size()].get();
            int volume = int((random >> 8) % 140) - 5;
            int pan = int((random >> 4) % 128);
            switch (i % 5) {
            case 0:
            case 1:
                audio.StartSound(i % 3 ? AUDIO_NEVER : uint32_t(i) + 400, s, volume, pan);
                break;
            case 2: audio.StopSound(s); break;
            case 3: audio.SetSoundVolumePan(s, volume, pan); break;
            case 4:
                sectionTime.store(uint32_t(i));
                audio.CloseWhenIdle();
                break;
            }
            if (i > 1000000) break;
        }
        EXPECT_GT(device.BuffersPlayed(), before);
        // Shut down while the device thread is mixing.
        audio.Shutdown();
        EXPECT_FALSE(device.IsOpen());
        uint64_t after = device.BuffersPlayed();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(device.BuffersPlayed(), after);
        EXPECT_EQ(device.Queued(), 0);
    }
}

// The device closes while nothing plays and opens again for the next sound,
// with the mixing thread running up to the close. A close waits for a run of
// silent buffers, which takes long under ThreadSanitizer on a busy machine:
// a few cycles suffice to meet the races, and the deadline is generous.
TEST_F(MixerThreadTest, ClosingWhenIdleAndOpeningAgainRaceSafely) {
    ASSERT_EQ(audio.Init(AUDIO_FORMAT_STEREO, AUDIO_FRAMES_PER_BUFFER), 1);
    constexpr int CYCLES = 5;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int closes = 0;
    for (int i = 0; closes < CYCLES && std::chrono::steady_clock::now() < deadline; i++) {
        if (!audio.DeviceOpen() || i % 64 == 0)
            audio.StartSound(AUDIO_NEVER, sounds[0].get(), 100, 64);
        const bool open = audio.DeviceOpen();
        audio.CloseWhenIdle();
        if (open && !audio.DeviceOpen()) {
            ++closes;
            EXPECT_FALSE(device.IsOpen());
            EXPECT_EQ(device.Queued(), 0);
        }
        std::this_thread::yield();
    }
    EXPECT_EQ(closes, CYCLES);
    EXPECT_GE(device.Opens(), CYCLES);
}

} // namespace
