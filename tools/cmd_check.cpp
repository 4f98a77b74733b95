// "check": loads every module of a theme as the saver would, with its images,
// sounds and palette, and reports each error as FILE:LINE: message.
#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "base/file_checks.h"
#include "base/media_path.h"
#include "media_notes.h"
#include "ports/headless/headless_port.h"
#include "script/setup_scan.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char CHECK_SAVER[] = "glimmora-check";
// Warnings kept and listed; beyond them only the lines are counted, so that a
// script of millions of doubtful lines is checked in little memory.
constexpr size_t MAX_WARNINGS = 300;
// Lines whose dropped warnings are told apart (one bit each, 16 MiB); a
// dropped warning on a later line is counted every time it is met.
constexpr int32_t MAX_TRACKED_LINES = int32_t{1} << 27;

struct Problem {
    int line;
    std::string message;
    std::string note; // what a refused media file is and how to convert it
};

// What check notices besides the loader's errors.
struct CheckNotes {
    const GlimmoraContext* ctx = nullptr;
    // The warnings of the load under way, not yet collected; each told once.
    std::vector<Problem> warnings;
    // Warnings and errors kept so far, by line and text: every read of the
    // script meets the same lines again.
    std::set<std::pair<int, std::string>> seen;
    size_t keptWarnings = 0;
    // Beyond MAX_WARNINGS: the lines whose warnings were dropped, each
    // counted once however often it is read.
    std::vector<bool> droppedLines;
    std::set<std::string> droppedWholeScript; // dropped warnings on no line
    int64_t droppedLineCount = 0;
    // Animations whose frames hold only what changed; each file is named once.
    std::set<std::string> describedGifs;
};

// Keeps a warning not met before, while fewer than MAX_WARNINGS are kept;
// beyond them only its line is counted.
void AddWarning(CheckNotes& notes, int line, std::string message) {
    const bool tracked = line > 0 && line < MAX_TRACKED_LINES;
    const size_t at = tracked ? static_cast<size_t>(line) : 0;
    if (tracked && at < notes.droppedLines.size() && notes.droppedLines[at]) return;
    if (notes.seen.count({line, message})) return;
    if (notes.keptWarnings < MAX_WARNINGS) {
        notes.seen.insert({line, message});
        ++notes.keptWarnings;
        notes.warnings.push_back({line, std::move(message), ""});
    } else if (line <= 0) {
        if (notes.droppedWholeScript.insert(message).second) ++notes.droppedLineCount;
    } else if (!tracked) {
        ++notes.droppedLineCount;
    } else {
        if (notes.droppedLines.size() <= at) notes.droppedLines.resize(at + 1);
        notes.droppedLines[at] = true;
        ++notes.droppedLineCount;
    }
}

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
    AddWarning(notes, IsPalette(name) ? 0 : notes.ctx->script.reader.lineNumber, std::move(text));
}

// Animations made for viewers, whose frames hold only what changed: the
// saver would show fragments.
void NoteOptimisedGifs(CheckNotes& notes) {
    const GlimmoraContext& ctx = *notes.ctx;
    const ThemeTables& theme = ctx.script.theme;
    for (int32_t i = 0; i < theme.featureCount; ++i) {
        if (!theme.featureTable[i].image) continue;
        char path[2 * PATH_LEN + 2];
        MediaPath(ctx.run.mediaDirectory, ctx.script.FeatureSourceOf(i).image, path, sizeof(path));
        const std::string found = FindMediaFile(path);
        if (!notes.describedGifs.insert(found).second) continue;
        const std::string note = GifDisplayNote(found);
        if (!note.empty()) AddWarning(notes, 0, "warning: " + note);
    }
}

// The loader's warnings, on the line they name.
void CollectWarning(void* user, int32_t line, const char* text) {
    AddWarning(*static_cast<CheckNotes*>(user), line, std::string("warning: ") + text);
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
std::vector<Problem> TakeProblems(const GlimmoraContext& ctx, HeadlessSystem& system) {
    std::vector<Problem> problems;
    for (const HeadlessMessage& m : system.Messages())
        problems.push_back({ctx.errors.errorLine, m.text, MediaRefusalNote(m.text)});
    system.ClearMessages();
    const int32_t loadStopLine = ctx.load.loadStopLine;
    if (problems.empty() && loadStopLine > 0)
        problems.push_back({loadStopLine,
                            "Sound line not loaded: it takes one, two or five "
                            "values after the file name",
                            ""});
    return problems;
}

// Keeps what was not found before: both block sets of a module, and every
// read of the script, meet the same lines.
void Collect(std::vector<Problem>& found, std::vector<Problem>& into,
             std::set<std::pair<int, std::string>>& seen) {
    for (Problem& p : found) {
        if (seen.insert({p.line, p.message}).second) into.push_back(std::move(p));
    }
    found.clear();
}

// Moves the warnings of a load, each already told once, to the list they belong to.
void CollectWarnings(std::vector<Problem>& found, std::vector<Problem>& into) {
    for (Problem& p : found) into.push_back(std::move(p));
    found.clear();
}

// Prints errors and warnings together in line order; notes on the whole
// script or module (line 0) come last.
void PrintInLineOrder(const char* script, const std::vector<Problem>& errors,
                      const std::vector<Problem>& warnings) {
    std::vector<const Problem*> all;
    for (const Problem& p : errors) all.push_back(&p);
    for (const Problem& p : warnings) all.push_back(&p);
    auto order = [](const Problem* p) { return p->line > 0 ? p->line : INT32_MAX; };
    std::stable_sort(all.begin(), all.end(),
                     [&](const Problem* a, const Problem* b) { return order(a) < order(b); });
    for (const Problem* p : all) PrintProblem(script, *p);
}

std::string ModuleJson(const GlimmoraContext& ctx, const std::vector<Problem>& problems,
                       const std::vector<Problem>& warnings) {
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
    out += "],\"errors\":[" + ProblemsJson(problems) + "],\"warnings\":[" + ProblemsJson(warnings);
    // Bytes the module's pictures take at picture scales 1 to 4 (screens of
    // 800x600, 1600x1200, 2400x1800 and 3200x2400 and up).
    out += "],\"pixelMemory\":{";
    for (int32_t scale = 1; scale <= 4; ++scale) {
        out += scale > 1 ? "," : "";
        out += "\"" + std::to_string(scale) + "\":" + std::to_string(ctx.images.PixelMemory(scale));
    }
    return out + "}}";
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
    bool strict = false;
    const char* script = nullptr;
    bool usage = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--preview") == 0) {
            preview = true;
        } else if (std::strcmp(argv[i], "--strict") == 0) {
            strict = true;
        } else if (!script) {
            script = argv[i];
        } else {
            usage = true;
        }
    }
    if (usage || !script || std::strlen(script) > PATH_LEN) {
        std::fprintf(stderr, "usage: glimmora-tool check [--preview] [--strict] [--json] SCRIPT\n");
        return 2;
    }
    std::error_code error;
    if (std::filesystem::is_directory(script, error)) {
        std::fprintf(stderr, "%s: is a folder, not a theme script\n", script);
        return 1;
    }
    if (ExistsButNotAFile(script)) {
        std::fprintf(stderr, "%s: not a file, so not a theme script\n", script);
        return 1;
    }
    if (!std::filesystem::is_regular_file(script, error)) {
        std::fprintf(stderr, "%s: cannot open the script\n", script);
        return 1;
    }
    if (std::filesystem::file_size(script, error) == 0) {
        std::fprintf(stderr, "%s: the script is empty\n", script);
        return 1;
    }

    auto port = std::make_unique<HeadlessPort>();
    auto context = std::make_unique<GlimmoraContext>(port->Services());
    GlimmoraContext& ctx = *context;
    RunConfig& run = ctx.run;
    std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", "Glimmora");
    std::snprintf(run.saverName, sizeof(run.saverName), "%s", CHECK_SAVER);
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", script);
    SetMediaDirectory(run.mediaDirectory, sizeof(run.mediaDirectory), script);
    ctx.view.SetSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    const ThemeTables& theme = ctx.script.theme;
    const int32_t& errorLine = ctx.errors.errorLine;
    CheckNotes notes;
    notes.ctx = &ctx;
    ctx.mediaNotice = {NoteMediaPath, &notes};
    ctx.errors.warn = CollectWarning;
    ctx.errors.warnUser = &notes;
    std::set<std::pair<int, std::string>>& seen = notes.seen;

    // The whole script is read once for its module table: what it warns of
    // belongs to the theme as a whole.
    const bool scanned = ScanThemeSetup(ctx.script, run.scriptPath) != 0;
    std::vector<Problem> scanProblems = TakeProblems(ctx, port->system), problems, themeWarnings;
    Collect(scanProblems, problems, seen);
    CollectWarnings(notes.warnings, themeWarnings);
    PrintInLineOrder(script, problems, themeWarnings);
    if (!scanned) {
        if (json)
            std::printf("{\"theme\":%s,\"modules\":[]}\n", JsonString(theme.themeName).c_str());
        return errorLine;
    }
    if (theme.moduleCount == 0) {
        std::fprintf(stderr, "%s: no module: a theme needs at least one Module \"Name\" block\n",
                     script);
        return 1;
    }

    int firstError = 0;
    int firstWarning = themeWarnings.empty() ? 0 : std::max(themeWarnings.front().line, 1);
    int32_t modules = theme.moduleCount;
    std::string out = "{\"theme\":" + JsonString(theme.themeName) + ",\"modules\":[";
    for (int32_t m = 0; m < modules; ++m) {
        // Both block sets, the one the report describes last.
        std::vector<Problem> moduleProblems, moduleWarnings;
        for (bool previewBlocks : {!preview, preview}) {
            ForgetModule(ctx);
            run.previewMode = previewBlocks;
            port->settings.Set(CHECK_SAVER, "Config", "ActiveModule", m);
            LoadModule(ctx);
            NoteOptimisedGifs(notes);
            std::vector<Problem> found = TakeProblems(ctx, port->system);
            Collect(found, moduleProblems, seen);
            CollectWarnings(notes.warnings, moduleWarnings);
        }
        PrintInLineOrder(script, moduleProblems, moduleWarnings);
        if (firstError == 0 && !moduleProblems.empty())
            firstError = std::max(moduleProblems.front().line, 1);
        if (firstWarning == 0 && !moduleWarnings.empty())
            firstWarning = std::max(moduleWarnings.front().line, 1);
        out += m ? "," : "";
        out += ModuleJson(ctx, moduleProblems, moduleWarnings);
        if (!json) {
            std::printf("module %d: %s: %d sections, %d features, %d labels%s\n", m,
                        theme.moduleTable[m].name, theme.sectionCount, theme.featureCount,
                        theme.labelCount, moduleProblems.empty() ? "" : " (not loaded completely)");
        }
    }
    ForgetModule(ctx);
    if (notes.droppedLineCount > 0)
        std::fprintf(
            stderr, "%s: warning: warnings on %lld more lines are not shown (at most %d are)\n",
            script, static_cast<long long>(notes.droppedLineCount), static_cast<int>(MAX_WARNINGS));
    if (json)
        std::printf("%s],\"warnings\":[%s],\"warning_lines_not_shown\":%lld}\n", out.c_str(),
                    ProblemsJson(themeWarnings).c_str(),
                    static_cast<long long>(notes.droppedLineCount));
    if (firstError == 0 && strict) return firstWarning;
    return firstError;
}
