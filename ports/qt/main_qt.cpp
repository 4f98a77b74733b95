// glimmora, the desktop program: the saver's modes on Qt, and the switches of
// the X11 screen-saver daemons.
//
// Besides "/s", "/p <window id>" and "/c", a daemon may start it with "-root"
// (play on the root window), "-window-id <id>" (decimal or 0x hex), or with
// $XSCREENSAVER_WINDOW set: it then plays a full saver run, sound included,
// inside that window, and input never ends it; the daemon ends the process.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/startup.h"
#include "app/startup_rules.h"
#include "base/paths.h"
#include "ports/qt/host_window_qt.h"
#include "ports/qt/qt_port.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The theme the plain program name plays: the demo that comes with it.
constexpr char DEFAULT_THEME[] = "Aquarium";

// A window id in decimal or, with "0x", hexadecimal; 0 when it is not one.
uintptr_t ParseWindowId(const char* text) {
    if (!text || !*text) return 0;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0' || *text == '-' || *text == '+') return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long id = std::strtoull(text, &end, base);
    if (errno != 0 || *end != '\0' || id > UINT32_MAX) return 0;
    return static_cast<uintptr_t>(id);
}

bool IsMode(const char* arg, char letter) {
    return (arg[0] == '/' || arg[0] == '-') && arg[1] == letter;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv); // takes Qt's own options (-display...) out of argv
    QApplication::setQuitOnLastWindowClosed(false);

    // The daemon's switches become a saver run ("-s") inside the host window;
    // the other arguments keep their order.
    std::vector<char*> args(argv, argv + argc);
    bool explicitMode = argc > 1 && (IsMode(argv[1], 'c') || IsMode(argv[1], 'p'));
    bool daemon = false;
    const char* hostText = nullptr;
    uintptr_t host = 0;
    std::vector<char*> rest;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-root") == 0) {
            daemon = true;
            host = X11RootWindow();
            hostText = "root";
        } else if (std::strcmp(argv[i], "-window-id") == 0 ||
                   std::strcmp(argv[i], "--window-id") == 0) {
            daemon = true;
            hostText = i + 1 < argc ? argv[i + 1] : "";
            host = ParseWindowId(hostText);
            if (i + 1 < argc) ++i;
        } else if (!(i == 1 && IsMode(argv[i], 's'))) {
            rest.push_back(argv[i]);
        }
    }
    const char* fromEnvironment = std::getenv("XSCREENSAVER_WINDOW");
    if (!daemon && !explicitMode && fromEnvironment && *fromEnvironment) {
        daemon = true;
        hostText = fromEnvironment;
        host = ParseWindowId(fromEnvironment);
    }
    char saverSwitch[] = "-s";
    uintptr_t embedHost = 0;
    if (daemon && !explicitMode) {
        int32_t width = 0;
        int32_t height = 0;
        if (host == 0 || !X11WindowSize(host, &width, &height)) {
            std::fprintf(stderr, "%s: no such window: %s\n", argv[0], hostText);
            return 1;
        }
        embedHost = host;
        args.assign(1, argv[0]);
        args.push_back(saverSwitch);
        args.insert(args.end(), rest.begin(), rest.end());
    }
    args.push_back(nullptr);

    // "glimmora" plays the demo; a saver link "QV <Theme>" plays its theme.
    char programName[PATH_LEN + 1];
    ProgramBaseName(argv[0], programName, sizeof(programName));
    const char* theme = std::strcmp(programName, "glimmora") == 0 ? DEFAULT_THEME : nullptr;

    QtPort port(embedHost);
    SaverRun run(port.Services());
    if (!StartUp(run, static_cast<int>(args.size()) - 1, args.data(), theme)) {
        return Finish(run.lead);
    }
    return RunLoop(run);
}
