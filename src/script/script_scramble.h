// The position-dependent substitution of scrambled theme scripts.
#pragma once

#include <cstdio>

// One piece of a line as the script reader delivers it: at most this many
// characters, the newline included. Columns restart at every piece.
constexpr int SCRIPT_PIECE_LEN = 127;

// Each of the codes 32..127 exactly once.
extern const char SCRAMBLE_TABLE[96];

char ScrambleChar(char c, int column);
char UnscrambleChar(char c, int column);

// Scrambles or unscrambles a whole script from `in` to `out` (the marker
// line written or dropped). Return 1 on success, 0 when reading or writing
// failed.
int ScrambleScript(std::FILE* in, std::FILE* out);
int UnscrambleScript(std::FILE* in, std::FILE* out);
