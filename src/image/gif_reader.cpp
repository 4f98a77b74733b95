#include "image/gif_reader.h"

#include "base/files.h"

#include <algorithm>
#include <bit>
#include <cstring>

CGifReader::~CGifReader() {
    Close();
}

void CGifReader::Close() {
    if (file) std::fclose(file);
    file = nullptr;
}

bool CGifReader::FillInput() {
    if (!file || inputEof) return false;
    size_t n = std::fread(input, 1, sizeof(input), file);
    inputPos = 0;
    inputEnd = static_cast<int>(n);
    // A short read is the end of the file (or an error): no further read.
    if (n < sizeof(input)) inputEof = true;
    return n > 0;
}

int CGifReader::GetByte() {
    if (inputPos == inputEnd && !FillInput()) return -1;
    return input[inputPos++];
}

int CGifReader::ReadBytes(uint8_t* dest, int count) {
    int done = 0;
    while (done < count) {
        if (inputPos == inputEnd && !FillInput()) break;
        int n = std::min(count - done, inputEnd - inputPos);
        if (dest) std::memcpy(dest + done, input + inputPos, static_cast<size_t>(n));
        inputPos += n;
        done += n;
    }
    return done;
}

// Skips data sub-blocks up to and including the zero-length terminator (or the
// end of the file).
void CGifReader::SkipSubBlocks() {
    for (;;) {
        int size = GetByte();
        if (size <= 0) return;
        if (ReadBytes(nullptr, size) < size) return;
    }
}

bool CGifReader::Open(const char* filePath, uint8_t colorTable[768], int* screenWidth,
                      int* screenHeight, int* packedFlags, int* backgroundIndex) {
    Close();
    path = filePath;
    inputPos = inputEnd = 0;
    inputEof = false;
    looping = false;
    imageSeen = false;
    state = ENDED;
    std::memset(block, 0, sizeof(block));
    file = OpenFile(filePath, "rb");
    if (!file) return false;
    // Reads go straight into `input`, which is the buffer.
    std::setvbuf(file, nullptr, _IONBF, 0);

    uint8_t header[13] = {};
    int n = ReadBytes(header, 13);
    if (n < 3 || std::memcmp(header, "GIF", 3) != 0) {
        Close();
        return false;
    }
    *screenWidth = header[6] | header[7] << 8;
    *screenHeight = header[8] | header[9] << 8;
    *packedFlags = header[10];
    *backgroundIndex = header[11];
    if (header[10] & GIF_PACKED_GLOBAL_TABLE) {
        // A table of fewer than 256 entries leaves the rest black.
        std::memset(colorTable, 0, 768);
        ReadBytes(colorTable, 3 << ((header[10] & GIF_PACKED_TABLE_SIZE) + 1));
    }
    return true;
}

bool CGifReader::ReadBlock() {
    for (;;) {
        // Until a block is complete it reads as a trailer, which ends the frames.
        block[0] = 0x3B;
        block[1] = 0;
        int introducer = GetByte();
        if (introducer < 0) return false;
        if (introducer == 0x21) {
            int label = GetByte();
            if (label < 0) return false;
            if (label == 0xF9) {
                uint8_t data[256] = {};
                int size = GetByte();
                if (size < 0 || ReadBytes(data, size) < size) return false;
                SkipSubBlocks();
                gcePacked = data[0];
                gceDelay = static_cast<uint16_t>(data[1] | data[2] << 8);
                gceTransparent = data[3];
                block[0] = 0x21;
                block[1] = 0xF9;
                return true;
            }
            // Comment, plain text, application data: not used, skipped whole.
            if (label == 0xFF && !imageSeen) looping = true;
            SkipSubBlocks();
            continue;
        }
        if (introducer == 0x2C) {
            if (ReadBytes(block + 1, 9) < 9) return false;
            block[0] = 0x2C;
            imageSeen = true;
            return true;
        }
        block[0] = static_cast<uint8_t>(introducer);
        return true;
    }
}

void CGifReader::GetGraphicControl(int* packed, int* transparentIndex, int* delay) const {
    *packed = gcePacked;
    *transparentIndex = gceTransparent;
    *delay = gceDelay;
}

void CGifReader::BeginImage(int* left, int* top, int* width, int* height, int* packed) {
    *left = block[1] | block[2] << 8;
    *top = block[3] | block[4] << 8;
    *width = block[5] | block[6] << 8;
    *height = block[7] | block[8] << 8;
    *packed = block[9];

    stackPos = stackEnd = 0;
    bits = 0;
    bitCount = 0;
    subBlockLeft = 0;
    dataEnded = false;
    int size = GetByte();
    if (size < 0) {
        dataEnded = true;
        state = BROKEN;
        return;
    }
    if (size < 2 || size > 8) {
        // Not a code size of 8-bit indices: nothing is decoded.
        state = BROKEN;
        return;
    }
    minCodeSize = static_cast<uint16_t>(size);
    clearCode = static_cast<uint16_t>(1 << size);
    endCode = static_cast<uint16_t>(clearCode + 1);
    firstFree = static_cast<uint16_t>(clearCode + 2);
    for (int root = 0; root < clearCode; ++root) {
        lengthFirst[root] = 1u | static_cast<uint32_t>(root) << 16;
        tail[root][0] = static_cast<uint8_t>(root);
        prefix[root] = 0;
    }
    ResetTable();
    state = DECODING;
}

void CGifReader::ResetTable() {
    codeSize = static_cast<uint16_t>(minCodeSize + 1);
    codeLimit = static_cast<uint16_t>(1 << codeSize);
    nextFree = firstFree;
    // The first code after a reset is a root and adds no entry.
    previousCode = NO_CODE;
}

void CGifReader::EndImage() {
    if (!dataEnded) {
        ReadBytes(nullptr, subBlockLeft);
        SkipSubBlocks();
    }
    subBlockLeft = 0;
    dataEnded = true;
    stackPos = stackEnd = 0;
    state = ENDED;
}

// Tops the bit buffer up to at least 57 bits from the data sub-blocks, fewer
// only when the data has ended. Codes are packed least significant bit first
// and run on across sub-block boundaries.
void CGifReader::RefillBits() {
    while (bitCount <= 56) {
        if (subBlockLeft == 0) {
            if (dataEnded) return;
            int size = GetByte();
            if (size <= 0) {
                dataEnded = true;
                return;
            }
            subBlockLeft = size;
            continue;
        }
        if (inputPos == inputEnd && !FillInput()) {
            dataEnded = true;
            subBlockLeft = 0;
            return;
        }
        int take = std::min({(64 - bitCount) >> 3, subBlockLeft, inputEnd - inputPos});
        if constexpr (std::endian::native == std::endian::little) {
            if (inputEnd - inputPos >= 8) {
                uint64_t word;
                std::memcpy(&word, input + inputPos, 8);
                if (take < 8) word &= (uint64_t{1} << (8 * take)) - 1;
                bits |= word << bitCount;
            } else {
                for (int i = 0; i < take; ++i)
                    bits |= uint64_t{input[inputPos + i]} << (bitCount + 8 * i);
            }
        } else {
            for (int i = 0; i < take; ++i)
                bits |= uint64_t{input[inputPos + i]} << (bitCount + 8 * i);
        }
        inputPos += take;
        subBlockLeft -= take;
        bitCount += 8 * take;
    }
}

namespace {

// `word` (8 bytes as they lie in memory) with byte `index` replaced.
uint64_t WithByte(uint64_t word, int index, uint8_t byte) {
    const int shift = std::endian::native == std::endian::little ? 8 * index : 56 - 8 * index;
    return (word & ~(uint64_t{0xFF} << shift)) | uint64_t{byte} << shift;
}

} // namespace

void CGifReader::WriteString(uint8_t* start, uint16_t code, int stringLength, int room) const {
    int kept = ((stringLength - 1) & 7) + 1;
    uint8_t* p = start + stringLength - kept;
    // A whole 8-byte store is cheaper; the bytes past the string are written
    // over by the strings that follow (or by the caller's fill).
    if (room - (stringLength - kept) >= 8) {
        std::memcpy(p, tail[code], 8);
    } else {
        std::memcpy(p, tail[code], static_cast<size_t>(kept));
    }
    code = prefix[code];
    while (p > start) {
        p -= 8;
        std::memcpy(p, tail[code], 8);
        code = prefix[code];
    }
}

int CGifReader::ReadPixels(uint8_t* dest, int count) {
    int done = 0;
    if (stackPos < stackEnd) {
        int n = std::min(stackEnd - stackPos, count);
        if (dest) std::memcpy(dest, stack + stackPos, static_cast<size_t>(n));
        stackPos += n;
        done = n;
    }
    if (state != DECODING || done == count) return done;
    return done +
           (dest ? Decode<true>(dest + done, count - done) : Decode<false>(nullptr, count - done));
}

// Decodes up to `count` indices into `dest` (dropped unless WRITE).
template <bool WRITE> int CGifReader::Decode(uint8_t* dest, int count) {
    // Where the next index goes and how many more are wanted.
    uint8_t* out = dest;
    int left = count;
    // The decoder state lives in locals while decoding: stores through `dest`
    // could otherwise alias the members and force them to be reloaded.
    uint64_t bitBuffer = bits;
    int bitsLeft = bitCount;
    int size = codeSize;
    unsigned mask = codeLimit - 1u;
    unsigned free = nextFree;
    unsigned previous = previousCode;
    const unsigned clear = clearCode;

    while (left > 0) {
        if (bitsLeft < size && std::endian::native == std::endian::little && subBlockLeft >= 8 &&
            inputEnd - inputPos >= 8) {
            // Fast refill from inside a sub-block: as many whole bytes as fit.
            uint64_t word;
            std::memcpy(&word, input + inputPos, 8);
            int take = (63 - bitsLeft) >> 3;
            bitBuffer |= (word & ((uint64_t{1} << (8 * take)) - 1)) << bitsLeft;
            inputPos += take;
            subBlockLeft -= take;
            bitsLeft += 8 * take;
        } else if (bitsLeft < size) {
            bits = bitBuffer;
            bitCount = bitsLeft;
            RefillBits();
            bitBuffer = bits;
            bitsLeft = bitCount;
            if (bitsLeft < size) {
                state = BROKEN; // the data ended before the end code
                break;
            }
        }
        unsigned code = static_cast<unsigned>(bitBuffer) & mask;
        bitBuffer >>= size;
        bitsLeft -= size;

        // The clear and end codes, and a code beyond the table, in one test.
        if (code - clear < 2u || code > free) [[unlikely]] {
            if (code == clear) {
                size = minCodeSize + 1;
                mask = (1u << size) - 1;
                free = firstFree;
                previous = NO_CODE; // the first code after a reset is a root and adds no entry
                continue;
            }
            // The end code; or a code that refers to a string not yet defined.
            state = code == clear + 1 ? ENDED : BROKEN;
            break;
        }
        if (previous == NO_CODE) [[unlikely]] {
            if (code > clear) {
                state = BROKEN; // only a root can follow a reset
                break;
            }
            if constexpr (WRITE) *out++ = static_cast<uint8_t>(code);
            --left;
            previous = code;
            continue;
        }
        if (free < GIF_MAX_CODES) {
            // The new entry is the previous string plus the first byte of this
            // one; a code one ahead of the table is that very entry.
            const uint32_t previousEntry = lengthFirst[previous];
            const uint8_t byte =
                static_cast<uint8_t>((code < free ? lengthFirst[code] : previousEntry) >> 16);
            const int previousLength = static_cast<int>(previousEntry & 0xFFFF);
            int kept = ((previousLength - 1) & 7) + 1; // bytes in the previous string's tail
            lengthFirst[free] = previousEntry + 1;
            // The new tail is made in a register and stored whole: a later
            // 8-byte read of it then finds one store to take it from.
            uint64_t newTail = 0;
            if (kept == 8) {
                prefix[free] = static_cast<uint16_t>(previous);
                kept = 0;
            } else {
                std::memcpy(&newTail, tail[previous], 8);
                prefix[free] = prefix[previous];
            }
            newTail = WithByte(newTail, kept, byte);
            std::memcpy(tail[free], &newTail, 8);
            ++free;
            if (free == mask + 1 && size < 12) {
                ++size;
                mask = (1u << size) - 1;
            }
        }
        previous = code;

        const int stringLength = static_cast<int>(lengthFirst[code] & 0xFFFF);
        // Without WRITE (skipping pixels) the first two branches are alike.
        if (stringLength <= 8 && left >= 8) { // NOLINT(bugprone-branch-clone)
            // A short string is its tail: one 8-byte store, the bytes past it
            // written over by the strings that follow.
            if constexpr (WRITE) {
                std::memcpy(out, tail[code], 8);
                out += stringLength;
            }
            left -= stringLength;
        } else if (stringLength <= left) {
            if constexpr (WRITE) {
                if (stringLength == 1) {
                    *out = tail[code][0];
                } else {
                    WriteString(out, static_cast<uint16_t>(code), stringLength, left);
                }
                out += stringLength;
            }
            left -= stringLength;
        } else {
            // The string runs past the end of the row: the rest waits on the stack.
            WriteString(stack, static_cast<uint16_t>(code), stringLength,
                        static_cast<int>(sizeof(stack)));
            if constexpr (WRITE) std::memcpy(out, stack, static_cast<size_t>(left));
            stackPos = left;
            stackEnd = stringLength;
            left = 0;
        }
    }

    bits = bitBuffer;
    bitCount = bitsLeft;
    codeSize = static_cast<uint16_t>(size);
    codeLimit = static_cast<uint16_t>(mask + 1);
    nextFree = static_cast<uint16_t>(free);
    previousCode = static_cast<uint16_t>(previous);
    return count - left;
}
