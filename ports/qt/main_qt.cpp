// glimmora, the desktop program: the saver's modes on Qt, the switches of
// the X11 screen-saver daemons (ports/qt/command_line_qt.h), and the idle
// service ("--idle", ports/qt/idle_service_qt.h).
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
#include "ports/qt/idle_service_qt.h"
#include "ports/qt/qt_port.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The theme the plain program name plays: the demo that comes with it.
constexpr char DEFAULT_THEME[] = "Aquarium";

bool WantsIdleService(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--idle") == 0) return true;
    }
    return false;
}

// The idle service needs no window of its own: no GUI application, which on
// a Wayland desktop without Qt's Wayland plugin would not start.
int ServeIdle(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QtCommandLine line = ParseCommandLine(argc, argv, nullptr);
    if (!line.problem.empty()) {
        std::fprintf(stderr, "glimmora: %s\n", line.problem.c_str());
        return 2;
    }
    // The saver run: this program as it was started, so that a saver link
    // "QV <Theme>" plays its theme, with the theme given.
    QStringList arguments{"/s"};
    if (line.theme) arguments << "--theme" << QString::fromLocal8Bit(line.theme);
    IdleService service(QString::fromLocal8Bit(argv[0]), arguments, line.afterSeconds);
    return service.Run();
}

} // namespace

int main(int argc, char** argv) {
    if (WantsIdleService(argc, argv)) return ServeIdle(argc, argv);
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
