// "setup": runs the Setup scan on a theme script and prints the theme name and
// the module table with the parameters of every module.
#include "app/glimmora_context.h"
#include "base/file_checks.h"
#include "script/setup_scan.h"
#include "tool_commands.h"
#include "tool_output.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void PrintText(const ThemeTables& theme) {
    std::printf("theme: %s\n", theme.themeName);
    for (int m = 0; m < theme.moduleCount; ++m) {
        const ThemeModule& module = theme.moduleTable[m];
        std::printf("module %d: %s (body at line %d)\n", m, module.name, module.bodyLine + 1);
        for (const ModuleParam& p : module.params) {
            if (p.name[0] == '\0') continue;
            std::printf("  #%s \"%s\" [%s | %s] %d to %d, default %d\n", p.name, p.caption,
                        p.leftLabel, p.rightLabel, p.leftValue, p.rightValue, p.defaultValue);
        }
    }
}

void PrintJson(const ThemeTables& theme) {
    std::printf("{\"theme\":%s,\"modules\":[", JsonString(theme.themeName).c_str());
    for (int m = 0; m < theme.moduleCount; ++m) {
        const ThemeModule& module = theme.moduleTable[m];
        std::printf("%s{\"name\":%s,\"params\":[", m ? "," : "", JsonString(module.name).c_str());
        bool first = true;
        for (const ModuleParam& p : module.params) {
            if (p.name[0] == '\0') continue;
            std::printf("%s{\"name\":%s,\"caption\":%s,\"left_label\":%s,\"right_label\":%s,"
                        "\"left\":%d,\"right\":%d,\"default\":%d}",
                        first ? "" : ",", JsonString(p.name).c_str(), JsonString(p.caption).c_str(),
                        JsonString(p.leftLabel).c_str(), JsonString(p.rightLabel).c_str(),
                        p.leftValue, p.rightValue, p.defaultValue);
            first = false;
        }
        std::printf("]}");
    }
    std::printf("]}\n");
}

} // namespace

int CmdSetup(int argc, char** argv) {
    bool json = false;
    const char* script = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (!script) {
            script = argv[i];
        } else {
            script = nullptr;
            break;
        }
    }
    if (!script || std::strlen(script) > PATH_LEN) {
        std::fprintf(stderr, "usage: glimmora-tool setup [--json] SCRIPT\n");
        return 2;
    }
    if (ExistsButNotAFile(script)) {
        std::fprintf(stderr, "%s: not a file, so not a theme script\n", script);
        return 1;
    }
    auto ctx = std::make_unique<GlimmoraContext>();
    const int32_t& errorLine = ctx->errors.errorLine;
    int ok = ScanThemeSetup(ctx->script, script);
    if (!ok && errorLine == 0) {
        std::fprintf(stderr, "%s: cannot open the script\n", script);
        return 1;
    }
    PrintScriptErrors(script, errorLine);
    if (json) {
        PrintJson(ctx->script.theme);
    } else {
        PrintText(ctx->script.theme);
    }
    return errorLine;
}
