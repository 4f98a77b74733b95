// Sounds for the importer: any file libsndfile reads, mixed down to mono,
// resampled and written as the 8-bit unsigned 22050 Hz mono PCM WAV the
// saver plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int IMPORT_SOUND_RATE = 22050;

struct SoundInput {
    std::vector<float> mono; // the channels averaged, -1 to 1
    int rate = 0;
    int channels = 0;
    int64_t frames = 0;
    bool engineFormat = false; // already 8-bit mono at the saver's rate
    std::string description;   // "16-bit stereo 44100 Hz WAV"
};

// Reads the whole sound; false with `error` set when it cannot.
bool ReadSound(const std::string& path, SoundInput* out, std::string* error);

struct SoundOptions {
    double gainDb = 0;
    bool normalize = false; // the loudest sample reaches full scale
};

// 8-bit unsigned samples at the saver's rate, TPDF-dithered unless the input
// already holds exactly such samples.
bool ConvertSound(const SoundInput& input, const SoundOptions& options, std::vector<uint8_t>* out,
                  std::string* error);

// A RIFF WAVE file of 8-bit unsigned mono PCM at the saver's rate.
std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples);
