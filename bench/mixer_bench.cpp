// One mixing pass (mix, queue, refill) with four busy channels, in
// microseconds per buffer. A pass must take well under 1% of the 125 ms that
// its buffer plays, that is well under 1250 us.
#include "app/glimmora_context.h"
#include "platform/audio_device.h"
#include "ports/headless/headless_port.h"
#include "sound/audio.h"
#include "sound/sound.h"
#include "support/test_files.h"
#include "support/wav_writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// Mixes buffers with four looping sounds of `length` bytes, each with a loop
// point, so the refill walks segments as well.
void MixFourChannels(benchmark::State& state) {
    uint32_t length = uint32_t(state.range(0));
    TempDir dir;
    auto port = std::make_unique<HeadlessPort>();
    auto ctx = std::make_unique<GlimmoraContext>(port->Services());
    CAudio& audio = ctx->audio;
    std::unique_ptr<CSound> sounds[AUDIO_CHANNELS];
    port->audio.Reset();
    port->audio.KeepPlayed(false);
    ctx->engine.sectionTime.store(0);
    if (!audio.Init(AUDIO_FORMAT_STEREO, AUDIO_FRAMES_PER_BUFFER)) {
        state.SkipWithError("the mixer did not start");
        return;
    }
    for (int c = 0; c < AUDIO_CHANNELS; c++) {
        std::vector<unsigned char> samples = RampSamples(length);
        char name[16];
        std::snprintf(name, sizeof(name), "s%d.wav", c);
        std::string path = dir.WriteBytes(name, MakeWav(samples));
        sounds[c] = std::make_unique<CSound>();
        sounds[c]->Load(path.c_str(), 100, 64, int32_t(length / 3), 2, 3, &ctx->errors);
        sounds[c]->flags |= SOUND_LOOP;
        audio.StartSound(AUDIO_NEVER, sounds[c].get(), 110 + c, 20 + 30 * c);
    }
    audio.MixBuffer(); // prepares the first chunks
    for (auto _ : state) {
        audio.MixBuffer();
        port->audio.PlayOne(); // hands the queued buffer back, as the device does
    }
    audio.Shutdown();
    port->audio.Reset();
}

} // namespace

// In-memory sounds (below the stream threshold) and streamed ones.
BENCHMARK(MixFourChannels)->Arg(30000)->Arg(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
