// One sound of a feature: 8-bit unsigned mono PCM at 22050 Hz, held in memory
// or streamed from its file while it plays.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint32_t SOUND_LOOP = 1;     // flags bit 0: loop for ever
constexpr uint32_t SOUND_STREAMED = 2; // flags bit 1: read from the file as it plays
constexpr uint32_t STREAM_THRESHOLD = 65536;

class CSound {
  public:
    uint32_t flags = 0;
    uint32_t length = 0;
    uint8_t* data = nullptr;
    std::FILE* file = nullptr;
    int32_t dataStart = 0;
    int32_t loopPoint = 0;
    int16_t headCount = 0;
    int16_t tailCount = 0;
    int volume = 100; // 0..127, 100 normal
    int pan = 64;     // 0..127, 64 centre
};
