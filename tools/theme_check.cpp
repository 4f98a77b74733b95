#include "theme_check.h"

#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "base/media_path.h"
#include "media_notes.h"
#include "ports/headless/headless_port.h"
#include "script/setup_scan.h"
#include "tool_output.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

const char CHECK_SAVER[] = "glimmora-check";
// Lines whose dropped warnings are told apart (one bit each, 16 MiB); a
// dropped warning on a later line is counted every time it is met.
constexpr int32_t MAX_TRACKED_LINES = int32_t{1} << 27;
// Names of a folder compared with a missing file's name, at most.
constexpr int MAX_FOLDER_NAMES = 10000;

// The words of the script language, for "did you mean".
const char* const KEYWORDS[] = {"ThemeName",   "Module",
                                "ScreenSaver", "Setup",
                                "Background",  "PreviewBackground",
                                "Feature",     "PreviewFeature",
                                "Section",     "Color",
                                "Image",       "Label",
                                "Enable",      "Start",
                                "Position",    "Duration",
                                "Movement",    "Sound",
                                "BounceSound", "LoopSound",
                                "AutoPan",     "Condition",
                                "Fade",        "AbsolutePixels",
                                "AfterTime",   "Off",
                                "OnSetup",     "Random",
                                "OnTrigger",   "Group",
                                "Offset",      "OnScreen",
                                "Static",      "Bounce",
                                "Pattern",     "OnImageCycle",
                                "Arc",         "Projectile",
                                "FadeInOut",   "FadeIn",
                                "FadeOut",     "InRegion",
                                "OnFrame",     "OnEnd",
                                "Stop",        "Trigger",
                                "EndSection",  "Disable",
                                "Balance",     "Center",
                                "Right",       "Bottom"};

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Edits (insertions, deletions, changes and swaps of two neighbours) between
// two words, in any letter case; words are short.
int Distance(const std::string& a, const std::string& b) {
    const size_t n = a.size(), m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i) {
        for (size_t j = 1; j <= m; ++j) {
            const int change = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
                Lower(a[i - 2]) == Lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

// How many edits a word of `length` characters may be from the one meant.
int Tolerance(size_t length) {
    return length <= 4 ? 1 : length <= 8 ? 2 : 3;
}

// The nearest of `candidates` to `word` within the tolerance, and not the
// word itself; empty when none.
std::string Nearest(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    int bestDistance = Tolerance(word.size()) + 1;
    for (const std::string& c : candidates) {
        if (c.size() > word.size() + 3 || word.size() > c.size() + 3) continue;
        const int d = Distance(word, c);
        if (d == 0) return "";
        if (d < bestDistance) {
            bestDistance = d;
            best = c;
        }
    }
    return best;
}

bool TakePrefix(const std::string& message, const char* prefix, std::string* rest) {
    const size_t n = std::strlen(prefix);
    if (message.compare(0, n, prefix) != 0) return false;
    *rest = message.substr(n);
    return true;
}

// The file in `folder` whose name is nearest to `name`.
std::string NearestFile(const std::filesystem::path& folder, const std::string& name) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error), end;
    for (int n = 0; !error && it != end && n < MAX_FOLDER_NAMES; it.increment(error), ++n)
        names.push_back(it->path().filename().string());
    return Nearest(name, names);
}

} // namespace

std::string SuggestionFor(const std::string& message) {
    try {
        std::string rest;
        if (TakePrefix(message, "Invalid Keyword: ", &rest)) {
            size_t n = 0;
            while (n < rest.size() && n < 40 && std::isalnum(static_cast<unsigned char>(rest[n])))
                ++n;
            if (n == 0) return "";
            return Nearest(rest.substr(0, n),
                           std::vector<std::string>(std::begin(KEYWORDS), std::end(KEYWORDS)));
        }
        if (!TakePrefix(message, "File Not Found: ", &rest)) return "";
        // "NAME (looked in A and B)" after "-def", else the path looked for.
        std::vector<std::filesystem::path> folders;
        std::filesystem::path name;
        const size_t looked = rest.find(" (looked in ");
        if (looked != std::string::npos && rest.back() == ')') {
            name = rest.substr(0, looked);
            std::string list = rest.substr(looked + 12, rest.size() - looked - 13);
            for (size_t and_ = list.find(" and "); and_ != std::string::npos;
                 and_ = list.find(" and ")) {
                folders.push_back(std::filesystem::path(list.substr(0, and_)) / name.parent_path());
                list = list.substr(and_ + 5);
            }
            folders.push_back(std::filesystem::path(list) / name.parent_path());
        } else {
            name = rest;
            folders.push_back(name.parent_path().empty() ? "." : name.parent_path());
        }
        for (const std::filesystem::path& folder : folders) {
            const std::string found = NearestFile(folder, name.filename().string());
            if (!found.empty()) return found;
        }
    } catch (const std::exception&) {
    }
    return "";
}

void PrintProblem(const char* script, const Problem& p) {
    std::string text = p.message;
    if (!p.suggestion.empty()) text += " (did you mean \"" + p.suggestion + "\"?)";
    if (p.line > 0) {
        std::fprintf(stderr, "%s:%d: %s\n", script, p.line, text.c_str());
        if (!p.note.empty()) std::fprintf(stderr, "%s:%d: %s\n", script, p.line, p.note.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", script, text.c_str());
    }
}

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

std::string ProblemsJson(const std::vector<Problem>& problems) {
    std::string out;
    for (size_t i = 0; i < problems.size(); ++i) {
        // Appended piece by piece: a const char* + std::string&& chain makes
        // GCC 12 at -O3 warn of overlapping copies (-Wrestrict).
        out += i ? "," : "";
        out += "{\"line\":" + std::to_string(problems[i].line);
        out += ",\"message\":" + JsonString(problems[i].message.c_str());
        if (!problems[i].note.empty()) out += ",\"note\":" + JsonString(problems[i].note.c_str());
        if (!problems[i].suggestion.empty())
            out += ",\"suggestion\":" + JsonString(problems[i].suggestion.c_str());
        out += "}";
    }
    return out;
}

// What the check hears from the loads besides their records: the errors
// with their lines and the warnings, each told once.
struct ThemeCheck::Notes {
    const GlimmoraContext* ctx = nullptr;
    // The errors of the load under way, with the line being read when each
    // was shown.
    std::vector<Problem> errors;
    // The warnings of the load under way, not yet collected; each told once.
    std::vector<Problem> warnings;
    // Warnings and errors kept so far, by line and text: every read of the
    // script meets the same lines again.
    std::set<std::pair<int, std::string>> seen;
    size_t keptWarnings = 0;
    // Beyond CHECK_MAX_WARNINGS: the lines whose warnings were dropped, each
    // counted once however often it is read.
    std::vector<bool> droppedLines;
    std::set<std::string> droppedWholeScript; // dropped warnings on no line
    int64_t droppedLineCount = 0;
    // Animations whose frames hold only what changed; each file is named once.
    std::set<std::string> describedGifs;

    // Keeps a warning not met before, while fewer than CHECK_MAX_WARNINGS are
    // kept; beyond them only its line is counted.
    void AddWarning(int line, std::string message) {
        const bool tracked = line > 0 && line < MAX_TRACKED_LINES;
        const size_t at = tracked ? static_cast<size_t>(line) : 0;
        if (tracked && at < droppedLines.size() && droppedLines[at]) return;
        if (seen.count({line, message})) return;
        if (keptWarnings < CHECK_MAX_WARNINGS) {
            seen.insert({line, message});
            ++keptWarnings;
            warnings.push_back({line, std::move(message), "", ""});
        } else if (line <= 0) {
            if (droppedWholeScript.insert(message).second) ++droppedLineCount;
        } else if (!tracked) {
            ++droppedLineCount;
        } else {
            if (droppedLines.size() <= at) droppedLines.resize(at + 1);
            droppedLines[at] = true;
            ++droppedLineCount;
        }
    }
};

namespace {

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
    ThemeCheck::Notes& notes = *static_cast<ThemeCheck::Notes*>(user);
    const std::string name = MediaName(*notes.ctx, asked), real = MediaName(*notes.ctx, found);
    std::string how;
    if (fixes & MEDIA_PATH_BACKSLASH) how = "a backslash read as a folder separator";
    if (fixes & MEDIA_PATH_CASE)
        how += std::string(how.empty() ? "" : " and ") + "letter case ignored";
    // The palette is looked for after the module's last line.
    std::string text = "warning: \"" + name;
    text += "\" was found as \"" + real + "\" (" + how + "); write \"" + real + "\" in the script";
    notes.AddWarning(IsPalette(name) ? 0 : notes.ctx->script.reader.lineNumber, std::move(text));
}

// Animations made for viewers, whose frames hold only what changed: the
// saver would show fragments.
void NoteOptimisedGifs(ThemeCheck::Notes& notes) {
    const GlimmoraContext& ctx = *notes.ctx;
    const ThemeTables& theme = ctx.script.theme;
    for (int32_t i = 0; i < theme.featureCount; ++i) {
        if (!theme.featureTable[i].image) continue;
        char path[2 * PATH_LEN + 2];
        MediaPath(ctx.run.mediaDirectory, ctx.script.FeatureSourceOf(i).image, path, sizeof(path));
        const std::string found = FindMediaFile(path);
        if (!notes.describedGifs.insert(found).second) continue;
        const std::string note = GifDisplayNote(found);
        if (!note.empty()) notes.AddWarning(0, "warning: " + note);
    }
}

// The loader's warnings, on the line they name.
void CollectWarning(void* user, int32_t line, const char* text) {
    static_cast<ThemeCheck::Notes*>(user)->AddWarning(line, std::string("warning: ") + text);
}

// The loader's errors, on the line being read when each is shown.
void CollectError(void* user, const char* text) {
    ThemeCheck::Notes& notes = *static_cast<ThemeCheck::Notes*>(user);
    const int32_t* line = notes.ctx->errors.line;
    notes.errors.push_back({line ? *line : 0, text, MediaRefusalNote(text), SuggestionFor(text)});
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

ThemeCheck::ThemeCheck(const char* script)
    : port(std::make_unique<HeadlessPort>()),
      context(std::make_unique<GlimmoraContext>(port->Services())),
      notes(std::make_unique<Notes>()) {
    GlimmoraContext& ctx = *context;
    RunConfig& run = ctx.run;
    std::snprintf(run.appTitle, sizeof(run.appTitle), "%s", "Glimmora");
    std::snprintf(run.saverName, sizeof(run.saverName), "%s", CHECK_SAVER);
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", script);
    SetMediaDirectory(run.mediaDirectory, sizeof(run.mediaDirectory), script);
    ctx.view.SetSize(DESIGN_WIDTH, DESIGN_HEIGHT);
    ctx.script.keepGoing = true;
    notes->ctx = &ctx;
    ctx.mediaNotice = {NoteMediaPath, notes.get()};
    ctx.errors.show = CollectError;
    ctx.errors.user = notes.get();
    ctx.errors.warn = CollectWarning;
    ctx.errors.warnUser = notes.get();
}

ThemeCheck::~ThemeCheck() = default;

int64_t ThemeCheck::DroppedWarningLines() const {
    return notes->droppedLineCount;
}

// Moves the errors of the last load not found before into `into`.
void ThemeCheck::TakeErrors(std::vector<Problem>* into) {
    for (Problem& p : notes->errors) {
        if (notes->seen.insert({p.line, p.message}).second) into->push_back(std::move(p));
    }
    notes->errors.clear();
}

bool ThemeCheck::Scan() {
    // The whole script is read once for its module table: what it warns of
    // belongs to the theme as a whole.
    const bool scanned = ScanThemeSetup(context->script, context->run.scriptPath) != 0;
    TakeErrors(&scanErrors);
    for (Problem& p : notes->warnings) themeWarnings.push_back(std::move(p));
    notes->warnings.clear();
    return scanned;
}

void ThemeCheck::Forget() {
    GlimmoraContext& ctx = *context;
    ctx.view.Reset();
    ctx.ResetModule();
    ctx.script.reader.CloseScript();
    ctx.script.reader.skipDepth = 0;
    ctx.errors.errorLine = 0;
}

void ThemeCheck::LoadModule(int module, bool preview, bool bothBlockSets,
                            std::vector<Problem>* errors, std::vector<Problem>* warnings) {
    GlimmoraContext& ctx = *context;
    std::vector<bool> sets;
    if (bothBlockSets) sets.push_back(!preview);
    sets.push_back(preview);
    for (bool previewBlocks : sets) {
        Forget();
        ctx.run.previewMode = previewBlocks;
        port->settings.Set(CHECK_SAVER, "Config", "ActiveModule", module);
        ::LoadModule(ctx);
        NoteOptimisedGifs(*notes);
        TakeErrors(errors);
        // A load that stopped without a message (which keep-going loads do
        // not) is named by its line.
        if (errors->empty() && ctx.load.loadStopLine > 0 &&
            notes->seen.insert({ctx.load.loadStopLine, "stopped"}).second)
            errors->push_back({ctx.load.loadStopLine, "loading stopped here", "", ""});
        for (Problem& p : notes->warnings) warnings->push_back(std::move(p));
        notes->warnings.clear();
    }
}
