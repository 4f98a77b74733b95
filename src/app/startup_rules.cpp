#include "app/startup_rules.h"

#include "app/app_state.h"
#include "base/file_checks.h"
#include "base/text.h"
#include "display/ss_view.h"
#include "platform/shell.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Copies `text` into a PATH_LEN field; a text that does not fit leaves the field
// empty rather than naming some other file.
void SetField(char* field, const char* text) {
    if (std::strlen(text) > static_cast<size_t>(PATH_LEN)) {
        field[0] = '\0';
    } else {
        std::snprintf(field, PATH_LEN + 1, "%s", text);
    }
}

// Reads a decimal number at *p and moves past its digits; false when there are none.
bool ReadNumber(const char*& p, int32_t* value) {
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    int64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        if (v < 100000000) v = v * 10 + (*p - '0');
        ++p;
    }
    *value = static_cast<int32_t>(v);
    return true;
}

// "-v<w>x<h>": w, the digits skipped, one separator, then h.
void ReadSizeOption(CSSView& view, const char* arg) {
    const char* p = arg + 2;
    int32_t width = 0;
    int32_t height = 0;
    if (!ReadNumber(p, &width) || *p == '\0') return;
    ++p;
    if (!ReadNumber(p, &height)) return;
    if (width > 0 && height > 0) view.SetSize(width, height);
}

} // namespace

void ProgramBaseName(const char* programPath, char* name, int size) {
    const char* base = programPath;
    for (const char* p = programPath; *p; ++p) {
        if (*p == '/' || *p == '\\') base = p + 1;
    }
    const char* dot = std::strrchr(base, '.');
#ifndef _WIN32
    // Programs have no extension here: only a saver file's ".scr" is one, and
    // a theme named "Reef.v2" keeps its ".v2".
    if (dot && !SameNameNoCase(dot, ".scr")) dot = nullptr;
#endif
    size_t length = dot ? static_cast<size_t>(dot - base) : std::strlen(base);
    if (length >= static_cast<size_t>(size)) length = static_cast<size_t>(size) - 1;
    std::memcpy(name, base, length);
    name[length] = '\0';
}

void DeriveNames(RunConfig& run, SystemShell& shell, const char* programName, const char* theme) {
    SetField(run.appTitle, programName);
    if (theme && *theme) {
        char saverName[PATH_LEN + 8];
        std::snprintf(saverName, sizeof(saverName), "QV %s", theme);
        SetField(run.saverName, saverName);
        SetField(run.scriptName, theme);
        return;
    }
    if (MatchKeyword(programName, "QV ")) {
        SetField(run.saverName, programName);
        SetField(run.scriptName, programName + 3);
        return;
    }
    char longName[PATH_LEN + 1];
    if (MatchKeyword(programName, "QV") &&
        shell.FindLongSaverName(programName, longName, sizeof(longName))) {
        // Less its extension (".SCR") only: a theme named "Reef.v2" keeps its ".v2".
        if (char* dot = std::strrchr(longName, '.')) *dot = '\0';
        SetField(run.saverName, longName);
        SetField(run.scriptName, std::strlen(longName) >= 3 ? longName + 3 : "");
        return;
    }
    SetField(run.saverName, programName);
    SetField(run.scriptName, programName);
}

void SetPaths(RunConfig& run, SystemShell& shell) {
    char folder[PATH_LEN + 1];
    shell.ThemeFolder(run.scriptName, folder, sizeof(folder));
    SetField(run.mediaDirectory, folder);
    char path[2 * PATH_LEN + 8];
    std::snprintf(path, sizeof(path), "%s%c%s.SS", run.mediaDirectory, PATH_SEPARATOR,
                  run.scriptName);
    SetField(run.scriptPath, path);
}

bool FindInstalledTheme(RunConfig& run, SystemShell& shell, char* missing, int size) {
    missing[0] = '\0';
    if (run.mediaDirectory[0] == '\0' || PathExists(run.scriptPath)) return true;
    RunConfig demo;
    SetField(demo.scriptName, DEMO_THEME);
    SetPaths(demo, shell);
    if (demo.scriptPath[0] != '\0' && PathExists(demo.scriptPath)) {
        SetField(run.scriptName, demo.scriptName);
        SetField(run.mediaDirectory, demo.mediaDirectory);
        SetField(run.scriptPath, demo.scriptPath);
        return true;
    }
    std::snprintf(missing, static_cast<size_t>(size),
                  "The theme \"%s\" is not installed: its script %s is not there, and neither "
                  "is the demo theme %s",
                  run.scriptName, run.scriptPath, DEMO_THEME);
    return false;
}

void ParseOptions(RunConfig& run, CSSView& view, int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        const char* arg = argv[i];
        if (SameNameNoCase(arg, "-debug")) {
            run.exclusiveMode = false;
        } else if (SameNameNoCase(arg, "-def")) {
            if (i + 1 < argc) {
                run.scriptPathTooLong = std::strlen(argv[++i]) > static_cast<size_t>(PATH_LEN);
                SetField(run.scriptPath, argv[i]);
                run.mediaDirectory[0] = '\0';
            }
        } else if (MatchKeyword(arg, "-v")) {
            ReadSizeOption(view, arg);
            run.sizeGiven = true;
            ++i; // the argument after a size is not examined
        } else if (SameNameNoCase(arg, "-exp256")) {
            run.exportPalettes = true;
        } else if (SameNameNoCase(arg, "-test")) {
            run.testRun = true;
        }
    }
}

StartMode DispatchMode(int argc, char** argv) {
    if (argc < 2) return StartMode::Settings;
    const char* mode = argv[1];
    if (mode[0] != '/' && mode[0] != '-') return StartMode::Stop;
    switch (mode[1]) {
    case 'c':
    case 'C': return StartMode::Settings;
    case 'p':
    case 'P': return StartMode::Preview;
    case 's':
    case 'S': return StartMode::Saver;
    default: return StartMode::Stop;
    }
}

namespace {

// The decimal handle at `text` (0 when it is none); digits past what a
// handle holds are not read.
uintptr_t Handle(const char* text) {
    uintptr_t handle = 0;
    for (int i = 0; i < 20 && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        handle = handle * 10 + static_cast<uintptr_t>(text[i] - '0');
    }
    return handle;
}

// The handle after "/x:" in the mode argument, else in the next argument.
uintptr_t ModeHandle(int argc, char** argv) {
    if (argc < 2) return 0;
    const char* mode = argv[1];
    if (mode[0] != '\0' && mode[1] != '\0' && mode[2] == ':') return Handle(mode + 3);
    return argc >= 3 ? Handle(argv[2]) : 0;
}

} // namespace

uintptr_t PreviewHandle(int argc, char** argv) {
    return ModeHandle(argc, argv);
}

uintptr_t SettingsOwner(int argc, char** argv) {
    return DispatchMode(argc, argv) == StartMode::Settings ? ModeHandle(argc, argv) : 0;
}

void CentredPreviewRect(int32_t width, int32_t height, int32_t* left, int32_t* top, int32_t* right,
                        int32_t* bottom) {
    *left = width / 2 - 76;
    *top = height / 2 - 56;
    *right = width / 2 + 77;
    *bottom = height / 2 + 57;
}
