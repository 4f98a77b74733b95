// Sounds for the importer: any file libsndfile reads, mixed down to mono,
// resampled and written as the 8-bit unsigned 22050 Hz mono PCM WAV the
// saver plays. The sound streams through in blocks: memory stays the same
// whatever its length and sample rate.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr int IMPORT_SOUND_RATE = 22050;
// Bounds on the input: its length, and the sample rates the resampler takes.
constexpr int64_t IMPORT_MAX_SECONDS = 3600;
constexpr int IMPORT_MIN_RATE = 1000;
constexpr int IMPORT_MAX_RATE = 768000;

struct SoundOptions {
    double gainDb = 0;
    bool normalize = false; // the loudest sample reaches full scale
    int64_t maxSeconds = IMPORT_MAX_SECONDS;
};

struct SoundReport {
    std::string description;   // of the input: "16-bit stereo 44100 Hz WAV"
    int64_t samples = 0;       // written, at IMPORT_SOUND_RATE
    double peak = 0;           // the loudest sample written, from 0 to 1 (full scale)
    bool outputFailed = false; // the error is in writing, not in the sound
};

// Reads the sound at `path` and writes it to `out` as a RIFF WAVE file of
// 8-bit unsigned mono PCM at the saver's rate, TPDF-dithered unless the input
// already holds exactly such samples. `out` must be seekable: the sizes in
// the header are written at the end. False with `error` set (a sentence
// fragment) when the sound cannot be read or is over a limit; `out` then
// holds no complete file.
bool ConvertSound(const std::string& path, const SoundOptions& options, std::FILE* out,
                  SoundReport* report, std::string* error);
