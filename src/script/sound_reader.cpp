#include "script/sound_reader.h"

#include "base/error_sink.h"
#include "script/media_binder.h"
#include "script/script_context.h"
#include "script/script_values.h"

#include <cstring>

namespace {

// Where the values begin: the first "," after the file name. A quoted name
// may itself hold commas.
char* ValuesStart(char* rest) {
    char* p = rest;
    if (*p == '"') {
        char* close = std::strchr(p + 1, '"');
        if (close) p = close + 1;
    }
    return std::strchr(p, ',');
}

// The file name: the quoted text, or an unquoted name up to its comma, without
// trailing blanks.
void CutFileName(char* rest) {
    if (*rest != '"') {
        rest[std::strcspn(rest, ",\"\r\n")] = '\0';
        size_t n = std::strlen(rest);
        while (n > 0 && (rest[n - 1] == ' ' || rest[n - 1] == '\t')) rest[--n] = '\0';
        return;
    }
    StripQuotes(rest);
}

int IncompleteSoundLine(ScriptContext& s) {
    if (s.keepGoing && s.errors)
        s.errors->ReportError("Sound line not loaded: it takes one, two or five values after "
                              "the file name");
    return 0;
}

} // namespace

int ReadSoundArg(ScriptContext& s, MediaBinder& media, CSound*& slot, const char* /*keyword*/,
                 char* rest) {
    int32_t volume = 0;
    int32_t pan = 64;
    int32_t loopPoint = 0;
    int32_t headCount = 0;
    int32_t tailCount = 0;

    // An incomplete line stops the saver's loading without a word; the theme
    // tools say why.
    const char* p = ValuesStart(rest);
    if (!p) return IncompleteSoundLine(s);
    p = ParseValue(s, volume, p);
    if (!p) return IncompleteSoundLine(s);
    if ((p = ParseValue(s, pan, p)) != nullptr && (p = ParseValue(s, loopPoint, p)) != nullptr) {
        p = ParseValue(s, headCount, p);
        if (!p || !ParseValue(s, tailCount, p)) return IncompleteSoundLine(s);
    }

    CutFileName(rest);
    return media.BindSound(slot, rest, volume, pan, loopPoint, headCount, tailCount);
}
