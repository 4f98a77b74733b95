#include "ports/headless/headless_shell.h"

#include "base/theme_folder.h"

#include <cctype>
#include <cstdio>

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

void HeadlessShell::SetSaverFile(const std::string& shortName, const std::string& longName) {
    saverFiles[Upper(shortName)] = longName;
}

void HeadlessShell::SetScreenSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
}

void HeadlessShell::SetHostWindow(uintptr_t handle, int32_t width, int32_t height) {
    hostHandle = handle;
    hostWidth = width;
    hostHeight = height;
}

int HeadlessShell::Monitors(SysMonitor* out, int capacity) {
    int n = 0;
    for (const SysMonitor& m : monitors) {
        if (n < capacity) out[n++] = m;
    }
    return n;
}

bool HeadlessShell::FindLongSaverName(const char* shortName, char* longName, int size) {
    auto found = saverFiles.find(Upper(shortName));
    if (found == saverFiles.end()) return false;
    std::snprintf(longName, static_cast<size_t>(size), "%s", found->second.c_str());
    return true;
}

void HeadlessShell::ThemeFolder(const char* scriptName, char* folder, int size) {
    if (themeRoot.empty()) {
        XdgThemeFolder(scriptName, folder, size);
    } else {
        std::snprintf(folder, static_cast<size_t>(size), "%s/%s", themeRoot.c_str(), scriptName);
    }
}

bool HeadlessShell::ThemeSearchFolders(const char* scriptName, char* list, int size) {
    if (!listsThemeFolders) return false;
    ThemeFolder(scriptName, list, size);
    return true;
}

void HeadlessShell::ScreenSize(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

bool HeadlessShell::WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    if (handle == 0 || handle != hostHandle) return false;
    *width = hostWidth;
    *height = hostHeight;
    return true;
}

int HeadlessShell::StartDetached(const char* commandLine, const char* const* argv) {
    if (failProcessStart) return 0;
    startedLines.push_back(commandLine);
    std::vector<std::string> args;
    for (; *argv; ++argv) args.push_back(*argv);
    startedArgs.push_back(std::move(args));
    return 1;
}

void HeadlessShell::OpenFile(const char* path) {
    openedFiles.push_back(path);
}

SaverStarter HeadlessShell::HowSaverStarts(char* name, int nameSize, int32_t* minutes) {
    std::snprintf(name, static_cast<size_t>(nameSize), "%s", starterName.c_str());
    *minutes = idleMinutes;
    return starter;
}

bool HeadlessShell::SetIdleStart(const char* theme, int32_t minutes, char* why, int whySize) {
    idleStarts.emplace_back(theme, minutes);
    std::snprintf(why, static_cast<size_t>(whySize), "%s", idleStartFailure.c_str());
    return idleStartFailure.empty();
}
