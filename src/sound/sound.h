// One sound of a feature: 8-bit unsigned mono PCM at 22050 Hz, held in memory
// or streamed from its file while it plays.
#pragma once

#include "base/memory_budget.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

struct ErrorSink;

constexpr uint32_t SOUND_LOOP = 1;     // flags bit 0: loop for ever
constexpr uint32_t SOUND_STREAMED = 2; // flags bit 1: read from the file as it plays
constexpr uint32_t STREAM_THRESHOLD = 65536;
constexpr int SOUND_RATE = 22050;
constexpr int SOUND_MAX_LEVEL = 127; // volume and pan run from 0 to 127
constexpr int SOUND_MAX_COUNT = 32767;

class CSound {
  public:
    CSound() = default;
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Loads a WAV file: 8-bit mono PCM at 22050 Hz. Sounds shorter than
    // STREAM_THRESHOLD bytes are read into memory, longer ones stay in their
    // file. The loop point is kept within the data and the repeat counts within
    // 0..SOUND_MAX_COUNT. What the sound holds (its record, its samples or its
    // open file) is taken from `budget` when one is given, and given back when
    // the sound is released. Returns 1, or 0 after an error reported to `errors`.
    int Load(const char* fileName, int volume, int pan, int32_t loopPoint, int headCount,
             int tailCount, ErrorSink* errors, MemoryBudget* budget = nullptr);

    // Copies `count` bytes of sample data from byte `offset` on into `out`,
    // from memory or from the file. Bytes the file cannot deliver read as
    // silence. Only the mixing thread calls this while the sound plays.
    void ReadSamples(uint32_t offset, uint8_t* out, uint32_t count) const;

    // Releases the samples and the file; the record is empty again.
    void Release();

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

  private:
    MemoryBudget* budget = nullptr; // what the load took its memory from
    int64_t heldBytes = 0;          // and how much
};

// The sounds of a module: owns every sound made through it until it is reset;
// features hold plain pointers.
class SoundBank {
  public:
    // A new empty sound, or null when out of memory.
    CSound* Create();
    // Frees a sound that no record uses any more (null is ignored).
    void Discard(CSound* sound);
    // Frees every sound. The mixer must not be playing any of them.
    void Reset();
    int Count() const { return static_cast<int>(sounds.size()); }

  private:
    std::vector<std::unique_ptr<CSound>> sounds;
};
