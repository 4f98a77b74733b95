// Labels, conditions and their command blocks, and the Setup test of
// "Enable OnSetup".
#pragma once

#include <cstdint>

struct ScriptContext;

class CFeature;

// The index of the label named at the start of `text` (after any characters
// that cannot begin a name); a new name is added to the label table. With the
// table full, new names give 0.
int32_t LabelIndex(ScriptContext& s, const char* text);

// Reads the rest of a "Condition" line into the feature's condition fields,
// then its command block. Returns 1, or 0 after a reported error. The frame
// look-ahead of "OnFrame" is left to the end of the feature block, when the
// feature's image is known.
int ReadCondition(ScriptContext& s, CFeature& feature, const char* rest);

// Reads the command block that follows a "Condition" line into `commands`.
// Commands that no longer fit are dropped whole.
int ReadCommands(ScriptContext& s, CFeature& feature);

// The "(a op b)" test after "OnSetup": 1 or 0. Operators: < <= = > >=.
int EvaluateSetupTest(ScriptContext& s, const char* text);
