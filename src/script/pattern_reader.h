// Movement patterns: "interval,{dx,dy,steps},{dx,dy,steps}..." on a feature's
// "Movement Pattern" line.
#pragma once

#include <cstdint>

struct ScriptContext;

class CPattern;

// Reads the interval into `interval` and the steps into `pattern`, replacing
// any steps it held. The steps must begin right after the interval's comma; a
// step without its closing "}" is not counted. Returns 1, or 0 after "Out of
// memory: CPattern::Read()".
int ReadPattern(ScriptContext& s, CPattern& pattern, const char* text, int32_t& interval);
