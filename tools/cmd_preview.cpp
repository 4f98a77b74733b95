// "preview": runs glimmora-preview, the window that plays a theme and plays
// it again whenever it changes. The window is the desktop program's (it
// needs Qt); this tool needs nothing of it.
#include "find_program.h"
#include "tool_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

int CmdPreview(int argc, char** argv) {
    const std::filesystem::path program = FindProgram("glimmora-preview");
    if (program.empty()) {
        std::fprintf(stderr, "glimmora-tool preview: the glimmora-preview program is not "
                             "installed (it comes with the desktop program glimmora, which "
                             "needs Qt)\n");
        return 1;
    }
    std::vector<char*> args;
    std::string name = "glimmora-preview";
    args.push_back(name.data());
    for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    std::fflush(stdout);
    execv(program.c_str(), args.data());
    std::fprintf(stderr, "glimmora-tool preview: cannot run %s: %s\n", program.c_str(),
                 std::strerror(errno));
    return 1;
}
