// glimmora-preview SCRIPT: plays a theme script in a window and plays it
// again whenever the script or one of its media files changes (see
// preview_qt.h).
#include "base/paths.h"
#include "ports/qt/preview_help.h"
#include "ports/qt/preview_qt.h"
#include "ports/qt/qt_port.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

int Refuse(const std::string& what) {
    std::fprintf(stderr, "glimmora-preview: %s\n(glimmora-preview --help tells more)\n",
                 what.c_str());
    return 2;
}

bool ParseNumber(const char* text, long min, long max, long* value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < min || v > max) return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(PREVIEW_HELP, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv); // takes Qt's own options (-display...) out of argv
    QApplication::setQuitOnLastWindowClosed(false);
    PreviewOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--size" || arg == "--module";
        if (takesValue && i + 1 >= argc) return Refuse(arg + " needs a value");
        long v = 0;
        if (arg == "--size") {
            int w = 0, h = 0;
            char x = 0;
            if (std::sscanf(argv[++i], "%d%c%d", &w, &x, &h) != 3 || w < 16 || h < 16 || w > 8192 ||
                h > 8192)
                return Refuse("--size: \"" + std::string(argv[i]) +
                              "\" is not WIDTHxHEIGHT with sides of 16 to 8192");
            options.width = w;
            options.height = h;
        } else if (arg == "--module") {
            if (!ParseNumber(argv[++i], 0, 15, &v))
                return Refuse("--module: \"" + std::string(argv[i]) +
                              "\" is not a module number from 0 to 15");
            options.module = static_cast<int>(v);
        } else if (arg == "--preview") {
            options.previewBlocks = true;
        } else if (arg == "--no-sound") {
            options.sound = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Refuse("unknown option " + arg);
        } else if (options.script.empty()) {
            options.script = arg;
        } else {
            return Refuse("one script only: " + arg);
        }
    }
    if (options.script.empty()) return Refuse("no script named");
    if (std::filesystem::absolute(options.script).string().size() > static_cast<size_t>(PATH_LEN))
        return Refuse("the script's path is longer than " + std::to_string(PATH_LEN) +
                      " characters");
    std::error_code error;
    if (!std::filesystem::is_regular_file(options.script, error)) {
        std::fprintf(stderr, "glimmora-preview: %s is not a theme script file\n",
                     options.script.c_str());
        return 1;
    }
    QtPort port;
    PreviewController preview(port, options);
    return preview.Run();
}
