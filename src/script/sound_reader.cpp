#include "script/sound_reader.h"

#include "script/media_path.h"
#include "script/script_reader.h"
#include "script/script_values.h"
#include "sound/sound.h"

#include <cstring>
#include <new>

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

} // namespace

int ReadSoundArg(CSound*& slot, const char* /*keyword*/, char* rest) {
    delete slot;
    slot = new (std::nothrow) CSound;
    if (!slot) {
        ReportErrorF("Out of memory: %s", "CFeature::Read() Sound");
        return 0;
    }
    int32_t volume = 0;
    int32_t pan = 64;
    int32_t loopPoint = 0;
    int32_t headCount = 0;
    int32_t tailCount = 0;

    const char* p = ValuesStart(rest);
    if (!p) return 0;
    p = ParseValue(volume, p);
    if (!p) return 0;
    if ((p = ParseValue(pan, p)) != nullptr && (p = ParseValue(loopPoint, p)) != nullptr) {
        p = ParseValue(headCount, p);
        if (!p || !ParseValue(tailCount, p)) return 0;
    }

    CutFileName(rest);
    return slot->Load(MediaFile(ResolveMediaPath(rest)), volume, pan, loopPoint, headCount,
                      tailCount);
}
