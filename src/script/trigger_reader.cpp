#include "script/trigger_reader.h"

#include "base/error_sink.h"
#include "script/block_args.h"
#include "script/script_context.h"
#include "script/script_values.h"

#include <cctype>
#include <cstring>

namespace {

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

int32_t Times16(int32_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) * 16u);
}

// Appends `letter` and, when `label` is not negative, its two digits; a
// command that does not fit is dropped.
void AppendCommand(const ScriptContext& s, char* commands, int& length, char letter,
                   int32_t label) {
    int size = label < 0 ? 1 : 3;
    if (length + size > COMMANDS_LEN) {
        s.Warn("command ignored: the commands of a condition take at most %d characters "
               "(Stop and EndSection take 1, the others 3)",
               COMMANDS_LEN);
        return;
    }
    commands[length++] = letter;
    if (label >= 0) {
        commands[length++] = static_cast<char>('0' + label / 10 % 10);
        commands[length++] = static_cast<char>('0' + label % 10);
    }
    commands[length] = '\0';
}

} // namespace

int32_t LabelIndex(ScriptContext& s, const char* text) {
    const char* p = text;
    while (*p && !IsNameChar(*p)) ++p;
    char name[LABEL_NAME_LEN + 1];
    int n = 0;
    while (IsNameChar(*p) && n < LABEL_NAME_LEN) name[n++] = *p++;
    name[n] = '\0';
    for (int i = 0; i < s.theme.labelCount; ++i) {
        if (SameNameNoCase(s.theme.labelTable[i].name, name)) return i;
    }
    if (s.theme.labelCount >= MAX_LABELS) {
        s.Warn("label \"%s\" is not added: a module holds at most %d labels, and the "
               "label stands for \"%s\"",
               name, MAX_LABELS, s.theme.labelTable[0].name);
        return 0;
    }
    LabelEntry& entry = s.theme.labelTable[s.theme.labelCount];
    std::memcpy(entry.name, name, static_cast<size_t>(n) + 1);
    entry.feature = 0;
    s.labelLines[s.theme.labelCount] = s.reader.lineNumber;
    return s.theme.labelCount++;
}

int ReadCondition(ScriptContext& s, CFeature& feature, const char* rest) {
    if (MatchKeyword(rest, "InRegion")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        const char* a3 = NextArg(a2);
        const char* a4 = NextArg(a3);
        if (!a4) return s.ReportInvalidKeyword(rest);
        int32_t v[4];
        ParseInteger(v[0], a1);
        ParseInteger(v[1], a2);
        ParseInteger(v[2], a3);
        ParseInteger(v[3], a4);
        feature.conditionType = COND_IN_REGION;
        feature.conditionArg1 = Times16(v[0]);
        feature.conditionArg2 = Times16(v[1]);
        feature.conditionArg3 = Times16(v[2]);
        feature.conditionArg4 = Times16(v[3]);
    } else if (MatchKeyword(rest, "AfterTime")) {
        const char* a1 = FirstArg(rest);
        if (!a1) return s.ReportInvalidKeyword(rest);
        feature.conditionType = COND_AFTER_TIME;
        ParseInteger(feature.conditionArg1, a1);
    } else if (MatchKeyword(rest, "OnFrame")) {
        const char* a1 = FirstArg(rest);
        if (!a1) return s.ReportInvalidKeyword(rest);
        feature.conditionType = COND_ON_FRAME;
        ParseInteger(feature.conditionArg1, a1);
        feature.conditionArg3 = feature.conditionArg1;
    } else if (MatchKeyword(rest, "OnEnd")) {
        feature.conditionType = COND_ON_END;
    } else {
        return s.ReportInvalidKeyword(rest);
    }
    return ReadCommands(s, feature);
}

int ReadCommands(ScriptContext& s, CFeature& feature) {
    char* line;
    if (!s.reader.NextLine(&line) || line[0] != '{') {
        s.errors->ReportErrorF("Syntax Error: %s", "Missing '{'");
        return 0;
    }
    int length = 0;
    feature.commands[0] = '\0';
    while (s.reader.NextLine(&line) && line[0] != '}') {
        char* keyword;
        char* rest;
        SplitKeyword(line, &keyword, &rest);
        if (MatchKeyword(keyword, "Stop")) {
            AppendCommand(s, feature.commands, length, CMD_STOP, -1);
        } else if (MatchKeyword(keyword, "Trigger")) {
            AppendCommand(s, feature.commands, length, CMD_TRIGGER, LabelIndex(s, rest));
        } else if (MatchKeyword(keyword, "EndSection")) {
            AppendCommand(s, feature.commands, length, CMD_END_SECTION, -1);
        } else if (MatchKeyword(keyword, "Disable")) {
            if (*rest) {
                AppendCommand(s, feature.commands, length, CMD_DISABLE, LabelIndex(s, rest));
            } else {
                AppendCommand(s, feature.commands, length, CMD_DISABLE_SELF, -1);
            }
        } else if (MatchKeyword(keyword, "Enable")) {
            AppendCommand(s, feature.commands, length, CMD_ENABLE, LabelIndex(s, rest));
        } else {
            return s.ReportInvalidKeyword(keyword);
        }
    }
    return 1;
}

int EvaluateSetupTest(ScriptContext& s, const char* text) {
    const char* p = FirstArg(text);
    if (!p) return 0;
    int32_t a = 0;
    int32_t b = 0;
    p = ParseValue(s, a, p);
    if (!p) return 0;
    while (*p == ' ' || *p == '\t') ++p;
    char op = *p;
    char second = op ? p[1] : '\0';
    ParseValue(s, b, p);
    switch (op) {
    case '<': return second == '=' ? a <= b : a < b;
    case '>': return second == '=' ? a >= b : a > b;
    case '=': return a == b;
    default: return 0;
    }
}
