#include "script/module_loader.h"

#include "app/app_state.h"
#include "app/settings_store.h"
#include "display/ss_view.h"
#include "image/gamma.h"
#include "image/image.h"
#include "platform/dialogs.h"
#include "platform/sys.h"
#include "script/block_args.h"
#include "script/feature_reader.h"
#include "script/media_path.h"
#include "script/script_reader.h"
#include "script/script_values.h"
#include "script/setup_scan.h"
#include "script/theme_records.h"

#include <cstdio>
#include <new>

int32_t loadStopLine;
CImage* moduleBackground;

namespace {

enum class Block { Skip, Background, Feature, Section, None };

bool FileExists(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool MissingOpener() {
    ReportErrorF("Syntax Error: %s", "Missing '{'");
    return false;
}

// Reads the block opener that must follow a block keyword.
bool ExpectOpener() {
    char* line;
    if (!NextLine(&line) || line[0] != '{') return MissingOpener();
    return true;
}

// Passes over the rest of a block whose opener has been read, nested blocks
// included, up to and including its closer.
void SkipBlock() {
    int depth = 1;
    char* line;
    while (depth > 0 && NextLine(&line)) {
        if (line[0] == '{') {
            ++depth;
        } else if (line[0] == '}') {
            --depth;
        }
    }
}

// "Color r, g, b", optionally after a "{".
bool ReadColor(const char* rest) {
    const char* p = rest;
    if (*p == '{') ++p;
    int32_t rgb[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            p = NextArg(p);
            if (!p) return ReportInvalidKeyword(rest);
        }
        p = ParseInteger(rgb[i], p);
    }
    view.SetBackgroundColor(static_cast<uint32_t>(rgb[0] & 0xFF) |
                            static_cast<uint32_t>(rgb[1] & 0xFF) << 8 |
                            static_cast<uint32_t>(rgb[2] & 0xFF) << 16);
    return true;
}

// "Image" in a background block. The name is used as written; when no such
// file exists there (a saver runs in a folder of the system's choosing), it is
// looked up in the theme's media directory, in any letter case.
bool ReadBackgroundImage(char* rest) {
    StripQuotes(rest);
    const char* path = rest;
    if (!FileExists(rest)) {
        const char* inMedia = MediaFile(ResolveMediaPath(rest));
        if (FileExists(inMedia)) path = inMedia;
    }
    CImage* image = new (std::nothrow) CImage;
    if (!image) {
        ReportErrorF("Out of memory: %s", "CImage::LoadImage()");
        return false;
    }
    if (!image->LoadImage(path)) {
        DiscardImage(image);
        return false;
    }
    DiscardImage(moduleBackground);
    moduleBackground = image;
    view.SetBackgroundImage(image);
    return true;
}

bool ReadBackground() {
    if (!ExpectOpener()) return false;
    char* line;
    while (NextLine(&line) && line[0] != '}') {
        char* keyword;
        char* rest;
        SplitKeyword(line, &keyword, &rest);
        if (MatchKeyword(keyword, "Color")) {
            if (!ReadColor(rest)) return false;
        } else if (MatchKeyword(keyword, "Image")) {
            if (!ReadBackgroundImage(rest)) return false;
        } else {
            return ReportInvalidKeyword(keyword);
        }
    }
    return true;
}

bool ReadFeatureBlock(int32_t section) {
    if (!ExpectOpener()) return false;
    if (featureCount >= MAX_FEATURES) {
        // The table is full: the block is passed over whole.
        SkipBlock();
        return true;
    }
    CFeature& feature = featureTable[featureCount];
    if (!ReadFeature(feature, section, featureCount)) {
        ReleaseFeatureParts(feature);
        return false;
    }
    ++featureCount;
    return true;
}

Block Classify(const char* line) {
    const char* skipBackground = previewMode ? "Background" : "PreviewBackground";
    const char* skipFeature = previewMode ? "Feature" : "PreviewFeature";
    const char* background = previewMode ? "PreviewBackground" : "Background";
    const char* feature = previewMode ? "PreviewFeature" : "Feature";
    if (MatchKeyword(line, skipBackground) || MatchKeyword(line, skipFeature)) return Block::Skip;
    if (MatchKeyword(line, background)) return Block::Background;
    if (MatchKeyword(line, feature)) return Block::Feature;
    if (MatchKeyword(line, "Section")) return Block::Section;
    return Block::None;
}

// Reads the module body from the current script position. Returns false when
// loading stops (the script stays open, the palette is not loaded).
bool ReadBody() {
    int depth = 1;
    int32_t section = 0;
    char* line;
    while (depth > 0 && NextLine(&line)) {
        if (line[0] == '}') {
            --depth;
            continue;
        }
        switch (Classify(line)) {
        case Block::Skip:
            if (!ExpectOpener()) return false;
            SkipBlock();
            break;
        case Block::Background:
            if (!ReadBackground()) return false;
            break;
        case Block::Feature:
            if (!ReadFeatureBlock(section)) return false;
            break;
        case Block::Section: {
            // A "Section" without its opener ends the module quietly.
            if (!NextLine(&line) || line[0] != '{') return true;
            if (sectionCount >= MAX_SECTIONS) {
                SkipBlock(); // beyond the table: passed over whole
                break;
            }
            section = sectionCount++;
            ++depth;
            break;
        }
        case Block::None: break;
        }
    }
    return true;
}

void LoadActiveModule() {
    if (!ScanThemeSetup()) {
        loadStopLine = lineNumber;
        return;
    }
    ReadSettings();
    gammaSetting = Gamma; // the images of this load take the user's brightness
    if (!OpenScript()) {
        char message[PATH_LEN + 32];
        std::snprintf(message, sizeof(message), "Can't find %s", scriptPath);
        SysMessageBox(appTitle, message);
        loadStopLine = -1;
        return;
    }
    // A script without modules has no body to read.
    if (moduleCount > 0) {
        currentModule = &moduleTable[activeModule];
        ScriptSeek(currentModule->bodyOffset);
        lineNumber = currentModule->bodyLine;
        if (!ReadBody()) {
            loadStopLine = lineNumber;
            CloseScript();
            return;
        }
    }
    CloseScript();
    char paletteName[16];
    std::snprintf(paletteName, sizeof(paletteName), "256COL%02d.PAL",
                  static_cast<int>(activeModule % 100));
    view.LoadPalette(MediaFile(ResolveMediaPath(paletteName)));
}

} // namespace

void LoadModule() {
    loadStopLine = 0;
    bool splash = !previewMode;
    if (splash) DlgShowSplash();
    LoadActiveModule();
    if (splash) DlgHideSplash();
}

void ResetModuleLoader() {
    DiscardImage(moduleBackground);
    moduleBackground = nullptr;
    loadStopLine = 0;
}
