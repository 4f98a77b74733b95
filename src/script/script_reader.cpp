#include "script/script_reader.h"

#include "base/file_checks.h"
#include "script/script_scramble.h"

#include <cctype>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

bool IsLineEnd(char c) {
    return c == '\0' || c == '\n' || c == '\r';
}

} // namespace

int ReadScriptPiece(std::FILE* file, char* buffer) {
    int n = 0;
    while (n < SCRIPT_PIECE_LEN) {
        int c = std::getc(file);
        if (c == EOF) break;
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    return n;
}

int ScriptReader::OpenScript(const char* path) {
    CloseScript();
    // A folder opens but reads as empty; a FIFO or a device would wait or
    // never end. Neither is opened.
    if (ExistsButNotAFile(path)) return 0;
    scriptFile = std::fopen(path, "rb");
    if (!scriptFile) return 0;
    lineNumber = 0;
    skipDepth = 0; // an "#if 0" left open at the end does not reach into the next read
    skipStartLine = 0;
    braceDepth = 0;
    pieceContinues = false;
    scrambled = false;
    int n = ReadScriptPiece(scriptFile, lineBuffer);
    if (n >= 4 && std::strncmp(lineBuffer, "%%%%", 4) == 0) {
        scrambled = true;
    } else {
        std::rewind(scriptFile);
    }
    return 1;
}

void ScriptReader::CloseScript() {
    if (scriptFile) std::fclose(scriptFile);
    scriptFile = nullptr;
}

int32_t ScriptReader::ScriptPosition() const {
    return scriptFile ? static_cast<int32_t>(std::ftell(scriptFile)) : -1;
}

int ScriptReader::ScriptSeek(int32_t offset) {
    return scriptFile && std::fseek(scriptFile, offset, SEEK_SET) == 0 ? 1 : 0;
}

bool ScriptReader::NextLine(char** cursor) {
    if (!scriptFile) return false;
    for (;;) {
        int n = ReadScriptPiece(scriptFile, lineBuffer);
        if (n == 0) {
            if (skipDepth > 0 && warnings)
                warnings->WarnAt(skipStartLine,
                                 "\"#if 0\" is not closed by \"#endif\": everything after it "
                                 "is skipped");
            return false;
        }
        ++lineNumber;
        if (scrambled) {
            for (int i = 0; i < n; ++i) lineBuffer[i] = UnscrambleChar(lineBuffer[i], i);
        }
        const bool continued = pieceContinues;
        pieceContinues = n == SCRIPT_PIECE_LEN && lineBuffer[n - 1] != '\n';
        if (pieceContinues && !continued && warnings)
            warnings->WarnAt(lineNumber, "line longer than 126 characters: it is read as "
                                         "several lines, and later lines are numbered on from "
                                         "them");
        char* line = lineBuffer;
        while (IsBlank(*line)) ++line;
        if (char* comment = std::strstr(line, "//")) *comment = '\0';
        if (*line == '\0') continue;

        bool deliver;
        if (MatchKeyword(line, "#if 0")) {
            if (skipDepth == 0) skipStartLine = lineNumber;
            ++skipDepth;
            deliver = false;
        } else if (MatchKeyword(line, "#if 1")) {
            deliver = skipDepth == 0;
            if (!deliver) ++skipDepth;
        } else if (MatchKeyword(line, "#endif")) {
            if (skipDepth == 0) {
                deliver = true;
            } else {
                --skipDepth;
                deliver = skipDepth == 0;
            }
        } else {
            deliver = skipDepth == 0;
        }
        if (deliver) {
            // Held within its range whatever the number of lines.
            if (*line == '{' && braceDepth < INT32_MAX) ++braceDepth;
            if (*line == '}' && braceDepth > INT32_MIN) --braceDepth;
            *cursor = line;
            return true;
        }
    }
}

void SplitKeyword(char* line, char** keyword, char** rest) {
    *keyword = line;
    char* p = line;
    while (IsAlnum(*p)) ++p;
    if (*p == '\0') {
        *rest = p;
        return;
    }
    *p++ = '\0';
    while (*p != '\0' && !IsAlnum(*p) && *p != '{' && *p != '"') ++p;
    *rest = p;
}

// A text without a closing quote (or without any quote) keeps everything up to
// the end of its line, so that a file name never carries the line end.
void StripQuotes(char* text) {
    char* from = text[0] == '"' ? text + 1 : text;
    char* end = from;
    while (!IsLineEnd(*end) && *end != '"') ++end;
    size_t length = static_cast<size_t>(end - from);
    std::memmove(text, from, length);
    text[length] = '\0';
}

char* CopyQuoted(char* field, char* text, int limit) {
    char* quote = std::strchr(text, '"');
    if (!quote) return nullptr;
    char* p = quote + 1;
    int n = 0;
    while (!IsLineEnd(*p) && *p != '"') {
        if (n < limit) field[n++] = *p;
        ++p;
    }
    field[n] = '\0';
    return *p == '"' ? p + 1 : p;
}

void ScriptReader::Reset() {
    CloseScript();
    lineNumber = 0;
    skipDepth = 0;
    skipStartLine = 0;
    braceDepth = 0;
    pieceContinues = false;
    scrambled = false;
}
