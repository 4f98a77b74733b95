// "check": loads every module of a theme as the saver would, with its images,
// sounds and palette, and reports each error as FILE:LINE: message.
#include "app/glimmora_context.h"
#include "app/module_loader.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_settings.h"
#include "script/setup_scan.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char CHECK_SAVER[] = "glimmora-check";

struct Problem {
    int line;
    std::string message;
};

const char* const START_KINDS[] = {"time", "random", "group", "offset", "trigger"};
const char* const DURATION_KINDS[] = {"fixed", "random", "onscreen", "offset"};
const char* const MOVEMENT_KINDS[] = {"vector",  "random",     "static", "bounce",
                                      "pattern", "imagecycle", "arc",    "projectile"};

template <size_t N> const char* KindName(const char* const (&names)[N], int32_t kind) {
    return kind >= 0 && static_cast<size_t>(kind) < N ? names[kind] : "unknown";
}

// The problems of the last load: its messages, or a note when loading
// stopped without one.
std::vector<Problem> TakeProblems(const GlimmoraContext& ctx, const char* script) {
    std::vector<Problem> problems;
    for (const HeadlessMessage& m : HeadlessMessages())
        problems.push_back({ctx.errors.errorLine, m.text});
    HeadlessClearMessages();
    const int32_t loadStopLine = ctx.load.loadStopLine;
    if (problems.empty() && loadStopLine > 0)
        problems.push_back({loadStopLine, "Sound line not loaded: it takes one, two or five "
                                          "values after the file name"});
    for (const Problem& p : problems)
        std::fprintf(stderr, "%s:%d: %s\n", script, p.line, p.message.c_str());
    return problems;
}

std::string ModuleJson(const GlimmoraContext& ctx, const std::vector<Problem>& problems) {
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
    out += "],\"errors\":[";
    for (size_t i = 0; i < problems.size(); ++i) {
        // Appended piece by piece: a const char* + std::string&& chain makes
        // GCC 12 at -O3 warn of overlapping copies (-Wrestrict).
        out += i ? "," : "";
        out += "{\"line\":" + std::to_string(problems[i].line);
        out += ",\"message\":" + JsonString(problems[i].message.c_str()) + "}";
    }
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

    if (!ScanThemeSetup(ctx.script, run.scriptPath)) {
        if (errorLine == 0) {
            std::fprintf(stderr, "%s: cannot open the script\n", script);
            return 1;
        }
        int line = errorLine;
        std::vector<Problem> problems = TakeProblems(ctx, script);
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
        std::vector<Problem> problems = TakeProblems(ctx, script);
        if (firstError == 0 && !problems.empty())
            firstError = problems.front().line > 0 ? problems.front().line : 1;
        out += m ? "," : "";
        out += ModuleJson(ctx, problems);
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
