// Output helpers shared by the subcommands: JSON strings and script errors.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct ErrorSink;

// `text` as a JSON string literal, quotes included. The text is UTF-8; a
// byte that begins no UTF-8 character is taken as a Latin-1 character.
std::string JsonString(const char* text);

// `text` as one word for the shell a user pastes it into: unchanged when it
// holds only characters no shell treats specially, else in single quotes
// with each ' written as '\'' (POSIX); on Windows in double quotes, which no
// file name can hold.
std::string ShellQuote(const std::string& text);

// The messages an error sink shows, collected instead of shown: what the
// tools that need no saver run print.
struct ToolMessages {
    std::vector<std::string> texts;
    // Makes `errors` show its messages here.
    void Collect(ErrorSink& errors);
};

// Prints `messages` on stderr as "FILE:LINE: message", with `line` the
// script line of the error, and forgets them.
void PrintScriptErrors(const char* file, int line, std::vector<std::string>& messages);
