#include "ports/win32/wide_text.h"

#include "base/utf8.h"
#include "ports/win32/win32_platform.h"

#include <cstring>
#include <vector>

std::wstring Wide(const char* text) {
    if (!text || !*text) return {};
    const int length = static_cast<int>(std::strlen(text));
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text, length, wide.data(), units);
    return wide;
}

int WideInto(const char* text, wchar_t* out, int capacity) {
    if (capacity <= 0) return 0;
    out[0] = L'\0';
    if (!text) return 0;
    // A UTF-8 byte never makes more than one UTF-16 unit: a prefix of at most
    // capacity - 1 bytes always fits.
    size_t length = std::strlen(text);
    length = Utf8Prefix(text, length, static_cast<size_t>(capacity - 1));
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), out, capacity - 1);
    out[units > 0 ? units : 0] = L'\0';
    return units > 0 ? units : 0;
}

std::string Utf8(const wchar_t* text, int length) {
    if (!text) return {};
    if (length < 0) length = static_cast<int>(std::wcslen(text));
    if (length == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    return out;
}

int Utf8Into(const wchar_t* text, int length, char* out, int size) {
    if (size <= 0) return 0;
    const std::string whole = Utf8(text, length);
    const size_t n = Utf8Prefix(whole.data(), whole.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, whole.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}
