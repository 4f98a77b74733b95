#include "tool_output.h"

#include "platform/headless/headless.h"

#include <cstring>

std::string JsonString(const char* text) {
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        unsigned char c = *p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
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

void PrintScriptErrors(const char* file, int line) {
    for (const HeadlessMessage& m : HeadlessMessages())
        std::fprintf(stderr, "%s:%d: %s\n", file, line, m.text.c_str());
    HeadlessClearMessages();
}
