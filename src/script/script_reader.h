// The single line source over the theme script and the small text helpers
// every block reader uses.
#pragma once

#include "base/error_sink.h"
#include "base/text.h"

#include <cstdint>
#include <cstdio>

constexpr int SCRIPT_LINE_SIZE = 128; // a line is read in pieces of at most 127 bytes
// A piece as text: a Windows-1252 byte takes up to three bytes of UTF-8, and a
// character that the last piece cut comes over whole (at most three bytes).
constexpr int SCRIPT_TEXT_SIZE = 3 * (SCRIPT_LINE_SIZE - 1 + 3) + 1;

// What a script's bytes are read as: a UTF-8 byte-order mark, or bytes that
// are UTF-8 throughout, mean UTF-8; anything else is Windows-1252. Either way
// the lines are delivered as UTF-8.
enum class ScriptEncoding { Utf8, Windows1252 };

// Reads the theme script line by line: the line numbers that errors are
// recorded against, the "#if 0" / "#if 1" / "#endif" skipping and the
// unscrambling of scrambled scripts.
class ScriptReader {
  public:
    int32_t lineNumber = 0;
    int32_t skipDepth = 0;
    // Block openers less block closers among the lines delivered so far: the
    // theme tools find the end of a block after an error by it.
    int32_t braceDepth = 0;
    bool scrambled = false;
    ScriptEncoding encoding = ScriptEncoding::Utf8;
    // Receives warnings on what the reader reads otherwise than written (a
    // line cut in pieces, an "#if 0" left open); none in the saver.
    const ErrorSink* warnings = nullptr;

    ScriptReader() = default;
    ~ScriptReader() { CloseScript(); }
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    // Opens the script at `path`; detects a scrambled script by its "%%%%"
    // first line, and the encoding of its text (which takes one pass over the
    // file). Returns 1 on success, 0 (without a message) when the file cannot
    // be opened or `path` is not a regular file.
    int OpenScript(const char* path);
    void CloseScript();
    // Byte position in the script, and a seek to one (module bodies resume there).
    int32_t ScriptPosition() const;
    int ScriptSeek(int32_t offset);

    // Delivers the next significant line, as UTF-8; false at the end of the file.
    bool NextLine(char** cursor);

    // Back to program start: the script closed, the state cleared.
    void Reset();

  private:
    // The raw piece of `length` bytes as UTF-8 in lineBuffer; `cut`: the
    // piece ended before its line did.
    void DecodePiece(const char* piece, int length, bool cut);

    std::FILE* scriptFile = nullptr;
    int32_t skipStartLine = 0;   // the line of the outermost open "#if 0"
    bool pieceContinues = false; // the last piece ended before its line did
    bool atTextStart = false;    // the next piece is the first of the text
    // The start of a UTF-8 character that the last piece cut, for the next.
    char carried[4] = {};
    int carriedLength = 0;
    char piece[SCRIPT_LINE_SIZE] = {};
    char lineBuffer[SCRIPT_TEXT_SIZE] = {};
};

// Reads one piece of a line: at most 127 characters, the newline included,
// with a CR LF line end read as LF. Returns its length (0 at the end of the
// file) and ends `buffer` (SCRIPT_LINE_SIZE bytes) with a zero byte.
int ReadScriptPiece(std::FILE* file, char* buffer);

// Splits a line in place into its keyword and the rest of its arguments.
void SplitKeyword(char* line, char** keyword, char** rest);
// Reduces a text in place to its quoted part (file names are written in quotes).
void StripQuotes(char* text);
// Copies the next quoted string, at most `limit` characters, into `field`
// (which holds limit + 1 bytes). Returns the position after the closing quote,
// or nullptr (field unchanged) when the text holds no quote.
char* CopyQuoted(char* field, char* text, int limit);
