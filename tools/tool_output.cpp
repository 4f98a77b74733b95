#include "tool_output.h"

#include "base/error_sink.h"

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
