#include "script/feature_reader.h"

#include "base/error_sink.h"
#include "image/image.h"
#include "script/block_args.h"
#include "script/media_binder.h"
#include "script/pattern_reader.h"
#include "script/script_context.h"
#include "script/script_values.h"
#include "script/sound_reader.h"
#include "script/trigger_reader.h"
#include "sound/sound.h"

#include <cstdio>

namespace {

// The sound lead: how long before a frame or cycle end its sound is started.
constexpr int LOOK_AHEAD_MS = 250;

// State of one block that is settled only when the block ends.
struct BlockState {
    bool cycleSound = false; // "LoopSound OnImageCycle" was given
};

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsValueStart(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '#';
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// The length of the word at `p` up to its line end, for messages.
int WordLength(const char* p) {
    int n = 0;
    while (p[n] && p[n] != '\n' && p[n] != '\r' && p[n] != ' ' && p[n] != ',' && p[n] != '(' &&
           n < 40)
        ++n;
    return n;
}

// A word where a number was expected reads as 0 or as some other form: names
// the word and what was made of it.
void WarnOfWord(const ScriptContext& s, const char* keyword, const char* rest, const char* readAs) {
    const char* p = SkipBlanks(rest);
    if (!IsLetter(*p)) return;
    s.Warn("\"%s %.*s\": \"%.*s\" is not a word of %s lines; the line is read as %s", keyword,
           WordLength(p), p, WordLength(p), p, keyword, readAs);
}

// The keyword reader passes over everything between a keyword and its first
// word or digit, a minus sign or a "#" included.
void WarnOfSkippedSign(const ScriptContext& s, const char* line) {
    if (!s.WantsWarnings()) return;
    const char* p = line;
    while (IsLetter(*p) || (*p >= '0' && *p <= '9')) ++p;
    const char* keywordEnd = p;
    for (; *p && *p != '{' && *p != '"' && !IsLetter(*p) && !(*p >= '0' && *p <= '9'); ++p) {
        if (*p == '-' || *p == '#') {
            s.Warn("the \"%c\" right after \"%.*s\" is skipped%s: write the first value as a "
                   "product (2*-100) or put another value first",
                   *p, static_cast<int>(keywordEnd - line), line,
                   *p == '-' ? ", so the value turns positive" : ", so the setting is not read");
            return;
        }
    }
}

int32_t Scaled(int32_t v, int32_t factor) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) * static_cast<uint32_t>(factor));
}

// "value, value" after a sub-keyword of `length` characters.
void ReadTwoValues(const ScriptContext& s, const char* rest, size_t length, int32_t& first,
                   int32_t& second) {
    const char* p = ParseValue(s, first, rest + length);
    if (p) ParseValue(s, second, p);
}

// A turn in tenths of a degree: the integer times 10 plus the digit after a
// ".", with the sign of the whole number ("-1.5" is -15).
int32_t ReadTenths(const ScriptContext& s, const char* text) {
    int32_t whole = 0;
    const char* end = ParseValue(s, whole, text);
    int64_t tenths = int64_t{whole} * 10;
    if (end && end[0] == '.' && end[1] >= '0' && end[1] <= '9') {
        const char* start = text;
        while (*start == ' ' || *start == '\t') ++start;
        int digit = end[1] - '0';
        tenths += whole < 0 || *start == '-' ? -digit : digit;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(tenths)));
}

int ReadEnable(ScriptContext& s, CFeature& f, const char* rest) {
    if (MatchKeyword(rest, "AfterTime")) {
        f.enabled = 0;
        f.enableMode = ENABLE_AFTER_TIME;
        ParseValue(s, f.enableAfter, rest + 9);
    } else if (MatchKeyword(rest, "Off")) {
        f.enableMode = ENABLE_BY_COMMAND;
        f.enabled = 0;
    } else if (MatchKeyword(rest, "OnSetup")) {
        if (!FirstArg(rest + 7)) return s.ReportInvalidKeyword(rest);
        f.enableMode = ENABLE_BY_COMMAND;
        f.enabled = EvaluateSetupTest(s, rest + 7);
    } else {
        return s.ReportInvalidKeyword(rest);
    }
    return 1;
}

int ReadStart(ScriptContext& s, CFeature& f, const char* rest) {
    f.startType = START_FIXED;
    if (MatchKeyword(rest, "Random")) {
        f.startType = START_RANDOM;
        ReadTwoValues(s, rest, 6, f.startArg1, f.startArg2);
        f.startTime = 0;
    } else if (MatchKeyword(rest, "OnTrigger")) {
        f.startType = START_ON_TRIGGER;
    } else if (MatchKeyword(rest, "Group")) {
        const char* label = FirstArg(rest);
        const char* second = NextArg(label);
        const char* third = NextArg(second);
        if (!third) return s.ReportInvalidKeyword(rest);
        f.startType = START_GROUP;
        f.startGroup = 2 * LabelIndex(s, label);
        if (!MatchKeyword(second, "Random") && MatchKeyword(SkipBlanks(second), "Random"))
            s.Warn("a blank before \"Random\" in \"Start Group\": the group plays in order; "
                   "write Random straight after the comma");
        if (MatchKeyword(second, "Random")) {
            ParseValue(s, f.startArg1, second + 6);
            f.startGroup += 1;
        }
        ParseValue(s, f.startArg2, third);
        f.startTime = 0;
    } else if (MatchKeyword(rest, "Offset")) {
        f.startType = START_OFFSET;
        ReadTwoValues(s, rest, 6, f.startArg1, f.startArg2);
        f.startTime = f.startArg1;
    } else {
        WarnOfWord(s, "Start", rest, "a start time of 0");
        ParseInteger(f.startTime, rest);
    }
    return 1;
}

int ReadPositionLine(ScriptContext& s, CFeature& f, const char* rest) {
    f.positionMode = 0;
    if (MatchKeyword(rest, "Offset")) {
        const char* label = FirstArg(rest);
        const char* pair = NextArg(label);
        if (!pair) return s.ReportInvalidKeyword(rest);
        f.positionMode = 1;
        f.positionLabel = LabelIndex(s, label);
        ParsePosition(s, f.positionX, f.positionY, &pair);
    } else if (MatchKeyword(rest, "Random")) {
        s.Warn("\"Position Random\" puts the feature in the top-left corner: leave Position "
               "out for a random place along the top, write Random(...) as the second "
               "coordinate, or for a random x at height y write \"Position Offset(<its "
               "label>, Random(centre, spread), Random(y, 0))\"");
        f.positionX = 1;
        f.positionY = 1;
    } else {
        ParsePosition(s, f.positionX, f.positionY, &rest);
    }
    return 1;
}

int ReadDuration(ScriptContext& s, CFeature& f, const char* rest) {
    f.durationType = DURATION_FIXED;
    if (MatchKeyword(rest, "OnScreen")) {
        f.durationType = DURATION_ON_SCREEN;
    } else if (MatchKeyword(rest, "Random")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return s.ReportInvalidKeyword(rest);
        f.durationType = DURATION_RANDOM;
        ParseInteger(f.durationArg1, a1);
        ParseInteger(f.durationArg2, a2);
    } else if (MatchKeyword(rest, "Offset")) {
        f.durationType = DURATION_OFFSET;
        ReadTwoValues(s, rest, 6, f.durationArg1, f.durationArg2);
        f.currentDuration = f.durationArg1;
    } else {
        WarnOfWord(s, "Duration", rest, "a fixed duration of 0 ms");
        ParseInteger(f.currentDuration, rest);
    }
    return 1;
}

int ReadMovement(ScriptContext& s, CFeature& f, const char* rest) {
    if (MatchKeyword(rest, "Random")) {
        f.movementType = MOVE_RANDOM;
    } else if (MatchKeyword(rest, "Static")) {
        f.movementType = MOVE_STATIC;
    } else if (MatchKeyword(rest, "Bounce")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return s.ReportInvalidKeyword(rest);
        f.movementType = MOVE_BOUNCE;
        ParseInteger(f.moveArg1, a1);
        ParseInteger(f.moveInterval, a2);
    } else if (MatchKeyword(rest, "Pattern")) {
        const char* text = rest + 7;
        if (*text) ++text; // normally "("
        f.movementType = MOVE_PATTERN;
        if (!ReadPattern(s, f.pattern, text, f.moveInterval)) return 0;
        // The engine needs a step to walk; a pattern without any stands still.
        if (f.pattern.count == 0) f.movementType = MOVE_STATIC;
    } else if (MatchKeyword(rest, "OnImageCycle")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return s.ReportInvalidKeyword(rest);
        int32_t dx = 0;
        int32_t dy = 0;
        ParseInteger(dx, a1);
        ParseInteger(dy, a2);
        f.movementType = MOVE_ON_IMAGE_CYCLE;
        f.moveDx = Scaled(dx, 16);
        f.moveDy = Scaled(dy, 16);
    } else if (MatchKeyword(rest, "Arc") || MatchKeyword(rest, "Projectile")) {
        bool arc = MatchKeyword(rest, "Arc");
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        const char* a3 = NextArg(a2);
        const char* a4 = NextArg(a3);
        if (!a4) return s.ReportInvalidKeyword(rest);
        if (arc) {
            f.movementType = MOVE_ARC;
            ParseValue(s, f.moveArg2, a1);
            ParseValue(s, f.moveArg1, a2);
            ParseValue(s, f.moveInterval, a3);
            f.moveArg3 = ReadTenths(s, a4);
        } else {
            f.movementType = MOVE_PROJECTILE;
            ParseValue(s, f.moveArg1, a1);
            ParseValue(s, f.moveArg2, a2);
            ParseValue(s, f.moveInterval, a3);
            int32_t gravity = 0;
            ParseValue(s, gravity, a4);
            f.moveArg3 = Scaled(gravity, 16);
        }
    } else {
        const char* word = SkipBlanks(rest);
        if (IsLetter(*word) && !MatchKeyword(word, "Right") && !MatchKeyword(word, "Bottom") &&
            !MatchKeyword(word, "Center") && !MatchKeyword(word, "Bal") &&
            !(word[0] == 'a' && IsValueStart(word[1])))
            WarnOfWord(s, "Movement", rest, "a vector (dx, dy, interval)");
        f.movementType = MOVE_VECTOR;
        ParsePosition(s, f.moveDx, f.moveDy, &rest);
        ParseValue(s, f.moveInterval, rest);
    }
    return 1;
}

int ReadImage(ScriptContext& s, MediaBinder& media, CFeature& f, int32_t index, char* rest) {
    StripQuotes(rest);
    if (!media.BindImage(f, rest)) return 0;
    std::snprintf(s.sources[index].image, sizeof(s.sources[index].image), "%s", rest);
    return 1;
}

int ReadFade(ScriptContext& s, CFeature& f, const char* rest) {
    int32_t type;
    if (MatchKeyword(rest, "FadeInOut")) {
        type = FADE_IN_OUT;
    } else if (MatchKeyword(rest, "FadeIn")) {
        type = FADE_IN;
    } else if (MatchKeyword(rest, "FadeOut")) {
        type = FADE_OUT;
    } else {
        return s.ReportInvalidKeyword(rest);
    }
    const char* args = FirstArg(rest);
    if (!args) return s.ReportInvalidKeyword(rest);
    f.fadeType = type;
    ReadTwoValues(s, args, 0, f.fadeStep, f.fadeInterval);
    f.fadeLevel = -1;
    return 1;
}

int ReadLine(ScriptContext& s, MediaBinder& media, CFeature& f, int32_t index, char* keyword,
             char* rest, BlockState& block) {
    if (MatchKeyword(keyword, "Label")) {
        int32_t label = LabelIndex(s, rest);
        s.theme.labelTable[label].feature = index;
        s.sources[index].label = label;
        return 1;
    }
    if (MatchKeyword(keyword, "Enable")) return ReadEnable(s, f, rest);
    if (MatchKeyword(keyword, "Start")) return ReadStart(s, f, rest);
    if (MatchKeyword(keyword, "Position")) return ReadPositionLine(s, f, rest);
    if (MatchKeyword(keyword, "Duration")) return ReadDuration(s, f, rest);
    if (MatchKeyword(keyword, "Movement")) return ReadMovement(s, f, rest);
    if (MatchKeyword(keyword, "Image")) return ReadImage(s, media, f, index, rest);
    if (MatchKeyword(keyword, "Sound")) return ReadSoundArg(s, media, f.sound, keyword, rest);
    if (MatchKeyword(keyword, "BounceSound"))
        return ReadSoundArg(s, media, f.bounceSound, keyword, rest);
    if (MatchKeyword(keyword, "LoopSound")) {
        if (!f.sound) return 1;
        if (MatchKeyword(rest, "OnImageCycle")) {
            block.cycleSound = true;
        } else {
            f.sound->flags |= SOUND_LOOP;
        }
        return 1;
    }
    if (MatchKeyword(keyword, "AutoPan")) {
        f.flags |= FLAG_AUTO_PAN;
        return 1;
    }
    if (MatchKeyword(keyword, "Condition")) return ReadCondition(s, f, rest);
    if (MatchKeyword(keyword, "Fade")) return ReadFade(s, f, rest);
    if (MatchKeyword(keyword, "AbsolutePixels")) {
        f.flags |= FLAG_ABSOLUTE_PIXELS;
        return 1;
    }
    return s.ReportInvalidKeyword(keyword);
}

// Settles what depends on the block's final image, whatever the order of its
// lines: the frame look-ahead of "OnFrame" and the cycle of "LoopSound
// OnImageCycle" (without an image, the sound simply loops).
void FinishBlock(const ScriptContext& s, CFeature& f, const BlockState& block) {
    // The sound lead cannot reach before the section's start.
    if (f.sound && f.image && f.startType == START_FIXED && f.startTime >= 0 &&
        f.startTime < LOOK_AHEAD_MS)
        s.Warn("the Sound of a feature that starts at %d ms comes out up to %d ms after its "
               "picture: start it at %d ms or later to keep them together",
               f.startTime, LOOK_AHEAD_MS, LOOK_AHEAD_MS);
    if (f.conditionType == COND_ON_FRAME && f.image)
        f.conditionArg3 = f.image->FrameBefore(LOOK_AHEAD_MS, f.conditionArg1);
    if (block.cycleSound && f.sound) {
        if (f.image) {
            f.soundCycleFrame = f.image->FrameBefore(LOOK_AHEAD_MS, -1);
        } else {
            f.sound->flags |= SOUND_LOOP;
        }
    }
}

} // namespace

int ReadFeature(ScriptContext& s, MediaBinder& media, CFeature& feature, int32_t section,
                int32_t index) {
    feature.SetDefaults();
    feature.section = section;
    FeatureSource& source = s.sources[index];
    source.label = -1;
    source.image[0] = '\0';
    BlockState block;
    const int32_t inside = s.reader.braceDepth;
    char* line;
    while (s.reader.NextLine(&line) && line[0] != '}') {
        char* keyword;
        char* rest;
        WarnOfSkippedSign(s, line);
        SplitKeyword(line, &keyword, &rest);
        if (ReadLine(s, media, feature, index, keyword, rest, block)) continue;
        if (!s.keepGoing) return 0;
        // Read on from the next line of this block: past a condition's
        // command block the error was in, or to the end of the block when the
        // line read for a missing "{" closed it.
        if (s.reader.braceDepth < inside) break;
        while (s.reader.braceDepth > inside && s.reader.NextLine(&line)) {
        }
    }
    FinishBlock(s, feature, block);
    return 1;
}

void ReleaseFeatureParts(MediaBinder& media, CFeature& feature) {
    delete[] feature.pattern.steps;
    feature.pattern.steps = nullptr;
    feature.pattern.count = 0;
    media.ReleaseFeatureMedia(feature);
    feature.sound = nullptr;
    feature.bounceSound = nullptr;
    feature.image = nullptr;
}
