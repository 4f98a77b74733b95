// The single line source over the theme script and the small text helpers
// every block reader uses.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int SCRIPT_LINE_SIZE = 128; // a line is delivered in pieces of at most 127 characters
constexpr int MESSAGE_BUFFER_SIZE = 256;

extern int32_t lineNumber;
extern int32_t skipDepth;
extern bool scrambled;
extern char messageBuffer[MESSAGE_BUFFER_SIZE];
extern int32_t errorLine;

// Opens `scriptPath`; detects a scrambled script by its "%%%%" first line.
// Returns 1 on success, 0 (without a message) when the file cannot be opened.
int OpenScript();
void CloseScript();
// Byte position in the script, and a seek to one (module bodies resume there).
int32_t ScriptPosition();
int ScriptSeek(int32_t offset);

// Delivers the next significant line; false at the end of the file.
bool NextLine(char** cursor);

// Reads one piece of a line: at most 127 characters, the newline included,
// with a CR LF line end read as LF. Returns its length (0 at the end of the
// file) and ends `buffer` (SCRIPT_LINE_SIZE bytes) with a zero byte.
int ReadScriptPiece(std::FILE* file, char* buffer);

// Splits a line in place into its keyword and the rest of its arguments.
void SplitKeyword(char* line, char** keyword, char** rest);
// Case-insensitive prefix test: does `word` begin with `keyword`?
bool MatchKeyword(const char* word, const char* keyword);
// Reduces a text in place to its quoted part (file names are written in quotes).
void StripQuotes(char* text);
// Copies the next quoted string, at most `limit` characters, into `field`
// (which holds limit + 1 bytes). Returns the position after the closing quote,
// or nullptr (field unchanged) when the text holds no quote.
char* CopyQuoted(char* field, char* text, int limit);

// Shows `message` in a message box captioned with the application title and
// records the current line in `errorLine`.
void ReportError(const char* message);
// Formats into `messageBuffer`, then reports it.
void ReportErrorF(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Path of a media file in the media directory (or the name itself when there is
// none), in a shared buffer valid until the next call.
const char* ResolveMediaPath(const char* name);

// Restores the reader to program start (closes the script, clears the state).
void ResetScriptReader();
