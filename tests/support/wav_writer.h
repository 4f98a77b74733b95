// Builds WAV files for tests: any format header, extra chunks around the
// samples, and a data size that may disagree with the samples written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavChunk {
    std::string id; // four characters
    std::string body;
};

struct WavLayout {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 8;
    int formatExtra = 0;                // bytes appended to the "fmt " chunk
    std::vector<WavChunk> beforeFormat; // chunks between "WAVE" and "fmt "
    std::vector<WavChunk> beforeData;   // chunks between "fmt " and "data"
    std::vector<WavChunk> afterData;    // chunks after the samples
    int64_t declaredDataSize = -1;      // data chunk size field; -1: the real size
};

std::vector<unsigned char> MakeWav(const std::vector<unsigned char>& samples,
                                   const WavLayout& layout = WavLayout());

// `count` samples that count up from 0 and wrap at 256, so every offset is
// recognisable.
std::vector<unsigned char> RampSamples(size_t count);
