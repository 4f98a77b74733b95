// Reads a GIF file front to back in one pass: the logical screen header, the
// global colour table, the block structure and, row by row, the
// LZW-decoded colour indices of each frame.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int GIF_MAX_CODES = 4096;
constexpr int GIF_INPUT_SIZE = 16384;

constexpr int GIF_PACKED_GLOBAL_TABLE = 0x80; // logical screen: global colour table present
constexpr int GIF_PACKED_TABLE_SIZE = 0x07;   // logical screen: log2(table entries) - 1
constexpr int GIF_DESCRIPTOR_LOCAL_TABLE = 0x80;
constexpr int GIF_DESCRIPTOR_INTERLACED = 0x40;
constexpr int GIF_GCE_TRANSPARENT = 0x01;

class CGifReader {
  public:
    CGifReader() = default;
    ~CGifReader();
    CGifReader(const CGifReader&) = delete;
    CGifReader& operator=(const CGifReader&) = delete;

    // Opens `path` and reads the 13-byte header. False when the file cannot be
    // opened or does not begin with "GIF". With a global colour table flag,
    // the table's 2 to 256 entries are read into `colorTable`; the entries it
    // does not have, and bytes missing at the end of the file, read as 0.
    bool Open(const char* path, uint8_t colorTable[768], int* screenWidth, int* screenHeight,
              int* packedFlags, int* backgroundIndex);
    void Close();
    const char* Path() const { return path; }

    // Reads the next block the caller acts on: a graphic control extension, an
    // image descriptor, or anything else (trailer, unknown byte), which ends the
    // frames. Comment, plain-text and application extensions are skipped whole;
    // an application extension before the first image descriptor marks the
    // animation as looping. False at the end of the file (the block then reads
    // as a trailer).
    bool ReadBlock();
    bool IsGraphicControl() const { return block[0] == 0x21 && block[1] == 0xF9; }
    bool IsImageDescriptor() const { return block[0] == 0x2C; }
    bool Looping() const { return looping; }

    // Fields of the graphic control extension last read; delay in 1/100 s.
    void GetGraphicControl(int* packed, int* transparentIndex, int* delay) const;

    // Fields of the image descriptor last read; then reads the LZW minimum code
    // size and resets the decoder.
    void BeginImage(int* left, int* top, int* width, int* height, int* packed);
    // Delivers up to `count` colour indices into `dest` (dropped when null).
    // Returns how many were delivered: fewer once the image's end code has been
    // met or its data turned out malformed or truncated.
    int ReadPixels(uint8_t* dest, int count);
    // Skips what is left of the image data, up to and including its terminator.
    void EndImage();

  private:
    enum DecodeState : uint8_t { DECODING, ENDED, BROKEN };
    static constexpr uint16_t NO_CODE = 0xFFFF;

    int GetByte();
    int ReadBytes(uint8_t* dest, int count);
    bool FillInput();
    void SkipSubBlocks();
    void RefillBits();
    void ResetTable();
    template <bool WRITE> int Decode(uint8_t* dest, int count);
    // Writes the string of `code` (length entries) ending just before `end`;
    // `room` is how many bytes may be written from `end` on without harm.
    void WriteString(uint8_t* start, uint16_t code, int length, int room) const;

    std::FILE* file = nullptr;
    const char* path = nullptr;
    uint8_t input[GIF_INPUT_SIZE];
    int inputPos = 0;
    int inputEnd = 0;
    bool inputEof = false;

    uint8_t block[256] = {};
    bool looping = false;
    bool imageSeen = false;
    uint8_t gcePacked = 0;
    uint8_t gceTransparent = 0;
    uint16_t gceDelay = 0;

    // LZW state
    DecodeState state = ENDED;
    uint16_t minCodeSize = 0;
    uint16_t clearCode = 0;
    uint16_t endCode = 0;
    uint16_t firstFree = 0;
    uint16_t codeSize = 0;
    uint16_t codeLimit = 0;
    uint16_t nextFree = 0;
    uint16_t previousCode = NO_CODE;
    uint64_t bits = 0;
    int bitCount = 0;
    int subBlockLeft = 0;
    bool dataEnded = false; // the data sub-blocks are used up (terminator or end of file)

    // The string table. Each string is kept as its last 1 to 8 bytes (`tail`)
    // and the code of the string before them, whose length is a multiple of 8,
    // so that writing a string takes one step per 8 bytes.
    uint16_t prefix[GIF_MAX_CODES];
    // The string's length (bits 0-15) and first byte (bits 16-23): a string
    // one longer with the same first byte is one more.
    uint32_t lengthFirst[GIF_MAX_CODES];
    uint8_t tail[GIF_MAX_CODES][8];

    // A string that did not fit the row it started in; the next call delivers
    // the rest first.
    uint8_t stack[GIF_MAX_CODES + 8];
    int stackPos = 0;
    int stackEnd = 0;
};
