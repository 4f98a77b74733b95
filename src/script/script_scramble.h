// The position-dependent substitution of scrambled theme scripts.
#pragma once

// One piece of a line as the script reader delivers it: at most this many
// characters, the newline included. Columns restart at every piece.
constexpr int SCRIPT_PIECE_LEN = 127;

// Each of the codes 32..127 exactly once.
extern const char SCRAMBLE_TABLE[96];

char ScrambleChar(char c, int column);
char UnscrambleChar(char c, int column);

// Scrambles or unscrambles a whole script file (the marker line included or
// removed). Return 1 on success, 0 when a file cannot be read or written.
int ScrambleFile(const char* inPath, const char* outPath);
int UnscrambleFile(const char* inPath, const char* outPath);
