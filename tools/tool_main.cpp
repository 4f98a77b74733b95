// glimmora-tool: command-line helpers for theme authors.
#include "tool_commands.h"

#include "base/error_sink.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace {

struct ToolCommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

const ToolCommand COMMANDS[] = {
    {"scramble", CmdScramble, "scramble IN OUT        write IN as a scrambled script"},
    {"unscramble", CmdUnscramble,
     "unscramble IN OUT      write a scrambled script IN as plain text"},
    {"wav-info", CmdWavInfo, "wav-info FILE          show how a WAV sound is loaded"},
    {"check", CmdCheck,
     "check [--preview] [--json] SCRIPT  load every module and report each error"},
    {"setup", CmdSetup, "setup [--json] SCRIPT  print the theme name and the module table"},
    {"render", CmdRender,
     "render SCRIPT --out DIR [options]  play a theme into PNG frames and a WAV"},
    {"gif-info", CmdGifInfo, "gif-info [--json] FILE describe the frames of a GIF image"},
#ifndef _WIN32
    {"install-theme", CmdInstallTheme,
     "install-theme [--uninstall | --name] DIR  check a theme and install it for this user"},
#endif
#ifdef GLIMMORA_IMPORT
    {"import", CmdImport,
     "import [options] INPUT... OUTPUT  make a GIF or WAV the saver loads from any picture or "
     "sound"},
#endif
};

int Usage() {
    std::fprintf(stderr, "usage: glimmora-tool COMMAND [ARGS]\n");
    for (const ToolCommand& c : COMMANDS) std::fprintf(stderr, "  %s\n", c.usage);
    return 2;
}

// Runs a command. Commands bound what they hold and report what they
// refuse; should memory still run out, the command ends with a message and a
// failure status rather than an abort.
int Run(const ToolCommand& c, int argc, char** argv) {
    try {
        // Commands return the script line of an error; the status keeps what fits.
        return ExitStatusForLine(c.run(argc, argv));
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "glimmora-tool %s: out of memory\n", c.name);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "glimmora-tool %s: %s\n", c.name, e.what());
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    for (const ToolCommand& c : COMMANDS) {
        if (std::strcmp(argv[1], c.name) == 0) return Run(c, argc - 2, argv + 2);
    }
    return Usage();
}
