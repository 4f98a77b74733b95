// Output helpers shared by the subcommands: JSON strings and script errors.
#pragma once

#include <cstdio>
#include <string>

// `text` as a JSON string literal, quotes included. Bytes above 127 are taken
// as Latin-1 characters.
std::string JsonString(const char* text);

// `text` as one word for the shell a user pastes it into: unchanged when it
// holds only characters no shell treats specially, else in single quotes
// with each ' written as '\'' (POSIX); on Windows in double quotes, which no
// file name can hold.
std::string ShellQuote(const std::string& text);

// Prints the messages shown since the last call (headless message boxes) on
// stderr as "FILE:LINE: message", with `line` the script line of the error.
void PrintScriptErrors(const char* file, int line);
