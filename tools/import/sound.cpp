#include "sound.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int64_t MAX_SECONDS = 3600;

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

} // namespace

bool ReadSound(const std::string& path, SoundInput* out, std::string* error) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        *error = std::string("not a readable sound (") + sf_strerror(nullptr) + ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        *error = "the sound has no channels or no sample rate";
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    std::string sample = SampleText(subtype);
    out->description = (sample.empty() ? "" : sample + " ") + ChannelText(info.channels) + " " +
                       std::to_string(info.samplerate) + " Hz " + ContainerText(major, subtype);
    out->rate = info.samplerate;
    out->channels = info.channels;
    out->engineFormat = info.channels == 1 && info.samplerate == IMPORT_SOUND_RATE &&
                        (subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_S8);
    out->mono.clear();
    const int64_t limit = MAX_SECONDS * info.samplerate;
    std::vector<float> block(static_cast<size_t>(4096) * info.channels);
    for (;;) {
        sf_count_t got = sf_readf_float(file, block.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            double sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[static_cast<size_t>(i * info.channels + c)];
            out->mono.push_back(static_cast<float>(sum / info.channels));
        }
        if (static_cast<int64_t>(out->mono.size()) > limit) {
            sf_close(file);
            *error = "the sound is longer than an hour";
            return false;
        }
    }
    const int status = sf_error(file);
    sf_close(file);
    if (status != SF_ERR_NO_ERROR && out->mono.empty()) {
        *error = std::string("unreadable sound data (") + sf_error_number(status) + ")";
        return false;
    }
    out->frames = static_cast<int64_t>(out->mono.size());
    return true;
}

bool ConvertSound(const SoundInput& input, const SoundOptions& options, std::vector<uint8_t>* out,
                  std::string* error) {
    std::vector<float> samples;
    if (input.rate == IMPORT_SOUND_RATE) {
        samples = input.mono;
    } else {
        const size_t wanted =
            static_cast<size_t>((input.frames * IMPORT_SOUND_RATE + input.rate / 2) / input.rate);
        samples.assign(wanted, 0.0f);
        size_t used = 0, made = 0;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        soxr_error_t failed =
            soxr_oneshot(input.rate, IMPORT_SOUND_RATE, 1, input.mono.data(), input.mono.size(),
                         &used, samples.data(), wanted, &made, &io, &quality, nullptr);
        if (failed) {
            *error = std::string("resampling failed (") + failed + ")";
            return false;
        }
    }

    double gain = std::pow(10.0, options.gainDb / 20.0);
    if (options.normalize) {
        float peak = 0;
        for (float s : samples) peak = std::max(peak, std::fabs(s));
        if (peak > 0) gain /= peak;
    }
    const bool exact = input.engineFormat && input.rate == IMPORT_SOUND_RATE && gain == 1.0;
    Noise noise;
    out->resize(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        double value = samples[i] * gain * 128.0 + 128.0;
        if (!exact) value += noise.Next() - noise.Next(); // triangular, one step wide each way
        (*out)[i] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
    }
    return true;
}

std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples) {
    const uint32_t size = static_cast<uint32_t>(samples.size());
    // The 44-byte header of a plain PCM file, then the samples and a pad byte
    // when their count is odd.
    uint8_t header[44] = {};
    auto put32 = [&header](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto put16 = [&header](int at, uint16_t v) {
        header[at] = static_cast<uint8_t>(v);
        header[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    std::memcpy(header, "RIFF", 4);
    put32(4, 36 + size + (size & 1));
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
    std::vector<uint8_t> wav(sizeof(header) + size + (size & 1), 0);
    std::memcpy(wav.data(), header, sizeof(header));
    if (size) std::memcpy(wav.data() + sizeof(header), samples.data(), size);
    return wav;
}
