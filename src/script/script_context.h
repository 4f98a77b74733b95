// Everything the script readers work with: the line source, the theme's
// tables they fill, what the script wrote for each feature, and the few
// options that change how a script reads. The readers know nothing of the
// view, the media loaders or the settings: media lines go to a MediaBinder.
#pragma once

#include "script/script_reader.h"
#include "script/theme_records.h"

#include <cstdint>

struct ErrorSink;

// What the script wrote for a loaded feature, kept for theme tools: the label
// its "Label" line gave it (-1: none) and the name on its last "Image" line.
struct FeatureSource {
    int32_t label;
    char image[128];
};

struct ScriptContext {
    ErrorSink* errors = nullptr;
    // Reports errors and warnings to `sink`, each error on the line being read.
    void ReportTo(ErrorSink& sink);

    ScriptReader reader;
    ThemeTables theme;
    FeatureSource sources[MAX_FEATURES] = {};
    // Setup blocks of modules beyond the table's capacity are read here and
    // then dropped, so that a long script cannot write past the table.
    ThemeModule overflowModule = {};

    // Read on after an error, from the next line or the end of the block it
    // was in, so that one pass reports every error (the theme tools); the
    // saver stops at the first. A module without errors reads the same
    // either way.
    bool keepGoing = false;

    // Read the preview blocks ("PreviewBackground", "PreviewFeature") in place
    // of the full-screen ones.
    bool previewBlocks = false;
    // Window pixels per design pixel times 256, horizontally and vertically:
    // the scale of the "a" pixel prefix of coordinates. 0 when there is no
    // view; a pixel then counts as a design unit.
    int32_t pixelScaleX = 0;
    int32_t pixelScaleY = 0;

    // The line where each label of the module was first named.
    int32_t labelLines[MAX_LABELS] = {};

    // Reports "Invalid Keyword: %s" with `text` up to its line end; returns 0.
    int ReportInvalidKeyword(const char* text);
    // A warning on the line being read (see ErrorSink::WarnF); nothing is
    // formatted when no one listens.
    void Warn(const char* format, ...) const
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    bool WantsWarnings() const;
    // The source record of feature `index` (an empty one out of range).
    const FeatureSource& FeatureSourceOf(int32_t index) const;
    // Back to program start: the script closed, every table empty.
    void Reset();
};
