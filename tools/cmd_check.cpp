// "check": loads every module of a theme as the saver would, with its images,
// sounds and palette, and reports each error as FILE:LINE: message.
#include "app/app_state.h"
#include "display/ss_view.h"
#include "media_notes.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_settings.h"
#include "script/feature_reader.h"
#include "script/media_path.h"
#include "script/module_loader.h"
#include "script/script_reader.h"
#include "script/setup_scan.h"
#include "script/theme_records.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char CHECK_SAVER[] = "glimmora-check";

struct Problem {
    int line;
    std::string message;
    std::string note; // what a refused media file is and how to convert it
};

// Names of media files found only by ignoring letter case or by reading a
// backslash as a folder separator: the theme plays, but its author should
// write the name as it is.
std::vector<Problem> warnings;

std::string MediaName(const char* path) {
    const size_t n = std::strlen(mediaDirectory);
    if (n && std::strncmp(path, mediaDirectory, n) == 0 && (path[n] == '/' || path[n] == '\\'))
        return path + n + 1;
    return path;
}

bool IsPalette(const std::string& name) {
    return name.size() >= 4 && (name.compare(name.size() - 4, 4, ".PAL") == 0 ||
                                name.compare(name.size() - 4, 4, ".pal") == 0);
}

void NoteMediaPath(const char* asked, const char* found, unsigned fixes) {
    const std::string name = MediaName(asked), real = MediaName(found);
    std::string how;
    if (fixes & MEDIA_PATH_BACKSLASH) how = "a backslash read as a folder separator";
    if (fixes & MEDIA_PATH_CASE)
        how += std::string(how.empty() ? "" : " and ") + "letter case ignored";
    // The palette is looked for after the module's last line.
    warnings.push_back({IsPalette(name) ? 0 : lineNumber,
                        "warning: \"" + name + "\" was found as \"" + real + "\" (" + how +
                            "); write \"" + real + "\" in the script",
                        ""});
}

// Animations made for viewers, whose frames hold only what changed: the
// saver would show fragments. Each file is named once.
std::set<std::string> describedGifs;

void NoteOptimisedGifs() {
    for (int32_t i = 0; i < featureCount; ++i) {
        if (!featureTable[i].image) continue;
        const std::string path = FindMediaFile(ResolveMediaPath(FeatureSourceOf(i).image));
        if (!describedGifs.insert(path).second) continue;
        const std::string note = GifDisplayNote(path);
        if (!note.empty()) warnings.push_back({0, "warning: " + note, ""});
    }
}

void PrintProblem(const char* script, const Problem& p) {
    if (p.line > 0) {
        std::fprintf(stderr, "%s:%d: %s\n", script, p.line, p.message.c_str());
        if (!p.note.empty()) std::fprintf(stderr, "%s:%d: %s\n", script, p.line, p.note.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", script, p.message.c_str());
    }
}

std::string ProblemsJson(const std::vector<Problem>& problems) {
    std::string out;
    for (size_t i = 0; i < problems.size(); ++i) {
        out += (i ? "," : "") + std::string("{\"line\":") + std::to_string(problems[i].line) +
               ",\"message\":" + JsonString(problems[i].message.c_str());
        if (!problems[i].note.empty()) out += ",\"note\":" + JsonString(problems[i].note.c_str());
        out += "}";
    }
    return out;
}

const char* const START_KINDS[] = {"time", "random", "group", "offset", "trigger"};
const char* const DURATION_KINDS[] = {"fixed", "random", "onscreen", "offset"};
const char* const MOVEMENT_KINDS[] = {"vector",  "random",     "static", "bounce",
                                      "pattern", "imagecycle", "arc",    "projectile"};

template <size_t N> const char* KindName(const char* const (&names)[N], int32_t kind) {
    return kind >= 0 && static_cast<size_t>(kind) < N ? names[kind] : "unknown";
}

// The problems of the last load: its messages, or a note when loading
// stopped without one.
std::vector<Problem> TakeProblems(const char* script) {
    std::vector<Problem> problems;
    for (const HeadlessMessage& m : HeadlessMessages())
        problems.push_back({errorLine, m.text, MediaRefusalNote(m.text)});
    HeadlessClearMessages();
    if (problems.empty() && loadStopLine > 0)
        problems.push_back({loadStopLine,
                            "Sound line not loaded: it takes one, two or five "
                            "values after the file name",
                            ""});
    for (const Problem& p : problems) PrintProblem(script, p);
    for (const Problem& w : warnings) PrintProblem(script, w);
    return problems;
}

std::string ModuleJson(const std::vector<Problem>& problems) {
    std::string out = "{\"name\":" + JsonString(moduleTable[activeModule].name) +
                      ",\"sections\":" + std::to_string(sectionCount) + ",\"features\":[";
    for (int32_t i = 0; i < featureCount; ++i) {
        const CFeature& f = featureTable[i];
        const FeatureSource& source = FeatureSourceOf(i);
        out += i ? "," : "";
        out += "{\"index\":" + std::to_string(i) + ",\"section\":" + std::to_string(f.section);
        out += ",\"label\":";
        out += source.label >= 0 ? JsonString(labelTable[source.label].name) : "null";
        out += ",\"image\":";
        out += f.image ? JsonString(source.image) : "null";
        out += ",\"start\":\"" + std::string(KindName(START_KINDS, f.startType)) + "\"";
        out += ",\"duration\":\"" + std::string(KindName(DURATION_KINDS, f.durationType)) + "\"";
        out += ",\"movement\":\"" + std::string(KindName(MOVEMENT_KINDS, f.movementType)) + "\"}";
    }
    out += "],\"labels\":[";
    for (int32_t i = 0; i < labelCount; ++i) out += (i ? "," : "") + JsonString(labelTable[i].name);
    out += "],\"errors\":[" + ProblemsJson(problems) + "],\"warnings\":[" + ProblemsJson(warnings);
    warnings.clear();
    return out + "]}";
}

// Everything one module load leaves behind, so the next starts afresh.
void ForgetModule() {
    ResetModuleContent();
    view.Reset();
    ResetModuleLoader();
    CloseScript();
    skipDepth = 0;
    errorLine = 0;
}

void SetMediaDirectory(const char* script) {
    const char* slash = std::strrchr(script, '/');
#ifdef _WIN32
    const char* backslash = std::strrchr(script, '\\');
    if (!slash || (backslash && backslash > slash)) slash = backslash;
#endif
    size_t length = slash ? static_cast<size_t>(slash - script) : 0;
    std::snprintf(mediaDirectory, sizeof(mediaDirectory), "%.*s", static_cast<int>(length), script);
}

} // namespace

int CmdCheck(int argc, char** argv) {
    bool json = false;
    bool preview = false;
    const char* script = nullptr;
    bool usage = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--preview") == 0) {
            preview = true;
        } else if (!script) {
            script = argv[i];
        } else {
            usage = true;
        }
    }
    if (usage || !script || std::strlen(script) > PATH_LEN) {
        std::fprintf(stderr, "usage: glimmora-tool check [--preview] [--json] SCRIPT\n");
        return 2;
    }

    ResetAppState();
    std::snprintf(appTitle, sizeof(appTitle), "%s", "Glimmora");
    std::snprintf(saverName, sizeof(saverName), "%s", CHECK_SAVER);
    std::snprintf(scriptPath, sizeof(scriptPath), "%s", script);
    SetMediaDirectory(script);
    previewMode = preview;
    view.SetSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    HeadlessClearMessages();
    HeadlessSettingsClear();
    warnings.clear();
    describedGifs.clear();
    SetMediaPathNotice(NoteMediaPath);

    if (!ScanThemeSetup()) {
        if (errorLine == 0) {
            std::fprintf(stderr, "%s: cannot open the script\n", script);
            return 1;
        }
        int line = errorLine;
        std::vector<Problem> problems = TakeProblems(script);
        if (json) std::printf("{\"theme\":%s,\"modules\":[]}\n", JsonString(themeName).c_str());
        return line;
    }

    int firstError = 0;
    int32_t modules = moduleCount;
    std::string out = "{\"theme\":" + JsonString(themeName) + ",\"modules\":[";
    for (int32_t m = 0; m < modules; ++m) {
        ForgetModule();
        HeadlessSettingsSet(CHECK_SAVER, "Config", "ActiveModule", m);
        LoadModule();
        NoteOptimisedGifs();
        std::vector<Problem> problems = TakeProblems(script);
        if (firstError == 0 && !problems.empty())
            firstError = problems.front().line > 0 ? problems.front().line : 1;
        out += (m ? "," : "") + ModuleJson(problems);
        if (!json) {
            std::printf("module %d: %s: %d sections, %d features, %d labels%s\n", m,
                        moduleTable[m].name, sectionCount, featureCount, labelCount,
                        problems.empty() ? "" : " (not loaded completely)");
        }
    }
    ForgetModule();
    if (json) std::printf("%s]}\n", out.c_str());
    return firstError;
}
