#include "script/pattern_reader.h"

#include "base/error_sink.h"
#include "script/script_context.h"
#include "script/script_values.h"

#include <cstring>
#include <new>

namespace {

const char* After(const char* p, char c) {
    const char* found = std::strchr(p, c);
    return found ? found + 1 : p + std::strlen(p);
}

} // namespace

int ReadPattern(ScriptContext& s, CPattern& pattern, const char* text, int32_t& interval) {
    const char* p = ParseValue(s, interval, text);
    const char* first = After(p ? p : text, ',');

    int32_t count = 0;
    for (const char* q = first; *q == '{';) {
        const char* close = std::strchr(q, '}');
        if (!close) break;
        ++count;
        q = close + 1;
        while (*q == ',' || *q == ' ' || *q == '\t') ++q;
    }

    delete[] pattern.steps;
    pattern.steps = nullptr;
    pattern.count = 0;
    if (count == 0) {
        s.Warn(std::strchr(first, '{')
                   ? "pattern steps not read: no blank may stand between the interval's comma "
                     "and the first \"{\", and the whole pattern is on one line; the feature "
                     "stands still"
                   : "a pattern without steps: the feature stands still");
        return 1;
    }
    pattern.steps = new (std::nothrow) PatternStep[count];
    if (!pattern.steps) {
        s.errors->ReportErrorF("Out of memory: %s", "CPattern::Read()");
        return 0;
    }
    pattern.count = count;

    const char* cursor = first;
    for (int32_t i = 0; i < count; ++i) {
        PatternStep& step = pattern.steps[i];
        step.dx = step.dy = step.steps = 0;
        ParsePosition(s, step.dx, step.dy, &cursor);
        cursor = After(cursor, ',');
        ParseValue(s, step.steps, cursor);
        cursor = After(cursor, '}');
        if (*cursor) ++cursor; // one separator
    }
    return 1;
}
