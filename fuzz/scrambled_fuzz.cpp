// Scrambled scripts: arbitrary bytes read as the body of a scrambled script,
// and arbitrary script text scrambled by the tool's own code and read back,
// which must deliver what the plain script delivers, line for line.
#include "base/error_sink.h"
#include "script/script_reader.h"
#include "script/script_scramble.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Line {
    int32_t number;
    std::string text;
    bool warning;
    bool operator==(const Line&) const = default;
};

void CollectWarning(void* user, int32_t line, const char* text) {
    static_cast<std::vector<Line>*>(user)->push_back({line, text, true});
}

// What the reader delivers, with the line numbers and its warnings; a
// delivered line is one piece as UTF-8, which fits the reader's text buffer.
std::vector<Line> ReadAll(const char* path, bool* scrambled) {
    std::vector<Line> lines;
    ErrorSink sink;
    sink.warn = CollectWarning;
    sink.warnUser = &lines;
    ScriptReader reader;
    reader.warnings = &sink;
    if (!reader.OpenScript(path)) std::abort();
    *scrambled = reader.scrambled;
    char* line = nullptr;
    while (reader.NextLine(&line)) {
        if (std::strlen(line) >= static_cast<size_t>(SCRIPT_TEXT_SIZE)) std::abort();
        lines.push_back({reader.lineNumber, line, false});
    }
    return lines;
}

void Write(const char* path, const std::string& text) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) std::abort();
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char plain[64], scrambledPath[64];
    if (!plain[0]) {
        std::snprintf(plain, sizeof(plain), "/tmp/glimmora-scrambled-fuzz-%d.SS", getpid());
        std::snprintf(scrambledPath, sizeof(scrambledPath), "/tmp/glimmora-scrambled-fuzz-%d-s.SS",
                      getpid());
    }
    std::string text(reinterpret_cast<const char*>(data), size);

    // The bytes as the body of a scrambled script.
    Write(plain, "%%%%\n" + text);
    bool scrambled = false;
    ReadAll(plain, &scrambled);
    if (!scrambled) std::abort();

    // The bytes as a plain script, scrambled and read back. A carriage return
    // is left out: one before a CR LF line end is not kept apart from it once
    // scrambled. A plain script that begins with the marker is not plain.
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    if (text.compare(0, 4, "%%%%") == 0) text[0] = '#';
    if (text.compare(0, 7, "\xEF\xBB\xBF%%%%") == 0) text[3] = '#';
    Write(plain, text);
    std::FILE* in = std::fopen(plain, "rb");
    std::FILE* out = std::fopen(scrambledPath, "wb");
    if (!in || !out || !ScrambleScript(in, out)) std::abort();
    std::fclose(in);
    if (std::fclose(out) != 0) std::abort();
    bool plainScrambled = true, readScrambled = false;
    const std::vector<Line> expected = ReadAll(plain, &plainScrambled);
    const std::vector<Line> got = ReadAll(scrambledPath, &readScrambled);
    if (plainScrambled || !readScrambled || got != expected) std::abort();
    std::remove(plain);
    std::remove(scrambledPath);
    return 0;
}
