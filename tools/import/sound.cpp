#include "sound.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int64_t BLOCK_SAMPLES = 65536; // input samples (all channels) read at a time
constexpr size_t OUT_BLOCK = 8192;       // resampled samples taken at a time

std::string SampleText(int subtype) {
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return "8-bit";
    case SF_FORMAT_PCM_16: return "16-bit";
    case SF_FORMAT_PCM_24: return "24-bit";
    case SF_FORMAT_PCM_32: return "32-bit";
    case SF_FORMAT_FLOAT: return "32-bit float";
    case SF_FORMAT_DOUBLE: return "64-bit float";
    case SF_FORMAT_ULAW: return "u-law";
    case SF_FORMAT_ALAW: return "A-law";
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM: return "ADPCM";
    default: return "";
    }
}

std::string ContainerText(int major, int subtype) {
    switch (major) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64: return "WAV";
    case SF_FORMAT_FLAC: return "FLAC";
    case SF_FORMAT_OGG: return subtype == SF_FORMAT_OPUS ? "Ogg Opus" : "Ogg Vorbis";
    case SF_FORMAT_MPEG: return "MP3";
    case SF_FORMAT_AIFF: return "AIFF";
    default: return "sound";
    }
}

std::string ChannelText(int channels) {
    if (channels == 1) return "mono";
    if (channels == 2) return "stereo";
    return std::to_string(channels) + "-channel";
}

std::string LengthText(int64_t seconds) {
    if (seconds == 3600) return "an hour";
    if (seconds % 3600 == 0) return std::to_string(seconds / 3600) + " hours";
    return std::to_string(seconds) + " seconds";
}

// A small fixed-seed generator: the same input always gives the same output.
struct Noise {
    uint32_t state = 0x9E3779B9u;
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 4294967296.0;
    }
};

struct SoundCloser {
    SNDFILE* file;
    ~SoundCloser() {
        if (file) sf_close(file);
    }
};

struct ResamplerCloser {
    soxr_t soxr;
    ~ResamplerCloser() {
        if (soxr) soxr_delete(soxr);
    }
};

struct StreamInfo {
    std::string description;
    int rate = 0;
    bool engineFormat = false; // already 8-bit mono at the saver's rate
};

// Reads the sound at `path` block by block, averages its channels and
// resamples them to the saver's rate; `take(samples, count)` receives the
// result in order, as floats from -1 to 1, and returns false to stop. The
// output has the input's length to the nearest sample.
template <typename Take>
bool StreamSound(const std::string& path, int64_t maxSeconds, StreamInfo* stream, Take take,
                 std::string* error) {
    SF_INFO info = {};
    SoundCloser closer = {sf_open(path.c_str(), SFM_READ, &info)};
    SNDFILE* file = closer.file;
    if (!file) {
        *error = std::string("not a readable sound (") + sf_strerror(nullptr) + ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        *error = "the sound has no channels or no sample rate";
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    const std::string sample = SampleText(subtype);
    stream->description = (sample.empty() ? "" : sample + " ") + ChannelText(info.channels) + " " +
                          std::to_string(info.samplerate) + " Hz " + ContainerText(major, subtype);
    stream->rate = info.samplerate;
    stream->engineFormat = info.channels == 1 && info.samplerate == IMPORT_SOUND_RATE &&
                           (subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_S8);
    const int rate = info.samplerate;
    if (rate < IMPORT_MIN_RATE || rate > IMPORT_MAX_RATE) {
        *error = "its sample rate of " + std::to_string(rate) + " Hz is outside the " +
                 std::to_string(IMPORT_MIN_RATE) + " to " + std::to_string(IMPORT_MAX_RATE) +
                 " Hz the importer takes";
        return false;
    }
    const int64_t limit = maxSeconds * rate;
    const std::string tooLong = "the sound is longer than " + LengthText(maxSeconds);
    // A length the header gives is refused before any of it is read.
    if (info.frames > limit && info.frames != SF_COUNT_MAX) {
        *error = tooLong;
        return false;
    }

    ResamplerCloser resampler = {nullptr};
    if (rate != IMPORT_SOUND_RATE) {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        soxr_error_t failed = nullptr;
        resampler.soxr = soxr_create(rate, IMPORT_SOUND_RATE, 1, &failed, &io, &quality, nullptr);
        if (failed || !resampler.soxr) {
            *error = std::string("resampling failed (") + (failed ? failed : "no resampler") + ")";
            return false;
        }
    }

    const int channels = info.channels;
    const int64_t blockFrames = std::max<int64_t>(1, BLOCK_SAMPLES / channels);
    std::vector<float> block(static_cast<size_t>(blockFrames * channels));
    std::vector<float> mono(static_cast<size_t>(blockFrames));
    std::vector<float> out(OUT_BLOCK);
    int64_t frames = 0;   // read so far
    int64_t produced = 0; // passed to `take`
    // Output due for the input read so far: its length at the saver's rate.
    auto due = [&frames, rate] { return (frames * IMPORT_SOUND_RATE + rate / 2) / rate; };
    // Passes on at most what is due, so that the output keeps the input's length.
    auto pass = [&](const float* samples, size_t count) {
        const int64_t room = due() - produced;
        const size_t n = static_cast<size_t>(std::clamp<int64_t>(room, 0, int64_t(count)));
        produced += static_cast<int64_t>(n);
        return n == 0 || take(samples, n);
    };
    for (;;) {
        const sf_count_t got = sf_readf_float(file, block.data(), blockFrames);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            double sum = 0;
            for (int c = 0; c < channels; ++c) sum += block[static_cast<size_t>(i * channels + c)];
            mono[static_cast<size_t>(i)] = static_cast<float>(sum / channels);
        }
        frames += got;
        if (frames > limit) {
            *error = tooLong;
            return false;
        }
        if (!resampler.soxr) {
            if (!pass(mono.data(), static_cast<size_t>(got))) return false;
            continue;
        }
        for (size_t used = 0; used < static_cast<size_t>(got);) {
            size_t consumed = 0, made = 0;
            soxr_error_t failed =
                soxr_process(resampler.soxr, mono.data() + used, static_cast<size_t>(got) - used,
                             &consumed, out.data(), out.size(), &made);
            if (failed) {
                *error = std::string("resampling failed (") + failed + ")";
                return false;
            }
            used += consumed;
            if (!pass(out.data(), made)) return false;
        }
    }
    const int status = sf_error(file);
    if (status != SF_ERR_NO_ERROR && frames == 0) {
        *error = std::string("unreadable sound data (") + sf_error_number(status) + ")";
        return false;
    }
    // The resampler's last samples, then silence for any it did not give.
    while (resampler.soxr && produced < due()) {
        size_t made = 0;
        soxr_error_t failed =
            soxr_process(resampler.soxr, nullptr, 0, nullptr, out.data(), out.size(), &made);
        if (failed) {
            *error = std::string("resampling failed (") + failed + ")";
            return false;
        }
        if (made == 0) break;
        if (!pass(out.data(), made)) return false;
    }
    std::fill(out.begin(), out.end(), 0.0f);
    while (produced < due()) {
        if (!pass(out.data(), out.size())) return false;
    }
    return true;
}

// The 44-byte header of a plain PCM file of `size` samples.
void WavHeader(uint32_t size, uint8_t* header) {
    auto put32 = [header](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto put16 = [header](int at, uint16_t v) {
        header[at] = static_cast<uint8_t>(v);
        header[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    std::memset(header, 0, 44);
    std::memcpy(header, "RIFF", 4);
    put32(4, 36 + size + (size & 1)); // a pad byte follows an odd count
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, IMPORT_SOUND_RATE);
    put32(28, IMPORT_SOUND_RATE); // bytes per second
    put16(32, 1);                 // block align
    put16(34, 8);                 // bits per sample
    std::memcpy(header + 36, "data", 4);
    put32(40, size);
}

} // namespace

bool ConvertSound(const std::string& path, const SoundOptions& options, std::FILE* out,
                  SoundReport* report, std::string* error) {
    StreamInfo stream;
    double gain = std::pow(10.0, options.gainDb / 20.0);
    if (options.normalize) {
        // A first pass finds the loudest sample of what the second writes.
        float peak = 0;
        auto measure = [&peak](const float* samples, size_t count) {
            for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::fabs(samples[i]));
            return true;
        };
        if (!StreamSound(path, options.maxSeconds, &stream, measure, error)) return false;
        if (peak > 0) gain /= peak;
    }

    uint8_t header[44];
    WavHeader(0, header);
    if (std::fwrite(header, 1, sizeof(header), out) != sizeof(header)) {
        *error = std::string("cannot write it (") + std::strerror(errno) + ")";
        report->outputFailed = true;
        return false;
    }
    Noise noise;
    int64_t written = 0;
    double peak = 0;
    std::vector<uint8_t> bytes(OUT_BLOCK);
    std::string writeError;
    auto write = [&](const float* samples, size_t count) {
        // Known once the sound is open, before its first samples arrive.
        const bool exact = stream.engineFormat && stream.rate == IMPORT_SOUND_RATE && gain == 1.0;
        for (size_t start = 0; start < count; start += bytes.size()) {
            const size_t n = std::min(bytes.size(), count - start);
            for (size_t i = 0; i < n; ++i) {
                const double level = samples[start + i] * gain;
                peak = std::max(peak, std::fabs(level));
                double value = level * 128.0 + 128.0;
                if (!exact) value += noise.Next() - noise.Next(); // triangular, one step each way
                bytes[i] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
            }
            if (std::fwrite(bytes.data(), 1, n, out) != n) {
                writeError = std::string("cannot write it (") + std::strerror(errno) + ")";
                return false;
            }
        }
        written += static_cast<int64_t>(count);
        return true;
    };
    if (!StreamSound(path, options.maxSeconds, &stream, write, error)) {
        if (!writeError.empty()) {
            *error = writeError;
            report->outputFailed = true;
        }
        return false;
    }
    const uint32_t size = static_cast<uint32_t>(written);
    WavHeader(size, header);
    const uint8_t pad = 0;
    if (((size & 1) && std::fwrite(&pad, 1, 1, out) != 1) || std::fseek(out, 0, SEEK_SET) != 0 ||
        std::fwrite(header, 1, sizeof(header), out) != sizeof(header)) {
        *error = std::string("cannot write it (") + std::strerror(errno) + ")";
        report->outputFailed = true;
        return false;
    }
    report->description = stream.description;
    report->samples = written;
    report->peak = std::min(peak, 1.0);
    return true;
}
