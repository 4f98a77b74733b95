#include "base/files.h"

#include "base/utf8.h"

#include <cwchar>

#ifdef _WIN32
namespace {

// UTF-16, the text of Windows' file names; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Utf16(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        uint32_t code = NextCodePoint(&p, end);
        if (code >= 0x10000) {
            code -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (code >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
    }
    return wide;
}

} // namespace
#endif

std::FILE* OpenFile(const char* path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode = Utf16(mode);
    return _wfopen(Utf16(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path, mode);
#endif
}

std::filesystem::path PathFromUtf8(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::path(Utf16(text));
#else
    return std::filesystem::path(text);
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring& wide = path.native();
    std::string text;
    text.reserve(wide.size());
    char bytes[4];
    for (size_t i = 0; i < wide.size(); ++i) {
        uint32_t code = static_cast<uint16_t>(wide[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < wide.size() &&
            static_cast<uint16_t>(wide[i + 1]) >= 0xDC00 &&
            static_cast<uint16_t>(wide[i + 1]) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint16_t>(wide[++i]) - 0xDC00);
        }
        text.append(bytes, static_cast<size_t>(EncodeUtf8(code, bytes)));
    }
    return text;
#else
    return path.string();
#endif
}
