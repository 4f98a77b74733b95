#include "ports/qt/command_line_qt.h"

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
    line.args.push_back(argv[0]);
    if (line.host != QtCommandLine::Host::None && !explicitMode) {
        line.args.push_back(SaverSwitch());
        line.args.insert(line.args.end(), rest.begin(), rest.end());
    } else {
        line.host = QtCommandLine::Host::None;
        line.args.assign(argv, argv + argc);
    }
    line.args.push_back(nullptr);
    return line;
}
