#include "app/theme_folder.h"
#include "platform/headless/headless_shell.h"
#include "platform/shell.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <vector>

namespace {

std::map<std::string, std::string> saverFiles; // upper-case short name -> long name
std::string themeRoot;
int32_t screenWidth = 800;
int32_t screenHeight = 600;
uintptr_t hostHandle = 0;
int32_t hostWidth = 0;
int32_t hostHeight = 0;
std::vector<SysMonitor> monitors; // none: a run in one window

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

void HeadlessSetSaverFile(const std::string& shortName, const std::string& longName) {
    saverFiles[Upper(shortName)] = longName;
}
void HeadlessSetThemeRoot(const std::string& root) {
    themeRoot = root;
}
void HeadlessSetScreenSize(int32_t width, int32_t height) {
    screenWidth = width;
    screenHeight = height;
}
void HeadlessSetMonitors(const std::vector<SysMonitor>& list) {
    monitors = list;
}
int SysMonitors(SysMonitor* out, int capacity) {
    int n = 0;
    for (const SysMonitor& m : monitors) {
        if (n < capacity) out[n++] = m;
    }
    return n;
}
void HeadlessSetHostWindow(uintptr_t handle, int32_t width, int32_t height) {
    hostHandle = handle;
    hostWidth = width;
    hostHeight = height;
}

bool SysFindLongSaverName(const char* shortName, char* longName, int size) {
    auto found = saverFiles.find(Upper(shortName));
    if (found == saverFiles.end()) return false;
    std::snprintf(longName, static_cast<size_t>(size), "%s", found->second.c_str());
    return true;
}

void SysThemeFolder(const char* scriptName, char* folder, int size) {
    if (themeRoot.empty()) {
        XdgThemeFolder(scriptName, folder, size);
    } else {
        std::snprintf(folder, static_cast<size_t>(size), "%s/%s", themeRoot.c_str(), scriptName);
    }
}

void SysScreenSize(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

bool SysWindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    if (handle == 0 || handle != hostHandle) return false;
    *width = hostWidth;
    *height = hostHeight;
    return true;
}
