#include "tool_output.h"

#include "base/error_sink.h"
#include "base/utf8.h"

#include <cstring>

std::string JsonString(const char* text) {
    std::string out = "\"";
    const char* end = text + std::strlen(text);
    for (const char* p = text; p < end;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            // A UTF-8 character as its code point (a pair of surrogates above
            // U+FFFF); a byte that begins none as a Latin-1 character.
            uint32_t code = c;
            const size_t length =
                Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p), size_t(end - p));
            if (length > 1) {
                const char* q = p;
                code = NextCodePoint(&q, end);
                p += length - 1;
            }
            char escape[16];
            if (code >= 0x10000) {
                std::snprintf(escape, sizeof(escape), "\\u%04x\\u%04x",
                              0xD800 + ((code - 0x10000) >> 10),
                              0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                std::snprintf(escape, sizeof(escape), "\\u%04x", code);
            }
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
        ++p;
    }
    return out + "\"";
}

std::string ShellQuote(const std::string& text) {
    bool plain = !text.empty();
    for (unsigned char c : text) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || std::strchr("_@%+=:,./-", c) != nullptr;
        if (!safe || c == 0) plain = false;
    }
    if (plain) return text;
#ifdef _WIN32
    return "\"" + text + "\"";
#else
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
#endif
}

void ToolMessages::Collect(ErrorSink& errors) {
    errors.show = [](void* user, const char* message) {
        static_cast<ToolMessages*>(user)->texts.emplace_back(message);
    };
    errors.user = this;
}

void PrintScriptErrors(const char* file, int line, std::vector<std::string>& messages) {
    for (const std::string& m : messages)
        std::fprintf(stderr, "%s:%d: %s\n", file, line, m.c_str());
    messages.clear();
}
