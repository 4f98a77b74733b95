// glimmora, the desktop program: the saver's modes on Qt, and the switches of
// the X11 screen-saver daemons (ports/qt/command_line_qt.h).
//
// In a daemon's window it plays a full saver run, sound included, and input
// never ends it; the daemon ends the process.
#include "app/main_loop.h"
#include "app/saver_run.h"
#include "app/startup.h"
#include "app/startup_rules.h"
#include "base/paths.h"
#include "ports/qt/command_line_qt.h"
#include "ports/qt/host_window_qt.h"
#include "ports/qt/qt_port.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The theme the plain program name plays: the demo that comes with it.
constexpr char DEFAULT_THEME[] = "Aquarium";

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv); // takes Qt's own options (-display...) out of argv
    QApplication::setQuitOnLastWindowClosed(false);

    QtCommandLine line = ParseCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
    if (!line.problem.empty()) {
        QtSystem(0).ShowMessageBox("glimmora", line.problem.c_str());
        return 2;
    }
    uintptr_t embedHost = 0;
    if (line.host != QtCommandLine::Host::None) {
        embedHost = line.host == QtCommandLine::Host::Root ? X11RootWindow() : line.windowId;
        int32_t width = 0;
        int32_t height = 0;
        if (embedHost == 0 || !X11WindowSize(embedHost, &width, &height)) {
            std::fprintf(stderr, "%s: no such window: %s\n", argv[0], line.hostText);
            return 1;
        }
    }

    // "--theme" names the theme; else "glimmora" plays the demo and a saver
    // link "QV <Theme>" its theme.
    char programName[PATH_LEN + 1];
    ProgramBaseName(argv[0], programName, sizeof(programName));
    const char* theme = line.theme;
    if (!theme && std::strcmp(programName, "glimmora") == 0) theme = DEFAULT_THEME;

    QtPort port(embedHost);
    SaverRun run(port.Services());
    if (!StartUp(run, static_cast<int>(line.args.size()) - 1, line.args.data(), theme)) {
        return Finish(run.lead);
    }
    return RunLoop(run);
}
