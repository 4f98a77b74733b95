#include "sound/sound.h"
#include "base/error_sink.h"
#include "base/file_checks.h"
#include "base/files.h"

#include <cstring>
#include <new>

namespace {

enum WavCheck { WAV_OK, WAV_INVALID, WAV_UNSUPPORTED };

// What a sound kept in its file holds: the C library's record and buffer of
// the open file, near enough.
constexpr int64_t OPEN_FILE_COST = BlockCost(8192);

// Where the samples lie in a checked file.
struct WavData {
    int64_t start;
    int64_t size; // cut to what the file holds
};

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

// True when the text from the last "." on is ".WAV" in any case.
bool HasWavExtension(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (!dot) return false;
    const char* wanted = ".WAV";
    for (int i = 0; i < 5; i++) {
        char c = dot[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != wanted[i]) return false;
    }
    return true;
}

// Size of an open file in bytes, or -1 when it cannot be told.
int64_t FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

// Reads exactly `count` bytes at `offset`, which lies inside the file.
bool ReadAt(std::FILE* file, int64_t offset, void* out, size_t count) {
    if (std::fseek(file, long(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, count, file) == count;
}

// Walks the chunks of a RIFF WAVE file to its "fmt " and "data" chunks, in
// whatever order and with whatever other chunks between them, and checks the
// sample format as soon as it is known.
WavCheck WalkChunks(std::FILE* file, WavData* wav) {
    int64_t fileSize = FileSize(file);
    uint8_t header[12];
    if (fileSize < 12 || !ReadAt(file, 0, header, sizeof(header)) ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        return WAV_INVALID;
    }
    bool haveFormat = false;
    bool haveData = false;
    int64_t position = 12;
    while (position + 8 <= fileSize && !(haveFormat && haveData)) {
        uint8_t chunk[8];
        if (!ReadAt(file, position, chunk, sizeof(chunk))) break;
        int64_t size = Le32(chunk + 4);
        int64_t body = position + 8;
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            uint8_t format[16];
            if (size < 16 || body + 16 > fileSize || !ReadAt(file, body, format, sizeof(format))) {
                return WAV_INVALID;
            }
            if (Le16(format) != 1 || Le16(format + 2) != 1 || Le32(format + 4) != SOUND_RATE ||
                Le16(format + 14) != 8) {
                return WAV_UNSUPPORTED;
            }
            haveFormat = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            wav->start = body;
            wav->size = size < fileSize - body ? size : fileSize - body;
            haveData = true;
        }
        position = body + size + (size & 1); // chunks are padded to even sizes
    }
    return haveFormat && haveData ? WAV_OK : WAV_INVALID;
}

} // namespace

CSound::~CSound() {
    Release();
}

void CSound::Release() {
    if (budget) budget->Give(heldBytes);
    budget = nullptr;
    heldBytes = 0;
    delete[] data;
    data = nullptr;
    if (file) std::fclose(file);
    file = nullptr;
    flags = 0;
    length = 0;
    dataStart = 0;
    loopPoint = 0;
    headCount = 0;
    tailCount = 0;
}

int CSound::Load(const char* fileName, int newVolume, int newPan, int32_t newLoopPoint,
                 int newHeadCount, int newTailCount, ErrorSink* errors, MemoryBudget* newBudget) {
    Release();
    volume = Clamp(newVolume, 0, SOUND_MAX_LEVEL);
    pan = Clamp(newPan, 0, SOUND_MAX_LEVEL);
    // Checked before the name is opened: a FIFO would wait for a writer.
    if (ExistsButNotAFile(fileName)) {
        if (errors) errors->ReportErrorF(NOT_A_FILE_FORMAT, fileName);
        return 0;
    }
    if (!HasWavExtension(fileName)) {
        if (errors) errors->ReportErrorF("%s %s", "Unsupported sound format", fileName);
        return 0;
    }
    std::FILE* opened = OpenFile(fileName, "rb");
    if (!opened) {
        if (errors) errors->ReportErrorF("File Not Found: %s", fileName);
        return 0;
    }
    WavData wav = {0, 0};
    WavCheck check = WalkChunks(opened, &wav);
    if (check != WAV_OK) {
        std::fclose(opened);
        if (errors)
            errors->ReportErrorF("%s %s",
                                 check == WAV_INVALID ? "File is not a valid WAVE file"
                                                      : "File is not 8bit 22kHz PCM",
                                 fileName);
        return 0;
    }
    length = uint32_t(wav.size);
    dataStart = int32_t(wav.start);
    const int64_t cost =
        BlockCost(sizeof(CSound)) +
        (length < STREAM_THRESHOLD ? BlockCost(length ? length : 1) : OPEN_FILE_COST);
    if (newBudget && !newBudget->Take(cost)) {
        std::fclose(opened);
        length = 0;
        if (errors) errors->ReportErrorF(THEME_LIMIT_FORMAT, newBudget->LimitMiB(), fileName);
        return 0;
    }
    budget = newBudget;
    heldBytes = newBudget ? cost : 0;
    if (length < STREAM_THRESHOLD) {
        flags = 0;
        data = new (std::nothrow) uint8_t[length ? length : 1];
        if (!data) {
            std::fclose(opened);
            Release();
            if (errors) errors->ReportErrorF("Out of memory: %s %s", "CSound", fileName);
            return 0;
        }
        // A file that shrank since its size was taken gives a shorter sound.
        if (std::fseek(opened, long(wav.start), SEEK_SET) != 0) length = 0;
        length = uint32_t(std::fread(data, 1, length, opened));
        std::fclose(opened);
    } else {
        flags = SOUND_STREAMED;
        file = opened;
    }
    // The head never reaches past the data; negative repeat counts mean none.
    loopPoint = newLoopPoint < 0                  ? 0
                : uint32_t(newLoopPoint) > length ? int32_t(length)
                                                  : newLoopPoint;
    headCount = int16_t(Clamp(newHeadCount, 0, SOUND_MAX_COUNT));
    tailCount = int16_t(Clamp(newTailCount, 0, SOUND_MAX_COUNT));
    return 1;
}

void CSound::ReadSamples(uint32_t offset, uint8_t* out, uint32_t count) const {
    uint32_t available = offset < length ? length - offset : 0;
    uint32_t n = count < available ? count : available;
    uint32_t got = 0;
    if (n > 0) {
        if (data) {
            std::memcpy(out, data + offset, n);
            got = n;
        } else if (file && std::fseek(file, long(dataStart) + long(offset), SEEK_SET) == 0) {
            got = uint32_t(std::fread(out, 1, n, file));
        }
    }
    if (got < count) std::memset(out + got, 0x80, count - got);
}

CSound* SoundBank::Create() {
    std::unique_ptr<CSound> sound(new (std::nothrow) CSound);
    if (!sound) return nullptr;
    try {
        sounds.push_back(std::move(sound));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return sounds.back().get();
}

void SoundBank::Discard(CSound* sound) {
    for (auto it = sounds.begin(); it != sounds.end(); ++it) {
        if (it->get() == sound) {
            sounds.erase(it);
            return;
        }
    }
}

void SoundBank::Reset() {
    sounds.clear();
}
