#include "script/script_scramble.h"

#include "script/script_reader.h"

#include <array>
#include <cstdio>

const char SCRAMBLE_TABLE[96] = {
    77, 62,  49,  117, 123, 113, 110, 88, 35,  118, 63,  125, 76, 66,  86,  98,  101, 43, 120, 42,
    81, 56,  87,  127, 36,  40,  32,  89, 59,  73,  102, 67,  47, 51,  45,  109, 92,  78, 41,  55,
    46, 93,  61,  99,  97,  121, 114, 69, 112, 71,  48,  52,  83, 82,  57,  105, 50,  95, 54,  91,
    58, 94,  124, 44,  122, 37,  106, 96, 64,  72,  116, 74,  53, 111, 84,  34,  107, 75, 108, 33,
    39, 119, 79,  68,  65,  115, 38,  80, 100, 60,  70,  126, 85, 90,  103, 104,
};

namespace {

constexpr std::array<int, 96> MakeInverse() {
    std::array<int, 96> inverse{};
    constexpr int table[96] = {
        77,  62,  49,  117, 123, 113, 110, 88,  35,  118, 63, 125, 76,  66,  86,  98,
        101, 43,  120, 42,  81,  56,  87,  127, 36,  40,  32, 89,  59,  73,  102, 67,
        47,  51,  45,  109, 92,  78,  41,  55,  46,  93,  61, 99,  97,  121, 114, 69,
        112, 71,  48,  52,  83,  82,  57,  105, 50,  95,  54, 91,  58,  94,  124, 44,
        122, 37,  106, 96,  64,  72,  116, 74,  53,  111, 84, 34,  107, 75,  108, 33,
        39,  119, 79,  68,  65,  115, 38,  80,  100, 60,  70, 126, 85,  90,  103, 104,
    };
    for (int p = 0; p < 96; ++p) inverse[table[p] - 32] = p;
    return inverse;
}

constexpr std::array<int, 96> TABLE_POSITION = MakeInverse();

bool Scramblable(unsigned char u) {
    return u >= 32 && u <= 127;
}

} // namespace

// A character at column i is stored as the table entry i places after its own
// code. The remainder is taken as a true modulo so that every column of a
// 127-character piece can carry every character.
char ScrambleChar(char c, int column) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!Scramblable(u)) return c;
    return SCRAMBLE_TABLE[(u - 32 + column % 96) % 96];
}

char UnscrambleChar(char c, int column) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!Scramblable(u)) return c;
    int p = TABLE_POSITION[u - 32];
    return static_cast<char>(32 + ((p + 96 - column % 96) % 96));
}

namespace {

int Transform(std::FILE* in, std::FILE* out, bool scramble) {
    char piece[SCRIPT_LINE_SIZE];
    int n = ReadScriptPiece(in, piece);
    if (scramble) {
        std::fputs("%%%%\n", out);
    } else if (n >= 4 && piece[0] == '%' && piece[1] == '%' && piece[2] == '%' && piece[3] == '%') {
        n = ReadScriptPiece(in, piece); // the marker line is not part of the script
    }
    for (; n > 0; n = ReadScriptPiece(in, piece)) {
        for (int i = 0; i < n; ++i)
            piece[i] = scramble ? ScrambleChar(piece[i], i) : UnscrambleChar(piece[i], i);
        std::fwrite(piece, 1, static_cast<size_t>(n), out);
    }
    return !std::ferror(in) && !std::ferror(out) ? 1 : 0;
}

} // namespace

int ScrambleScript(std::FILE* in, std::FILE* out) {
    return Transform(in, out, true);
}
int UnscrambleScript(std::FILE* in, std::FILE* out) {
    return Transform(in, out, false);
}
