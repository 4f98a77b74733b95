#include "script/setup_scan.h"

#include "script/script_reader.h"
#include "script/script_values.h"
#include "script/theme_records.h"

#include <cstring>

namespace {

// Setup blocks of modules beyond the table's capacity are checked here and
// then dropped, so that a long script cannot write past the table.
ThemeModule overflowModule;

bool IsNameEnd(char c) {
    return c == '\0' || c == '\n' || c == '\r' || c == '=' || c == ' ';
}

// Reads a "#name "caption" "left" "right" left, right[, default]" line into
// `param`. Fields already read stay filled when a later one is missing.
bool ReadParamDefinition(ModuleParam& param, char* line) {
    char* p = line + 1; // after the "#"
    int n = 0;
    for (; !IsNameEnd(*p); ++p) {
        if (n < PARAM_NAME_LEN) param.name[n++] = *p;
    }
    param.name[n] = '\0';

    p = CopyQuoted(param.caption, p, PARAM_CAPTION_LEN);
    if (!p) return false;
    p = CopyQuoted(param.leftLabel, p, PARAM_LABEL_LEN);
    if (!p) return false;
    p = CopyQuoted(param.rightLabel, p, PARAM_LABEL_LEN);
    if (!p) return false;

    const char* v = ParseValue(param.leftValue, p);
    if (!v) return false;
    v = ParseValue(param.rightValue, v);
    if (!v) return false;
    ParseValue(param.defaultValue, v); // optional: keeps its previous content
    return true;
}

bool SyntaxError(const char* what) {
    ReportErrorF("Syntax Error: %s", what);
    return false;
}

// Reads the module's opening lines and its Setup block, leaving the script
// just after the line that closes the Setup block.
bool ReadModuleSetup(ThemeModule& module) {
    char* line;
    if (!NextLine(&line) || line[0] != '{') return SyntaxError("Missing '{'");
    if (!NextLine(&line) || !MatchKeyword(line, "Setup") || !NextLine(&line) || line[0] != '{')
        return SyntaxError("Missing keyword 'Setup' or missing '{'");

    int defined = 0;
    while (NextLine(&line) && line[0] != '}') {
        if (line[0] != '#') continue;
        if (defined == MODULE_PARAMS) return SyntaxError("Too many parameters present");
        if (!ReadParamDefinition(module.params[defined], line))
            return SyntaxError("Invalid parameter definition");
        ++defined;
    }
    module.bodyOffset = ScriptPosition();
    module.bodyLine = lineNumber;
    return true;
}

} // namespace

int ScanThemeSetup() {
    if (!OpenScript()) return 0;
    moduleCount = 0;
    char* line;
    while (NextLine(&line)) {
        if (MatchKeyword(line, "ThemeName")) {
            CopyQuoted(themeName, line + 9, THEME_NAME_LEN);
            continue;
        }
        size_t keywordLength = MatchKeyword(line, "ScreenSaver") ? 11
                               : MatchKeyword(line, "Module")    ? 6
                                                                 : 0;
        if (keywordLength == 0) continue;

        ThemeModule* module;
        if (moduleCount < MAX_MODULES) {
            module = &moduleTable[moduleCount++];
        } else {
            std::memset(&overflowModule, 0, sizeof(overflowModule));
            module = &overflowModule;
        }
        CopyQuoted(module->name, line + keywordLength, MODULE_NAME_LEN);
        if (!ReadModuleSetup(*module)) {
            CloseScript();
            return 0;
        }
    }
    CloseScript();
    return 1;
}
