#include "script/feature_reader.h"

#include "display/ss_view.h"
#include "image/image.h"
#include "script/block_args.h"
#include "script/media_path.h"
#include "script/pattern_reader.h"
#include "script/script_reader.h"
#include "script/script_values.h"
#include "script/sound_reader.h"
#include "script/theme_records.h"
#include "script/trigger_reader.h"
#include "sound/sound.h"

#include <cstring>
#include <new>

namespace {

// The sound lead: how long before a frame or cycle end its sound is started.
constexpr int LOOK_AHEAD_MS = 250;

FeatureSource sources[MAX_FEATURES];

// State of one block that is settled only when the block ends.
struct BlockState {
    bool cycleSound = false; // "LoopSound OnImageCycle" was given
};

int32_t Scaled(int32_t v, int32_t factor) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) * static_cast<uint32_t>(factor));
}

// "value, value" after a sub-keyword of `length` characters.
void ReadTwoValues(const char* rest, size_t length, int32_t& first, int32_t& second) {
    const char* p = ParseValue(first, rest + length);
    if (p) ParseValue(second, p);
}

// A turn in tenths of a degree: the integer times 10 plus the digit after a
// ".", with the sign of the whole number ("-1.5" is -15).
int32_t ReadTenths(const char* text) {
    int32_t whole = 0;
    const char* end = ParseValue(whole, text);
    int64_t tenths = int64_t{whole} * 10;
    if (end && end[0] == '.' && end[1] >= '0' && end[1] <= '9') {
        const char* start = text;
        while (*start == ' ' || *start == '\t') ++start;
        int digit = end[1] - '0';
        tenths += whole < 0 || *start == '-' ? -digit : digit;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(tenths)));
}

int ReadEnable(CFeature& f, const char* rest) {
    if (MatchKeyword(rest, "AfterTime")) {
        f.enabled = 0;
        f.enableMode = ENABLE_AFTER_TIME;
        ParseValue(f.enableAfter, rest + 9);
    } else if (MatchKeyword(rest, "Off")) {
        f.enableMode = ENABLE_BY_COMMAND;
        f.enabled = 0;
    } else if (MatchKeyword(rest, "OnSetup")) {
        if (!FirstArg(rest + 7)) return ReportInvalidKeyword(rest);
        f.enableMode = ENABLE_BY_COMMAND;
        f.enabled = EvaluateSetupTest(rest + 7);
    } else {
        return ReportInvalidKeyword(rest);
    }
    return 1;
}

int ReadStart(CFeature& f, const char* rest) {
    f.startType = START_FIXED;
    if (MatchKeyword(rest, "Random")) {
        f.startType = START_RANDOM;
        ReadTwoValues(rest, 6, f.startArg1, f.startArg2);
        f.startTime = 0;
    } else if (MatchKeyword(rest, "OnTrigger")) {
        f.startType = START_ON_TRIGGER;
    } else if (MatchKeyword(rest, "Group")) {
        const char* label = FirstArg(rest);
        const char* second = NextArg(label);
        const char* third = NextArg(second);
        if (!third) return ReportInvalidKeyword(rest);
        f.startType = START_GROUP;
        f.startGroup = 2 * LabelIndex(label);
        if (MatchKeyword(second, "Random")) {
            ParseValue(f.startArg1, second + 6);
            f.startGroup += 1;
        }
        ParseValue(f.startArg2, third);
        f.startTime = 0;
    } else if (MatchKeyword(rest, "Offset")) {
        f.startType = START_OFFSET;
        ReadTwoValues(rest, 6, f.startArg1, f.startArg2);
        f.startTime = f.startArg1;
    } else {
        ParseInteger(f.startTime, rest);
    }
    return 1;
}

int ReadPositionLine(CFeature& f, const char* rest) {
    f.positionMode = 0;
    if (MatchKeyword(rest, "Offset")) {
        const char* label = FirstArg(rest);
        const char* pair = NextArg(label);
        if (!pair) return ReportInvalidKeyword(rest);
        f.positionMode = 1;
        f.positionLabel = LabelIndex(label);
        ParsePosition(f.positionX, f.positionY, &pair);
    } else if (MatchKeyword(rest, "Random")) {
        f.positionX = 1;
        f.positionY = 1;
    } else {
        ParsePosition(f.positionX, f.positionY, &rest);
    }
    return 1;
}

int ReadDuration(CFeature& f, const char* rest) {
    f.durationType = DURATION_FIXED;
    if (MatchKeyword(rest, "OnScreen")) {
        f.durationType = DURATION_ON_SCREEN;
    } else if (MatchKeyword(rest, "Random")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return ReportInvalidKeyword(rest);
        f.durationType = DURATION_RANDOM;
        ParseInteger(f.durationArg1, a1);
        ParseInteger(f.durationArg2, a2);
    } else if (MatchKeyword(rest, "Offset")) {
        f.durationType = DURATION_OFFSET;
        ReadTwoValues(rest, 6, f.durationArg1, f.durationArg2);
        f.currentDuration = f.durationArg1;
    } else {
        ParseInteger(f.currentDuration, rest);
    }
    return 1;
}

int ReadMovement(CFeature& f, const char* rest) {
    if (MatchKeyword(rest, "Random")) {
        f.movementType = MOVE_RANDOM;
    } else if (MatchKeyword(rest, "Static")) {
        f.movementType = MOVE_STATIC;
    } else if (MatchKeyword(rest, "Bounce")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return ReportInvalidKeyword(rest);
        f.movementType = MOVE_BOUNCE;
        ParseInteger(f.moveArg1, a1);
        ParseInteger(f.moveInterval, a2);
    } else if (MatchKeyword(rest, "Pattern")) {
        const char* text = rest + 7;
        if (*text) ++text; // normally "("
        f.movementType = MOVE_PATTERN;
        if (!ReadPattern(f.pattern, text, f.moveInterval)) return 0;
        // The engine needs a step to walk; a pattern without any stands still.
        if (f.pattern.count == 0) f.movementType = MOVE_STATIC;
    } else if (MatchKeyword(rest, "OnImageCycle")) {
        const char* a1 = FirstArg(rest);
        const char* a2 = NextArg(a1);
        if (!a2) return ReportInvalidKeyword(rest);
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
        if (!a4) return ReportInvalidKeyword(rest);
        if (arc) {
            f.movementType = MOVE_ARC;
            ParseValue(f.moveArg2, a1);
            ParseValue(f.moveArg1, a2);
            ParseValue(f.moveInterval, a3);
            f.moveArg3 = ReadTenths(a4);
        } else {
            f.movementType = MOVE_PROJECTILE;
            ParseValue(f.moveArg1, a1);
            ParseValue(f.moveArg2, a2);
            ParseValue(f.moveInterval, a3);
            int32_t gravity = 0;
            ParseValue(gravity, a4);
            f.moveArg3 = Scaled(gravity, 16);
        }
    } else {
        f.movementType = MOVE_VECTOR;
        ParsePosition(f.moveDx, f.moveDy, &rest);
        ParseValue(f.moveInterval, rest);
    }
    return 1;
}

int ReadImage(CFeature& f, int32_t index, char* rest) {
    CImage* image = new (std::nothrow) CImage;
    if (!image) {
        ReportErrorF("Out of memory: %s", "CFeature::Read() Image");
        return 0;
    }
    StripQuotes(rest);
    if (!image->LoadImage(MediaFile(ResolveMediaPath(rest)))) {
        DiscardImage(image);
        return 0;
    }
    // An earlier image of this block stays with the image cache or goes.
    DiscardImage(f.image);
    f.image = image;
    std::snprintf(sources[index].image, sizeof(sources[index].image), "%s", rest);
    // With every slot taken the feature plays without being drawn; it keeps a
    // slot an earlier image of the block gave it.
    int slot = view.AllocSlot();
    if (slot >= 0 || f.displaySlot < 0) f.displaySlot = slot;
    return 1;
}

int ReadFade(CFeature& f, const char* rest) {
    int32_t type;
    if (MatchKeyword(rest, "FadeInOut")) {
        type = FADE_IN_OUT;
    } else if (MatchKeyword(rest, "FadeIn")) {
        type = FADE_IN;
    } else if (MatchKeyword(rest, "FadeOut")) {
        type = FADE_OUT;
    } else {
        return ReportInvalidKeyword(rest);
    }
    const char* args = FirstArg(rest);
    if (!args) return ReportInvalidKeyword(rest);
    f.fadeType = type;
    ReadTwoValues(args, 0, f.fadeStep, f.fadeInterval);
    f.fadeLevel = -1;
    return 1;
}

int ReadLine(CFeature& f, int32_t index, char* keyword, char* rest, BlockState& block) {
    if (MatchKeyword(keyword, "Label")) {
        int32_t label = LabelIndex(rest);
        labelTable[label].feature = index;
        sources[index].label = label;
        return 1;
    }
    if (MatchKeyword(keyword, "Enable")) return ReadEnable(f, rest);
    if (MatchKeyword(keyword, "Start")) return ReadStart(f, rest);
    if (MatchKeyword(keyword, "Position")) return ReadPositionLine(f, rest);
    if (MatchKeyword(keyword, "Duration")) return ReadDuration(f, rest);
    if (MatchKeyword(keyword, "Movement")) return ReadMovement(f, rest);
    if (MatchKeyword(keyword, "Image")) return ReadImage(f, index, rest);
    if (MatchKeyword(keyword, "Sound")) return ReadSoundArg(f.sound, keyword, rest);
    if (MatchKeyword(keyword, "BounceSound")) return ReadSoundArg(f.bounceSound, keyword, rest);
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
    if (MatchKeyword(keyword, "Condition")) return ReadCondition(f, rest);
    if (MatchKeyword(keyword, "Fade")) return ReadFade(f, rest);
    if (MatchKeyword(keyword, "AbsolutePixels")) {
        f.flags |= FLAG_ABSOLUTE_PIXELS;
        return 1;
    }
    return ReportInvalidKeyword(keyword);
}

// Settles what depends on the block's final image, whatever the order of its
// lines: the frame look-ahead of "OnFrame" and the cycle of "LoopSound
// OnImageCycle" (without an image, the sound simply loops).
void FinishBlock(CFeature& f, const BlockState& block) {
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

int ReadFeature(CFeature& feature, int32_t section, int32_t index) {
    feature.SetDefaults();
    feature.section = section;
    FeatureSource& source = sources[index];
    source.label = -1;
    source.image[0] = '\0';
    BlockState block;
    char* line;
    while (NextLine(&line) && line[0] != '}') {
        char* keyword;
        char* rest;
        SplitKeyword(line, &keyword, &rest);
        if (!ReadLine(feature, index, keyword, rest, block)) return 0;
    }
    FinishBlock(feature, block);
    return 1;
}

void ReleaseFeatureParts(CFeature& feature) {
    delete[] feature.pattern.steps;
    feature.pattern.steps = nullptr;
    feature.pattern.count = 0;
    delete feature.sound;
    feature.sound = nullptr;
    delete feature.bounceSound;
    feature.bounceSound = nullptr;
    DiscardImage(feature.image);
    feature.image = nullptr;
}

void DiscardImage(CImage* image) {
    if (!image) return;
    // A first record that the cache holds (it has a file name and owns its
    // pixels) may be copied again later: it stays.
    if (image->fileName && !(image->flags & IMAGE_SHARED)) return;
    image->Release();
    delete image;
}

const FeatureSource& FeatureSourceOf(int32_t index) {
    static const FeatureSource none = {-1, ""};
    return index >= 0 && index < MAX_FEATURES ? sources[index] : none;
}
