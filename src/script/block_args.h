// Small helpers the block readers share: arguments written in parentheses.
#pragma once

// The first argument of a parenthesised form: just after the first "(" of
// `text`, or nullptr when there is none.
const char* FirstArg(const char* text);
// The next argument: just after the next "," from `previous` on, or nullptr.
// A nullptr `previous` gives nullptr, so calls chain.
const char* NextArg(const char* previous);
