#include "base/utf8.h"

#include <cstring>

namespace {

// Unicode of the Windows-1252 bytes 0x80 to 0x9F; the bytes above are Latin-1.
const uint16_t CP1252_HIGH[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t REPLACEMENT = 0xFFFD;
constexpr size_t BLOCK = 4096;
constexpr size_t LONGEST_SEQUENCE = 4;

} // namespace

size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
    if (left == 0) return 0;
    if (p[0] < 0x80) return 1;
    size_t length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (length == 0 || p[0] > 0xF4 || length > left) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
    }
    if (length == 3 && p[0] == 0xE0 && p[1] < 0xA0) return 0;  // overlong
    if (length == 3 && p[0] == 0xED && p[1] >= 0xA0) return 0; // a surrogate
    if (length == 4 && p[0] == 0xF0 && p[1] < 0x90) return 0;  // overlong
    if (length == 4 && p[0] == 0xF4 && p[1] >= 0x90) return 0; // above U+10FFFF
    return length;
}

bool IsUtf8(const char* text, size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < size;) {
        const size_t length = Utf8SequenceLength(p + i, size - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool RestOfFileIsUtf8(std::FILE* file) {
    unsigned char block[BLOCK + LONGEST_SEQUENCE];
    size_t carried = 0; // the start of a sequence that the last block cut
    for (;;) {
        const size_t read = std::fread(block + carried, 1, BLOCK, file);
        const size_t total = carried + read;
        size_t i = 0;
        while (i < total) {
            const size_t length = Utf8SequenceLength(block + i, total - i);
            if (length != 0) {
                i += length;
            } else if (read > 0 && total - i < LONGEST_SEQUENCE) {
                break; // perhaps completed by the next block
            } else {
                return false;
            }
        }
        carried = total - i;
        std::memmove(block, block + i, carried);
        if (read == 0) return carried == 0;
    }
}

size_t Utf8Prefix(const char* text, size_t length, size_t limit) {
    if (length <= limit) return length;
    size_t cut = limit;
    // Back to the first byte of the sequence the cut falls into.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

uint32_t NextCodePoint(const char** p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(*p);
    const size_t length = Utf8SequenceLength(s, static_cast<size_t>(end - *p));
    if (length == 0) {
        ++*p;
        return REPLACEMENT;
    }
    *p += length;
    switch (length) {
    case 1: return s[0];
    case 2: return (uint32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    case 3: return (uint32_t(s[0] & 0x0F) << 12) | (uint32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    default:
        return (uint32_t(s[0] & 0x07) << 18) | (uint32_t(s[1] & 0x3F) << 12) |
               (uint32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F);
    }
}

int EncodeUtf8(uint32_t code, char* out) {
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = REPLACEMENT;
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return 4;
}

uint32_t Cp1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? CP1252_HIGH[byte - 0x80] : byte;
}
