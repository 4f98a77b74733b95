// Small text helpers shared by every layer.
#pragma once

// Case-insensitive prefix test: does `word` begin with `keyword`?
bool MatchKeyword(const char* word, const char* keyword);
// Case-insensitive equality of two whole texts.
bool SameNameNoCase(const char* a, const char* b);
