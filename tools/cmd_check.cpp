// "check": loads every module of a theme as the saver would, with its images,
// sounds and palette, and reports each error as FILE:LINE: message.
#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "base/media_path.h"
#include "media_notes.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_settings.h"
#include "script/setup_scan.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <cstdio>
#include <cstring>
#include <memory>
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

// What check notices besides the loader's errors.
struct CheckNotes {
    const GlimmoraContext* ctx = nullptr;
    // Names of media files found only by ignoring letter case or by reading
    // a backslash as a folder separator: the theme plays, but its author
    // should write the name as it is.
    std::vector<Problem> warnings;
    // Animations whose frames hold only what changed; each file is named once.
    std::set<std::string> describedGifs;
};

std::string MediaName(const GlimmoraContext& ctx, const char* path) {
    const char* mediaDirectory = ctx.run.mediaDirectory;
    const size_t n = std::strlen(mediaDirectory);
    if (n && std::strncmp(path, mediaDirectory, n) == 0 && (path[n] == '/' || path[n] == '\\'))
        return path + n + 1;
    return path;
}

bool IsPalette(const std::string& name) {
    return name.size() >= 4 && (name.compare(name.size() - 4, 4, ".PAL") == 0 ||
                                name.compare(name.size() - 4, 4, ".pal") == 0);
}

void NoteMediaPath(void* user, const char* asked, const char* found, unsigned fixes) {
    CheckNotes& notes = *static_cast<CheckNotes*>(user);
    const std::string name = MediaName(*notes.ctx, asked), real = MediaName(*notes.ctx, found);
    std::string how;
    if (fixes & MEDIA_PATH_BACKSLASH) how = "a backslash read as a folder separator";
    if (fixes & MEDIA_PATH_CASE)
        how += std::string(how.empty() ? "" : " and ") + "letter case ignored";
    // The palette is looked for after the module's last line.
    std::string text = "warning: \"" + name;
    text += "\" was found as \"" + real + "\" (" + how + "); write \"" + real + "\" in the script";
    notes.warnings.push_back({IsPalette(name) ? 0 : notes.ctx->script.reader.lineNumber, text, ""});
}

// Animations made for viewers, whose frames hold only what changed: the
// saver would show fragments.
void NoteOptimisedGifs(CheckNotes& notes) {
    const GlimmoraContext& ctx = *notes.ctx;
    const ThemeTables& theme = ctx.script.theme;
    for (int32_t i = 0; i < theme.featureCount; ++i) {
        if (!theme.featureTable[i].image) continue;
        char path[2 * PATH_LEN + 2];
        MediaPath(ctx, ctx.script.FeatureSourceOf(i).image, path, sizeof(path));
        const std::string found = FindMediaFile(path);
        if (!notes.describedGifs.insert(found).second) continue;
        const std::string note = GifDisplayNote(found);
        if (!note.empty()) notes.warnings.push_back({0, "warning: " + note, ""});
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
        // Appended piece by piece: a const char* + std::string&& chain makes
        // GCC 12 at -O3 warn of overlapping copies (-Wrestrict).
        out += i ? "," : "";
        out += "{\"line\":" + std::to_string(problems[i].line);
        out += ",\"message\":" + JsonString(problems[i].message.c_str());
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
std::vector<Problem> TakeProblems(const GlimmoraContext& ctx, const CheckNotes& notes,
                                  const char* script) {
    std::vector<Problem> problems;
    for (const HeadlessMessage& m : HeadlessMessages())
        problems.push_back({ctx.errors.errorLine, m.text, MediaRefusalNote(m.text)});
    HeadlessClearMessages();
    const int32_t loadStopLine = ctx.load.loadStopLine;
    if (problems.empty() && loadStopLine > 0)
        problems.push_back({loadStopLine,
                            "Sound line not loaded: it takes one, two or five "
                            "values after the file name",
                            ""});
    for (const Problem& p : problems) PrintProblem(script, p);
    for (const Problem& w : notes.warnings) PrintProblem(script, w);
    return problems;
}

std::string ModuleJson(const GlimmoraContext& ctx, CheckNotes& notes,
                       const std::vector<Problem>& problems) {
    const ThemeTables& theme = ctx.script.theme;
    std::string out = "{\"name\":" + JsonString(theme.moduleTable[ctx.settings.activeModule].name) +
                      ",\"sections\":" + std::to_string(theme.sectionCount) + ",\"features\":[";
    for (int32_t i = 0; i < theme.featureCount; ++i) {
        const CFeature& f = theme.featureTable[i];
        const FeatureSource& source = ctx.script.FeatureSourceOf(i);
        out += i ? "," : "";
        out += "{\"index\":" + std::to_string(i) + ",\"section\":" + std::to_string(f.section);
        out += ",\"label\":";
        out += source.label >= 0 ? JsonString(theme.labelTable[source.label].name) : "null";
        out += ",\"image\":";
        out += f.image ? JsonString(source.image) : "null";
        out += ",\"start\":\"" + std::string(KindName(START_KINDS, f.startType)) + "\"";
        out += ",\"duration\":\"" + std::string(KindName(DURATION_KINDS, f.durationType)) + "\"";
        out += ",\"movement\":\"" + std::string(KindName(MOVEMENT_KINDS, f.movementType)) + "\"}";
    }
    out += "],\"labels\":[";
    for (int32_t i = 0; i < theme.labelCount; ++i) {
        out += i ? "," : "";
        out += JsonString(theme.labelTable[i].name);
    }
    out += "],\"errors\":[" + ProblemsJson(problems) + "],\"warnings\":[" +
           ProblemsJson(notes.warnings);
    notes.warnings.clear();
    return out + "]}";
}

// Everything one module load leaves behind, so the next starts afresh.
void ForgetModule(GlimmoraContext& ctx) {
    ctx.view.Reset();
    ctx.ResetModule();
    ctx.script.reader.CloseScript();
    ctx.script.reader.skipDepth = 0;
    ctx.errors.errorLine = 0;
}

void SetMediaDirectory(char* mediaDirectory, size_t size, const char* script) {
    const char* slash = std::strrchr(script, '/');
#ifdef _WIN32
    const char* backslash = std::strrchr(script, '\\');
    if (!slash || (backslash && backslash > slash)) slash = backslash;
#endif
    size_t length = slash ? static_cast<size_t>(slash - script) : 0;
    std::snprintf(mediaDirectory, size, "%.*s", static_cast<int>(length), script);
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

    auto context = std::make_unique<GlimmoraContext>();
    GlimmoraContext& ctx = *context;
    RunConfig& run = ctx.run;
    std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", "Glimmora");
    std::snprintf(run.saverName, sizeof(run.saverName), "%s", CHECK_SAVER);
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", script);
    SetMediaDirectory(run.mediaDirectory, sizeof(run.mediaDirectory), script);
    run.previewMode = preview;
    ctx.view.SetSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    HeadlessClearMessages();
    HeadlessSettingsClear();
    const ThemeTables& theme = ctx.script.theme;
    const int32_t& errorLine = ctx.errors.errorLine;
    CheckNotes notes;
    notes.ctx = &ctx;
    ctx.mediaNotice = {NoteMediaPath, &notes};

    if (!ScanThemeSetup(ctx.script, run.scriptPath)) {
        if (errorLine == 0) {
            std::fprintf(stderr, "%s: cannot open the script\n", script);
            return 1;
        }
        int line = errorLine;
        std::vector<Problem> problems = TakeProblems(ctx, notes, script);
        if (json)
            std::printf("{\"theme\":%s,\"modules\":[]}\n", JsonString(theme.themeName).c_str());
        return line;
    }

    int firstError = 0;
    int32_t modules = theme.moduleCount;
    std::string out = "{\"theme\":" + JsonString(theme.themeName) + ",\"modules\":[";
    for (int32_t m = 0; m < modules; ++m) {
        ForgetModule(ctx);
        HeadlessSettingsSet(CHECK_SAVER, "Config", "ActiveModule", m);
        LoadModule(ctx);
        NoteOptimisedGifs(notes);
        std::vector<Problem> problems = TakeProblems(ctx, notes, script);
        if (firstError == 0 && !problems.empty())
            firstError = problems.front().line > 0 ? problems.front().line : 1;
        out += m ? "," : "";
        out += ModuleJson(ctx, notes, problems);
        if (!json) {
            std::printf("module %d: %s: %d sections, %d features, %d labels%s\n", m,
                        theme.moduleTable[m].name, theme.sectionCount, theme.featureCount,
                        theme.labelCount, problems.empty() ? "" : " (not loaded completely)");
        }
    }
    ForgetModule(ctx);
    if (json) std::printf("%s]}\n", out.c_str());
    return firstError;
}
