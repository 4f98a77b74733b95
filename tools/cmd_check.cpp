// "check": loads every module of a theme as the saver would, with its images,
// sounds and palette, and reports each error as FILE:LINE: message. Loading
// reads on after an error, so one pass reports every error it can.
#include "app/glimmora_context.h"
#include "base/file_checks.h"
#include "theme_check.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const START_KINDS[] = {"time", "random", "group", "offset", "trigger"};
const char* const DURATION_KINDS[] = {"fixed", "random", "onscreen", "offset"};
const char* const MOVEMENT_KINDS[] = {"vector",  "random",     "static", "bounce",
                                      "pattern", "imagecycle", "arc",    "projectile"};

template <size_t N> const char* KindName(const char* const (&names)[N], int32_t kind) {
    return kind >= 0 && static_cast<size_t>(kind) < N ? names[kind] : "unknown";
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
        // Appended piece by piece: GCC 12 at -O3 reports a false overlap in
        // "literal" + std::string (GCC bug 105329).
        out += '"';
        out += std::to_string(scale);
        out += "\":";
        out += std::to_string(ctx.images.PixelMemory(scale));
    }
    return out + "}}";
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
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "check: unknown option %s\n", argv[i]);
            usage = true;
        } else if (!script) {
            script = argv[i];
        } else {
            usage = true;
        }
    }
    if (usage || !script || std::strlen(script) > PATH_LEN) {
        std::fprintf(stderr, "usage: glimmora-tool check [--preview] [--strict] [--json] SCRIPT\n"
                             "(glimmora-tool check --help tells more)\n");
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

    ThemeCheck check(script);
    GlimmoraContext& ctx = check.Context();
    const ThemeTables& theme = ctx.script.theme;
    const bool scanned = check.Scan();
    PrintInLineOrder(script, check.scanErrors, check.themeWarnings);
    if (!scanned) {
        if (json)
            std::printf("{\"theme\":%s,\"modules\":[]}\n", JsonString(theme.themeName).c_str());
        return check.scanErrors.empty() ? 1 : std::max(check.scanErrors.front().line, 1);
    }
    if (theme.moduleCount == 0) {
        std::fprintf(stderr, "%s: no module: a theme needs at least one Module \"Name\" block\n",
                     script);
        return 1;
    }

    // Errors of the Setup blocks (read on after them) come first.
    int firstError = check.scanErrors.empty() ? 0 : std::max(check.scanErrors.front().line, 1);
    bool warned = !check.themeWarnings.empty();
    const int32_t modules = theme.moduleCount;
    std::string out = "{\"theme\":" + JsonString(theme.themeName) + ",\"modules\":[";
    for (int32_t m = 0; m < modules; ++m) {
        // Both block sets, the one the report describes last.
        std::vector<Problem> moduleProblems, moduleWarnings;
        check.LoadModule(m, preview, true, &moduleProblems, &moduleWarnings);
        PrintInLineOrder(script, moduleProblems, moduleWarnings);
        if (firstError == 0 && !moduleProblems.empty())
            firstError = std::max(moduleProblems.front().line, 1);
        warned = warned || !moduleWarnings.empty();
        out += m ? "," : "";
        out += ModuleJson(ctx, moduleProblems, moduleWarnings);
        if (!json) {
            std::printf("module %d: %s: %d sections, %d features, %d labels%s\n", m,
                        theme.moduleTable[m].name, theme.sectionCount, theme.featureCount,
                        theme.labelCount, moduleProblems.empty() ? "" : " (not loaded completely)");
        }
    }
    check.Forget();
    const int64_t dropped = check.DroppedWarningLines();
    if (dropped > 0)
        std::fprintf(stderr,
                     "%s: warning: warnings on %lld more lines are not shown (at most %d are)\n",
                     script, static_cast<long long>(dropped), static_cast<int>(CHECK_MAX_WARNINGS));
    if (json)
        std::printf("%s],\"warnings\":[%s],\"warning_lines_not_shown\":%lld}\n", out.c_str(),
                    ProblemsJson(check.themeWarnings).c_str(), static_cast<long long>(dropped));
    // Errors give the first one's line; with --strict, warnings alone give 1.
    if (firstError == 0 && strict && (warned || dropped > 0)) return 1;
    return firstError;
}
