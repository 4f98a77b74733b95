#include "ports/qt/command_line_qt.h"

#include "base/theme_name.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool IsMode(const char* arg, char letter) {
    return (arg[0] == '/' || arg[0] == '-') && arg[1] == letter;
}

bool Is(const char* arg, const char* name) {
    return std::strcmp(arg, name) == 0;
}

// Start-up only reads its arguments.
char* SaverSwitch() {
    return const_cast<char*>("-s");
}

} // namespace

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

QtCommandLine ParseCommandLine(int argc, char** argv, const char* xscreensaverWindow) {
    QtCommandLine line;
    const bool explicitMode = argc > 1 && (IsMode(argv[1], 'c') || IsMode(argv[1], 'p'));
    bool root = false;
    const char* windowText = nullptr;
    std::vector<char*> rest;
    for (int i = 1; i < argc; ++i) {
        if (Is(argv[i], "-root") || Is(argv[i], "--root")) {
            root = true;
        } else if (Is(argv[i], "-window-id") || Is(argv[i], "--window-id")) {
            windowText = i + 1 < argc ? argv[++i] : "";
        } else if (Is(argv[i], "--theme")) {
            line.theme = i + 1 < argc ? argv[++i] : "";
            std::string why = ThemeNameProblem(line.theme);
            if (!why.empty()) line.problem = "--theme \"" + std::string(line.theme) + "\": " + why;
        } else if (Is(argv[i], "--idle")) {
            line.idle = true;
        } else if (Is(argv[i], "--after")) {
            const char* text = i + 1 < argc ? argv[++i] : "";
            char* end = nullptr;
            long seconds = std::strtol(text, &end, 10);
            if (*text < '0' || *text > '9' || *end != '\0' || seconds < 1 ||
                seconds > MAX_AFTER_SECONDS) {
                line.problem = "--after \"" + std::string(text) +
                               "\": the idle time is a number of seconds from 1 to " +
                               std::to_string(MAX_AFTER_SECONDS);
            } else {
                line.afterSeconds = static_cast<int>(seconds);
            }
        } else if (!(i == 1 && IsMode(argv[i], 's'))) {
            rest.push_back(argv[i]);
        }
    }
    // The window named on the command line, else the daemon's in the
    // environment, else the root window.
    if (!windowText && !explicitMode && xscreensaverWindow && *xscreensaverWindow) {
        windowText = xscreensaverWindow;
    }
    if (windowText) {
        line.host = QtCommandLine::Host::Window;
        line.hostText = windowText;
        line.windowId = ParseWindowId(windowText);
    } else if (root) {
        line.host = QtCommandLine::Host::Root;
        line.hostText = "root";
    }
    // The switches read here are taken out; a saver mode first keeps its place.
    line.args.push_back(argv[0]);
    if (line.host != QtCommandLine::Host::None && !explicitMode) {
        line.args.push_back(SaverSwitch());
    } else {
        line.host = QtCommandLine::Host::None;
        if (argc > 1 && IsMode(argv[1], 's')) line.args.push_back(argv[1]);
    }
    line.args.insert(line.args.end(), rest.begin(), rest.end());
    line.args.push_back(nullptr);
    return line;
}
