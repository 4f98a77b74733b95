#include "base/theme_folder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

void WindowsThemeFolder(const char* windowsDirectory, const char* theme, char* folder, int size) {
    char drive[3] = {0, 0, 0};
    for (int i = 0; i < 2 && windowsDirectory[i]; ++i) drive[i] = windowsDirectory[i];
    std::snprintf(folder, static_cast<size_t>(size), "%s\\Program Files\\Tarnwell\\Glimmora\\%s",
                  drive, theme);
}

namespace {

std::string ThemeBelow(const std::string& dataDir, const char* theme) {
    return dataDir + "/Tarnwell/Glimmora/" + theme;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace

void XdgThemeFolder(const char* theme, char* folder, int size) {
    std::string first;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) {
        first = ThemeBelow(dataHome, theme);
    } else {
        const char* home = std::getenv("HOME");
        first = ThemeBelow(std::string(home ? home : "") + "/.local/share", theme);
    }
    std::string found = IsFolder(first) ? first : "";
    if (found.empty()) {
        const char* dirs = std::getenv("XDG_DATA_DIRS");
        std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
        size_t start = 0;
        while (found.empty() && start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            std::string dir = list.substr(start, end - start);
            if (!dir.empty() && IsFolder(ThemeBelow(dir, theme))) found = ThemeBelow(dir, theme);
            start = end + 1;
        }
    }
    std::snprintf(folder, static_cast<size_t>(size), "%s", (found.empty() ? first : found).c_str());
}
