#include "script/script_reader.h"

#include "base/file_checks.h"
#include "base/files.h"
#include "base/utf8.h"
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

const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
constexpr int BOM_LENGTH = 3;

bool StartsWithBom(const char* text, size_t length) {
    return length >= BOM_LENGTH && std::memcmp(text, BYTE_ORDER_MARK, BOM_LENGTH) == 0;
}

// True when the `length` bytes at `p` (fewer than a whole sequence) can begin
// a UTF-8 character that the following bytes complete.
bool BeginsCharacter(const unsigned char* p, int length) {
    if (length <= 0 || length > 3 || p[0] < 0xC2 || p[0] > 0xF4) return false;
    const int needed = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : 2;
    if (length >= needed) return false;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return false;
    }
    return true;
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
    scriptFile = OpenFile(path, "rb");
    if (!scriptFile) return 0;
    lineNumber = 0;
    skipDepth = 0; // an "#if 0" left open at the end does not reach into the next read
    skipStartLine = 0;
    braceDepth = 0;
    pieceContinues = false;
    scrambled = false;
    carriedLength = 0;
    atTextStart = true;
    // The marker line of a scrambled script, after a byte-order mark if the
    // file has one; its text then begins on the next line.
    const int n = ReadScriptPiece(scriptFile, piece);
    bool bom = StartsWithBom(piece, static_cast<size_t>(n));
    const int marker = bom ? BOM_LENGTH : 0;
    long textStart = 0;
    if (n - marker >= 4 && std::strncmp(piece + marker, "%%%%", 4) == 0) {
        scrambled = true;
        textStart = std::ftell(scriptFile);
        char start[BOM_LENGTH];
        bom = bom || (std::fread(start, 1, BOM_LENGTH, scriptFile) == BOM_LENGTH &&
                      StartsWithBom(start, BOM_LENGTH));
    }
    std::rewind(scriptFile);
    encoding =
        bom || RestOfFileIsUtf8(scriptFile) ? ScriptEncoding::Utf8 : ScriptEncoding::Windows1252;
    std::clearerr(scriptFile);
    std::fseek(scriptFile, textStart, SEEK_SET);
    return 1;
}

void ScriptReader::CloseScript() {
    if (scriptFile) std::fclose(scriptFile);
    scriptFile = nullptr;
}

// A character cut by the last piece is read again after a seek to here.
int32_t ScriptReader::ScriptPosition() const {
    return scriptFile ? static_cast<int32_t>(std::ftell(scriptFile)) - carriedLength : -1;
}

int ScriptReader::ScriptSeek(int32_t offset) {
    carriedLength = 0;
    atTextStart = false;
    return scriptFile && std::fseek(scriptFile, offset, SEEK_SET) == 0 ? 1 : 0;
}

void ScriptReader::DecodePiece(const char* raw, int length, bool cut) {
    int out = 0;
    if (encoding == ScriptEncoding::Windows1252) {
        for (int i = 0; i < length; ++i) {
            out +=
                EncodeUtf8(Cp1252CodePoint(static_cast<unsigned char>(raw[i])), lineBuffer + out);
        }
    } else {
        unsigned char text[SCRIPT_LINE_SIZE + 3];
        std::memcpy(text, carried, static_cast<size_t>(carriedLength));
        std::memcpy(text + carriedLength, raw, static_cast<size_t>(length));
        const int total = carriedLength + length;
        carriedLength = 0;
        for (int i = 0; i < total;) {
            const size_t n = Utf8SequenceLength(text + i, static_cast<size_t>(total - i));
            if (n > 0) {
                std::memcpy(lineBuffer + out, text + i, n);
                out += static_cast<int>(n);
                i += static_cast<int>(n);
            } else if (cut && BeginsCharacter(text + i, total - i)) {
                // The piece ends inside a character: it goes whole into the next.
                carriedLength = total - i;
                std::memcpy(carried, text + i, static_cast<size_t>(carriedLength));
                break;
            } else {
                out += EncodeUtf8(0xFFFD, lineBuffer + out); // after a byte-order mark
                ++i;
            }
        }
    }
    lineBuffer[out] = '\0';
    if (atTextStart && StartsWithBom(lineBuffer, static_cast<size_t>(out))) {
        const int rest = out - BOM_LENGTH + 1; // the line after the mark, with its end
        std::memmove(lineBuffer, lineBuffer + BOM_LENGTH, static_cast<size_t>(rest));
    }
    atTextStart = false;
}

bool ScriptReader::NextLine(char** cursor) {
    if (!scriptFile) return false;
    for (;;) {
        int n = ReadScriptPiece(scriptFile, piece);
        if (n == 0) {
            if (skipDepth > 0 && warnings)
                warnings->WarnAt(skipStartLine,
                                 "\"#if 0\" is not closed by \"#endif\": everything after it "
                                 "is skipped");
            return false;
        }
        ++lineNumber;
        if (scrambled) {
            for (int i = 0; i < n; ++i) piece[i] = UnscrambleChar(piece[i], i);
        }
        const bool continued = pieceContinues;
        pieceContinues = n == SCRIPT_PIECE_LEN && piece[n - 1] != '\n';
        DecodePiece(piece, n, pieceContinues);
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

// A text cut at `limit` bytes keeps its last character whole or leaves it out.
char* CopyQuoted(char* field, char* text, int limit) {
    char* quote = std::strchr(text, '"');
    if (!quote) return nullptr;
    char* p = quote + 1;
    char* end = p;
    while (!IsLineEnd(*end) && *end != '"') ++end;
    const size_t n = Utf8Prefix(p, static_cast<size_t>(end - p), static_cast<size_t>(limit));
    std::memcpy(field, p, n);
    field[n] = '\0';
    p = end;
    return *p == '"' ? p + 1 : p;
}

void ScriptReader::Reset() {
    CloseScript();
    carriedLength = 0;
    atTextStart = false;
    lineNumber = 0;
    skipDepth = 0;
    skipStartLine = 0;
    braceDepth = 0;
    pieceContinues = false;
    scrambled = false;
}
