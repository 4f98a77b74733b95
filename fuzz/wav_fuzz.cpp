// Loads arbitrary bytes as a WAV file and plays what loads through the mixer
// for a few buffers, with a loop point and repeat counts taken from the size.
#include "app/glimmora_context.h"
#include "platform/audio_device.h"
#include "ports/headless/headless_port.h"
#include "sound/audio.h"
#include "sound/sound.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static char path[64];
    if (!path[0]) std::snprintf(path, sizeof(path), "/tmp/glimmora-wav-fuzz-%d.wav", int(getpid()));
    std::FILE* out = std::fopen(path, "wb");
    if (!out) return 0;
    std::fwrite(bytes, 1, size, out);
    std::fclose(out);

    // One context serves every input: making one costs more than most inputs.
    static const std::unique_ptr<HeadlessPort> port = std::make_unique<HeadlessPort>();
    static const std::unique_ptr<GlimmoraContext> ctx =
        std::make_unique<GlimmoraContext>(port->Services());
    port->system.ClearMessages();
    CAudio& audio = ctx->audio;
    CSound sound;
    int32_t loopPoint = int32_t(size % 7 == 0 ? 0 : size / 3);
    if (sound.Load(path, int(size % 130), int(size % 128), loopPoint, int(size % 4), int(size % 3),
                   &ctx->errors) &&
        size % 2) {
        sound.flags |= SOUND_LOOP;
    }
    if (sound.length > 0 || sound.file) {
        port->audio.KeepPlayed(false);
        ctx->engine.sectionTime.store(0);
        if (audio.Init(AUDIO_FORMAT_STEREO, AUDIO_FRAMES_PER_BUFFER)) {
            audio.StartSound(AUDIO_NEVER, &sound, sound.volume, sound.pan);
            audio.StartSound(700, &sound, 127, 0);
            for (int i = 0; i < 8; i++) {
                ctx->engine.sectionTime.store(uint32_t(i) * 125);
                port->system.AdvanceTime(HEADLESS_AUDIO_BUFFER_MS);
            }
            audio.Shutdown();
        }
    }
    std::remove(path);
    return 0;
}
