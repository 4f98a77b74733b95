#include "script/setup_scan.h"

#include "base/error_sink.h"
#include "script/script_context.h"
#include "script/script_values.h"

#include <cstring>

namespace {

bool IsNameEnd(char c) {
    return c == '\0' || c == '\n' || c == '\r' || c == '=' || c == ' ';
}

// Reads a "#name "caption" "left" "right" left, right[, default]" line into
// `param`. Fields already read stay filled when a later one is missing.
bool ReadParamDefinition(ScriptContext& s, ModuleParam& param, char* line) {
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

    const char* v = ParseValue(s, param.leftValue, p);
    if (!v) return false;
    v = ParseValue(s, param.rightValue, v);
    if (!v) return false;
    ParseValue(s, param.defaultValue, v); // optional: keeps its previous content
    return true;
}

// A "#" reference reads the first setting whose name begins it: a setting
// without a name, or one whose name begins with an earlier one's, is never
// read by its own name.
void WarnOfShadowedName(const ScriptContext& s, const ThemeModule& module, int index) {
    const char* name = module.params[index].name;
    if (name[0] == '\0') {
        s.Warn("a setting without a name: every \"#\" value of the module reads this "
               "setting");
        return;
    }
    for (int i = 0; i < index; ++i) {
        const char* earlier = module.params[i].name;
        if (earlier[0] != '\0' && MatchKeyword(name, earlier)) {
            s.Warn("setting #%s begins with the name of setting #%s: \"#%s\" reads #%s", name,
                   earlier, name, earlier);
            return;
        }
    }
}

bool SyntaxError(ScriptContext& s, const char* what) {
    s.errors->ReportErrorF("Syntax Error: %s", what);
    return false;
}

// Reads the module's opening lines and its Setup block, leaving the script
// just after the line that closes the Setup block.
bool ReadModuleSetup(ScriptContext& s, ThemeModule& module) {
    char* line;
    if (!s.reader.NextLine(&line) || line[0] != '{') return SyntaxError(s, "Missing '{'");
    if (!s.reader.NextLine(&line) || !MatchKeyword(line, "Setup") || !s.reader.NextLine(&line) ||
        line[0] != '{')
        return SyntaxError(s, "Missing keyword 'Setup' or missing '{'");

    // In keep-going mode a wrong definition is reported and passed over.
    int defined = 0;
    while (s.reader.NextLine(&line) && line[0] != '}') {
        if (line[0] != '#') continue;
        if (defined == MODULE_PARAMS) {
            if (!SyntaxError(s, "Too many parameters present") && !s.keepGoing) return false;
            continue;
        }
        if (!ReadParamDefinition(s, module.params[defined], line)) {
            if (!SyntaxError(s, "Invalid parameter definition") && !s.keepGoing) return false;
            module.params[defined] = ModuleParam();
            continue;
        }
        WarnOfShadowedName(s, module, defined);
        ++defined;
    }
    module.bodyOffset = s.reader.ScriptPosition();
    module.bodyLine = s.reader.lineNumber;
    return true;
}

} // namespace

int ScanThemeSetup(ScriptContext& s, const char* path) {
    if (!s.reader.OpenScript(path)) return 0;
    s.theme.moduleCount = 0;
    char* line;
    while (s.reader.NextLine(&line)) {
        if (MatchKeyword(line, "ThemeName")) {
            CopyQuoted(s.theme.themeName, line + 9, THEME_NAME_LEN);
            continue;
        }
        size_t keywordLength = MatchKeyword(line, "ScreenSaver") ? 11
                               : MatchKeyword(line, "Module")    ? 6
                                                                 : 0;
        if (keywordLength == 0) continue;

        ThemeModule* module;
        if (s.theme.moduleCount < MAX_MODULES) {
            module = &s.theme.moduleTable[s.theme.moduleCount++];
        } else {
            s.Warn("module ignored: a theme holds at most %d modules", MAX_MODULES);
            std::memset(&s.overflowModule, 0, sizeof(s.overflowModule));
            module = &s.overflowModule;
        }
        CopyQuoted(module->name, line + keywordLength, MODULE_NAME_LEN);
        if (!ReadModuleSetup(s, *module)) {
            s.reader.CloseScript();
            return 0;
        }
    }
    s.reader.CloseScript();
    return 1;
}
