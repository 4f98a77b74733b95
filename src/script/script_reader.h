// The single line source over the theme script and the small text helpers
// every block reader uses.
#pragma once

#include "base/error_sink.h"
#include "base/text.h"

#include <cstdint>
#include <cstdio>

constexpr int SCRIPT_LINE_SIZE = 128; // a line is delivered in pieces of at most 127 characters

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
    // Receives warnings on what the reader reads otherwise than written (a
    // line cut in pieces, an "#if 0" left open); none in the saver.
    const ErrorSink* warnings = nullptr;

    ScriptReader() = default;
    ~ScriptReader() { CloseScript(); }
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    // Opens the script at `path`; detects a scrambled script by its "%%%%"
    // first line. Returns 1 on success, 0 (without a message) when the file
    // cannot be opened or `path` is not a regular file.
    int OpenScript(const char* path);
    void CloseScript();
    // Byte position in the script, and a seek to one (module bodies resume there).
    int32_t ScriptPosition() const;
    int ScriptSeek(int32_t offset);

    // Delivers the next significant line; false at the end of the file.
    bool NextLine(char** cursor);

    // Back to program start: the script closed, the state cleared.
    void Reset();

  private:
    std::FILE* scriptFile = nullptr;
    int32_t skipStartLine = 0;   // the line of the outermost open "#if 0"
    bool pieceContinues = false; // the last piece ended before its line did
    char lineBuffer[SCRIPT_LINE_SIZE] = {};
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
