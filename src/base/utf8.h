// UTF-8, the text of the whole program: checking it, cutting it without
// splitting a character, reading its characters, and turning Windows-1252
// text (what older theme scripts are written in) into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The length of the UTF-8 sequence at `p` (`left` bytes are readable): 1 to
// 4, or 0 when the bytes there are not one (overlong forms, surrogates and
// code points above U+10FFFF are not).
size_t Utf8SequenceLength(const unsigned char* p, size_t left);

// True when the `size` bytes at `text` are UTF-8 throughout.
bool IsUtf8(const char* text, size_t size);

// Reads the rest of `file` and tells whether it is UTF-8 throughout. Reads
// in blocks: the time grows with the file, the memory does not.
bool RestOfFileIsUtf8(std::FILE* file);

// The longest prefix of `text` (of `length` bytes) that is at most `limit`
// bytes and does not end inside a UTF-8 sequence.
size_t Utf8Prefix(const char* text, size_t length, size_t limit);

// The character at `*p`, moving `*p` past it; a byte that begins no UTF-8
// sequence reads as U+FFFD and is passed alone. `end` bounds the text.
uint32_t NextCodePoint(const char** p, const char* end);

// Writes `code` as UTF-8 at `out` (room for 4 bytes); returns the byte count.
int EncodeUtf8(uint32_t code, char* out);

// The Unicode character of a Windows-1252 byte. The five bytes the code page
// leaves unassigned give U+0081, U+008D, U+008F, U+0090 and U+009D, as
// Windows converts them.
uint32_t Cp1252CodePoint(unsigned char byte);
