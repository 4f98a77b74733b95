// Numbers and coordinates of the theme script: values that may follow the
// user's Setup parameters, and coordinates that may be random, an edge, the
// centre or a count of screen pixels.
#pragma once

#include <cstdint>

struct ScriptContext;

// Reads one value: an integer, an integer "*" a percentage, a "#" parameter
// reference (to the current module's parameters), or a "Balance"/"Ballance" weight. Returns the
// position just after the value, or nullptr (value unchanged) when the text holds none. A word that
// is not a value leaves the value unchanged and returns the word's start.
const char* ParseValue(const ScriptContext& s, int32_t& value, const char* text);

// Reads one coordinate code at `*cursor` and advances the cursor. `horizontal`
// selects the horizontal pixel scale for the "a" pixel prefix.
void ParseCoordinate(const ScriptContext& s, int32_t& code, const char** cursor, bool horizontal);

// Reads "X, Y" into two coordinate codes and advances the cursor.
void ParsePosition(const ScriptContext& s, int32_t& x, int32_t& y, const char** cursor);

// Plain decimal integer: leading white space, an optional sign, digits up to
// the first other character; 0 without digits. Returns the position after it.
const char* ParseInteger(int32_t& value, const char* text);
