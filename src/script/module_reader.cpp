#include "script/module_reader.h"

#include "base/error_sink.h"
#include "script/block_args.h"
#include "script/feature_reader.h"
#include "script/media_binder.h"
#include "script/script_context.h"
#include "script/script_values.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

enum class Block { Skip, Background, Feature, Section, None };

bool MissingOpener(ScriptContext& s) {
    s.errors->ReportErrorF("Syntax Error: %s", "Missing '{'");
    return false;
}

// Reads the block opener that must follow a block keyword.
bool ExpectOpener(ScriptContext& s) {
    char* line;
    if (!s.reader.NextLine(&line) || line[0] != '{') return MissingOpener(s);
    return true;
}

// Passes over the rest of a block whose opener has been read, nested blocks
// included, up to and including its closer.
void SkipBlock(ScriptContext& s) {
    int depth = 1;
    char* line;
    while (depth > 0 && s.reader.NextLine(&line)) {
        if (line[0] == '{') {
            ++depth;
        } else if (line[0] == '}') {
            --depth;
        }
    }
}

// "Color r, g, b", optionally after a "{".
bool ReadColor(ScriptContext& s, MediaBinder& media, const char* rest) {
    const char* p = rest;
    if (*p == '{') ++p;
    int32_t rgb[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            p = NextArg(p);
            if (!p) return s.ReportInvalidKeyword(rest);
        }
        p = ParseInteger(rgb[i], p);
    }
    media.BindBackgroundColor(static_cast<uint32_t>(rgb[0] & 0xFF) |
                              static_cast<uint32_t>(rgb[1] & 0xFF) << 8 |
                              static_cast<uint32_t>(rgb[2] & 0xFF) << 16);
    return true;
}

// The lines of a background block, its opener already read.
bool ReadBackground(ScriptContext& s, MediaBinder& media) {
    char* line;
    while (s.reader.NextLine(&line) && line[0] != '}') {
        char* keyword;
        char* rest;
        SplitKeyword(line, &keyword, &rest);
        bool read;
        if (MatchKeyword(keyword, "Color")) {
            read = ReadColor(s, media, rest);
        } else if (MatchKeyword(keyword, "Image")) {
            StripQuotes(rest);
            read = media.BindBackgroundImage(rest) != 0;
        } else {
            read = s.ReportInvalidKeyword(keyword) != 0;
        }
        if (!read && !s.keepGoing) return false;
    }
    return true;
}

// Passes over lines until the brace depth is down to `depth`.
void SkipToDepth(ScriptContext& s, int32_t depth) {
    char* line;
    while (s.reader.braceDepth > depth && s.reader.NextLine(&line)) {
    }
}

// A warning on the line of the block keyword just read.
void WarnAtBlock(const ScriptContext& s, int32_t line, const char* text) {
    if (s.WantsWarnings()) s.errors->WarnAt(line, text);
}

// A feature block, its opener already read; `line` is the line of its keyword.
bool ReadFeatureBlock(ScriptContext& s, MediaBinder& media, int32_t section, int32_t line) {
    ThemeTables& theme = s.theme;
    if (theme.featureCount >= MAX_FEATURES) {
        // The table is full: the block is passed over whole.
        WarnAtBlock(s, line, "feature ignored: a module holds at most 100 features");
        SkipBlock(s);
        return true;
    }
    CFeature& feature = theme.featureTable[theme.featureCount];
    if (!ReadFeature(s, media, feature, section, theme.featureCount)) {
        ReleaseFeatureParts(media, feature);
        return false;
    }
    ++theme.featureCount;
    return true;
}

Block Classify(const ScriptContext& s, const char* line) {
    const bool preview = s.previewBlocks;
    const char* skipBackground = preview ? "Background" : "PreviewBackground";
    const char* skipFeature = preview ? "Feature" : "PreviewFeature";
    const char* background = preview ? "PreviewBackground" : "Background";
    const char* feature = preview ? "PreviewFeature" : "Feature";
    if (MatchKeyword(line, skipBackground) || MatchKeyword(line, skipFeature)) return Block::Skip;
    if (MatchKeyword(line, background)) return Block::Background;
    if (MatchKeyword(line, feature)) return Block::Feature;
    if (MatchKeyword(line, "Section")) return Block::Section;
    return Block::None;
}

// A label that only commands or positions name, which no feature carries and
// no group is called: it stands for the module's first feature.
void WarnOfUndefinedLabels(const ScriptContext& s) {
    if (!s.WantsWarnings()) return;
    const ThemeTables& theme = s.theme;
    for (int32_t label = 0; label < theme.labelCount && label < MAX_LABELS; ++label) {
        bool defined = false;
        for (int32_t i = 0; i < theme.featureCount && i < MAX_FEATURES && !defined; ++i) {
            const CFeature& f = theme.featureTable[i];
            defined = s.sources[i].label == label ||
                      (f.startType == START_GROUP && f.startGroup / 2 == label);
        }
        if (!defined)
            s.errors->WarnAt(s.labelLines[label],
                             (std::string("label \"") + theme.labelTable[label].name +
                              "\" is named but no feature carries it (\"Label\" line or "
                              "group): it stands for the module's first feature")
                                 .c_str());
    }
}

// A block of the module: its opener, then its lines. In keep-going mode a
// failed block is passed over to its end, and a block without an opener is
// taken to end at the next closer. `depth` is the module's nesting, lowered
// when the line read in place of the opener closes a section or the module.
bool ReadBlock(ScriptContext& s, MediaBinder& media, Block kind, int32_t section, int& depth) {
    const int32_t line = s.reader.lineNumber;
    const int32_t outer = s.reader.braceDepth;
    if (!ExpectOpener(s)) {
        if (!s.keepGoing) return false;
        if (s.reader.braceDepth < outer) {
            --depth;
        } else {
            WarnAtBlock(s, line,
                        "the block has no \"{\": it is taken to end at the next \"}\", and "
                        "errors after this one may follow from it");
            SkipToDepth(s, outer - 1);
        }
        return true;
    }
    bool read = true;
    switch (kind) {
    case Block::Skip: SkipBlock(s); break;
    case Block::Background: read = ReadBackground(s, media); break;
    default: read = ReadFeatureBlock(s, media, section, line); break;
    }
    if (!read && !s.keepGoing) return false;
    // A block whose lines opened a block of their own (a stray "{") ends at
    // the closer that matches its opener.
    if (s.keepGoing) SkipToDepth(s, outer);
    return true;
}

bool ReadBody(ScriptContext& s, MediaBinder& media) {
    int depth = 1;
    int32_t section = 0;
    char* line;
    while (depth > 0 && s.reader.NextLine(&line)) {
        if (line[0] == '}') {
            --depth;
            continue;
        }
        // After a guessed block end the next module's line may come into
        // view: the body has ended.
        if (s.keepGoing && (MatchKeyword(line, "Module") || MatchKeyword(line, "ScreenSaver")))
            return true;
        const Block kind = Classify(s, line);
        switch (kind) {
        case Block::Skip:
        case Block::Background:
        case Block::Feature:
            if (!ReadBlock(s, media, kind, section, depth)) return false;
            break;
        case Block::Section: {
            // A "Section" without its opener ends the module quietly.
            const int32_t sectionLine = s.reader.lineNumber;
            if (!s.reader.NextLine(&line) || line[0] != '{') {
                WarnAtBlock(s, sectionLine,
                            "\"Section\" without \"{\" on the next line: the rest of the "
                            "module is not read");
                return true;
            }
            if (s.theme.sectionCount >= MAX_SECTIONS) {
                WarnAtBlock(s, sectionLine, "section ignored: a module holds at most 10 sections");
                SkipBlock(s); // beyond the table: passed over whole
                break;
            }
            section = s.theme.sectionCount++;
            ++depth;
            break;
        }
        case Block::None:
            if (line[0] != '{')
                s.Warn("line ignored: \"%.*s\" is not a block of a module (Background, "
                       "Feature, Section...)",
                       static_cast<int>(std::strcspn(line, "\r\n") < 40 ? std::strcspn(line, "\r\n")
                                                                        : 40),
                       line);
            break;
        }
    }
    return true;
}

} // namespace

bool ReadModuleBody(ScriptContext& s, MediaBinder& media) {
    const bool read = ReadBody(s, media);
    if (read) WarnOfUndefinedLabels(s);
    return read;
}
