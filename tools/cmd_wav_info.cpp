// "wav-info": shows how the saver's loader reads a WAV file.
#include "base/error_sink.h"
#include "media_notes.h"
#include "sound/sound.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <cstdio>
#include <memory>
#include <string>

int CmdWavInfo(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: glimmora-tool wav-info FILE\n");
        return 2;
    }
    const char* path = argv[0];
    ErrorSink errors;
    ToolMessages messages;
    messages.Collect(errors);
    CSound sound;
    if (!sound.Load(path, 100, 64, 0, 0, 0, &errors)) {
        const char* message =
            messages.texts.empty() ? "cannot load" : messages.texts.back().c_str();
        std::fprintf(stderr, "%s: %s\n", path, message);
        const std::string note = MediaRefusalNote(message);
        if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
        return 1;
    }
    uint64_t milliseconds = uint64_t(sound.length) * 1000 / SOUND_RATE;
    std::printf("%s: %u bytes of 8-bit mono PCM at %d Hz (%llu ms), ", path, sound.length,
                SOUND_RATE, (unsigned long long)milliseconds);
    if (sound.flags & SOUND_STREAMED) {
        std::printf("streamed from byte %d\n", sound.dataStart);
    } else {
        std::printf("in memory\n");
    }
    return 0;
}
