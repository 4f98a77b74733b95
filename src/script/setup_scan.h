// The first pass over the theme script: the theme's name and the module table
// with every module's Setup parameters and the position of its body.
#pragma once

struct ScriptContext;

// Fills the theme name and the module table from the script at `path`.
// Returns 1 on success; 0 when the script cannot be opened (no message) or a
// Setup block is malformed (reported, `errorLine` set; the modules read so far
// stay in the table).
int ScanThemeSetup(ScriptContext& s, const char* path);
