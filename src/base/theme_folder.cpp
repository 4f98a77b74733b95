#include "base/theme_folder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

// The places of the theme in the order they are searched.
std::vector<std::string> Candidates(const char* theme, const char* ownDataDir) {
    std::vector<std::string> places;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) {
        places.push_back(ThemeBelow(dataHome, theme));
    } else {
        const char* home = std::getenv("HOME");
        places.push_back(ThemeBelow(std::string(home ? home : "") + "/.local/share", theme));
    }
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    if (ownDataDir && *ownDataDir) list += std::string(":") + ownDataDir;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        if (!dir.empty()) {
            std::string place = ThemeBelow(dir, theme);
            bool known = false;
            for (const std::string& p : places) known = known || p == place;
            if (!known) places.push_back(place);
        }
        start = end + 1;
    }
    return places;
}

} // namespace

void XdgThemeFolder(const char* theme, char* folder, int size, const char* ownDataDir) {
    std::vector<std::string> places = Candidates(theme, ownDataDir);
    const std::string* found = &places.front();
    for (const std::string& place : places) {
        if (!IsFolder(place)) continue;
        found = &place;
        break;
    }
    std::snprintf(folder, static_cast<size_t>(size), "%s", found->c_str());
}

bool XdgThemeFolders(const char* theme, char* list, int size, const char* ownDataDir) {
    std::string text;
    for (const std::string& place : Candidates(theme, ownDataDir)) text += place + "\n";
    text.pop_back();
    const size_t room = static_cast<size_t>(size);
    if (text.size() >= room) {
        // Cut at a line's end, and say that more followed.
        text.resize(room > 5 ? room - 5 : 0);
        size_t line = text.rfind('\n');
        text.resize(line == std::string::npos ? 0 : line);
        text += "\n...";
    }
    std::snprintf(list, room, "%s", text.c_str());
    return true;
}
