// Imports arbitrary bytes as a sound: libsndfile reads them from a file,
// the importer mixes, resamples and dithers them into a WAV, which must be a
// complete 8-bit mono 22050 Hz file when the import succeeds. The input size
// chooses normalising and the gain.
#include "import/sound.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[64];
    if (!path[0]) std::snprintf(path, sizeof(path), "/tmp/glimmora-sound-fuzz-%d", getpid());
    std::FILE* in = std::fopen(path, "wb");
    if (!in) return 0;
    std::fwrite(data, 1, size, in);
    std::fclose(in);

    SoundOptions options;
    options.normalize = size % 2 == 1;
    options.gainDb = static_cast<double>(size % 7) * 6 - 18;
    options.maxSeconds = 2; // long sounds cost time, not coverage
    std::FILE* out = std::tmpfile();
    if (!out) std::abort();
    SoundReport report;
    std::string error;
    if (!ConvertSound(path, options, out, &report, &error)) {
        if (error.empty()) std::abort(); // every refusal says why
    } else {
        // The header's sizes match the samples written, and a pad byte
        // follows an odd count.
        std::vector<uint8_t> wav(static_cast<size_t>(report.samples) + 46);
        std::rewind(out);
        const size_t n = std::fread(wav.data(), 1, wav.size(), out);
        const uint32_t samples = static_cast<uint32_t>(report.samples);
        if (report.samples > options.maxSeconds * IMPORT_SOUND_RATE + 1 ||
            n != 44 + samples + (samples & 1) || std::memcmp(wav.data(), "RIFF", 4) != 0 ||
            Le32(&wav[4]) != 36 + samples + (samples & 1) || Le32(&wav[24]) != 22050 ||
            Le32(&wav[40]) != samples || report.description.empty())
            std::abort();
    }
    std::fclose(out);
    std::remove(path);
    return 0;
}
