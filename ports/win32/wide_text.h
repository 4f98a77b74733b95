// The core's UTF-8 text as the UTF-16 of Windows' W functions, and back.
// Every name, path and text crosses to Windows this way, whatever the
// system's code page.
#pragma once

#include <string>

// `text` as UTF-16 (a byte that is not UTF-8 becomes U+FFFD).
std::wstring Wide(const char* text);
// As Wide, into `out` of `capacity` units without allocating: as much of
// `text` as fits whole characters, ended with a zero. Returns the length.
int WideInto(const char* text, wchar_t* out, int capacity);
// UTF-16 `text` of `length` units (-1: up to its zero) as UTF-8.
std::string Utf8(const wchar_t* text, int length = -1);
// As Utf8, into `out` of `size` bytes, cut at a whole character and ended
// with a zero. Returns the length.
int Utf8Into(const wchar_t* text, int length, char* out, int size);
