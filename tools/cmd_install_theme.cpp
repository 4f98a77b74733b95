// "install-theme": installs a theme folder for the current user on Linux, as
// the saver finds it: the folder goes to
// $XDG_DATA_HOME/Tarnwell/Glimmora/<Theme> (default ~/.local/share/...) and the
// saver name "QV <Theme>" becomes a link to the glimmora program in
// ~/.local/bin. The theme is checked first; one with errors is refused.
// "--uninstall" removes the folder and the link again.
#include "tool_commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char USAGE[] = "usage: glimmora-tool install-theme [--uninstall] DIR\n";

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    std::string s(suffix);
    if (text.size() < s.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        char a = text[text.size() - s.size() + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != s[i]) return false;
    }
    return true;
}

// The theme script of a folder: <folder name>.SS when there is one, else the
// only .SS file in it. Empty when there is none or the choice is not clear.
fs::path ThemeScript(const fs::path& dir, std::string& why) {
    std::error_code error;
    fs::path named;
    int scripts = 0;
    fs::path only;
    std::string folderName = dir.filename().string();
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(error) || !EndsWithNoCase(name, ".ss")) continue;
        ++scripts;
        only = entry.path();
        if (name.size() == folderName.size() + 3 &&
            name.compare(0, folderName.size(), folderName) == 0)
            named = entry.path();
    }
    if (error) {
        why = "cannot read the folder: " + error.message();
        return {};
    }
    if (!named.empty()) return named;
    if (scripts == 1) return only;
    why = scripts == 0 ? "no theme script (.SS) in the folder"
                       : "several theme scripts (.SS) and none named after the folder";
    return {};
}

fs::path HomeDir() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path();
}

fs::path ThemesHome() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    fs::path base = dataHome && *dataHome ? fs::path(dataHome) : HomeDir() / ".local" / "share";
    return base / "Tarnwell" / "Glimmora";
}

fs::path SaverLinkDir() {
    return HomeDir() / ".local" / "bin";
}

bool IsProgram(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

// The glimmora program beside this tool (an installation, or a build folder
// whose tools/ lie one level down), else the first one on $PATH.
fs::path FindPlayer() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const fs::path& dir : {self.parent_path(), self.parent_path().parent_path()}) {
            if (IsProgram(dir / "glimmora")) return dir / "glimmora";
        }
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        fs::path dir = dirs.substr(start, end - start);
        if (!dir.empty() && IsProgram(dir / "glimmora")) return dir / "glimmora";
        start = end + 1;
    }
    return {};
}

// Shell-quoted for the command line of a daemon's program list.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out + "\"";
}

int Uninstall(const std::string& theme) {
    fs::path folder = ThemesHome() / theme;
    fs::path link = SaverLinkDir() / ("QV " + theme);
    std::error_code error;
    bool removed = false;
    if (fs::is_symlink(link, error)) {
        fs::remove(link, error);
        if (error) {
            std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s\n", link.c_str(),
                         error.message().c_str());
            return 1;
        }
        std::printf("Removed %s\n", link.c_str());
        removed = true;
    }
    if (fs::is_directory(folder, error)) {
        fs::remove_all(folder, error);
        if (error) {
            std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s\n", folder.c_str(),
                         error.message().c_str());
            return 1;
        }
        std::printf("Removed %s\n", folder.c_str());
        removed = true;
    }
    if (!removed) {
        std::fprintf(stderr, "glimmora-tool: the theme %s is not installed for this user\n",
                     theme.c_str());
        return 1;
    }
    std::printf("Remove the line of \"%s\" from the programs of ~/.xscreensaver too.\n",
                theme.c_str());
    return 0;
}

int Install(const fs::path& dir, const fs::path& script, const std::string& theme) {
    std::string scriptText = script.string();
    char* checkArgs[] = {scriptText.data()};
    int firstError = CmdCheck(1, checkArgs);
    if (firstError != 0) {
        std::fprintf(stderr,
                     "glimmora-tool: the theme %s has errors (above) and is not installed\n",
                     theme.c_str());
        return 1;
    }
    fs::path player = FindPlayer();
    if (player.empty()) {
        std::fprintf(stderr, "glimmora-tool: the glimmora program is not installed: it was not "
                             "found beside glimmora-tool nor on PATH\n");
        return 1;
    }

    std::error_code error;
    fs::path folder = ThemesHome() / theme;
    fs::path link = SaverLinkDir() / ("QV " + theme);
    if (fs::exists(link, error) && !fs::is_symlink(link, error)) {
        std::fprintf(stderr, "glimmora-tool: %s exists and is not a link; not replaced\n",
                     link.c_str());
        return 1;
    }
    std::string from = fs::weakly_canonical(dir, error).string() + "/";
    std::string to = fs::weakly_canonical(folder, error).string() + "/";
    if (fs::equivalent(dir, folder, error)) {
        std::printf("The theme is already in %s\n", folder.c_str());
    } else if (to.compare(0, from.size(), from) == 0) {
        std::fprintf(stderr,
                     "glimmora-tool: %s lies inside the theme folder; not copied into itself\n",
                     folder.c_str());
        return 1;
    } else {
        fs::remove_all(folder, error);
        if (!error) fs::create_directories(folder, error);
        if (!error) fs::copy(dir, folder, fs::copy_options::recursive, error);
        // The saver opens <Theme>.SS exactly so, also where the name differs in case.
        if (!error && script.extension() != ".SS")
            fs::rename(folder / script.filename(), folder / (theme + ".SS"), error);
        if (error) {
            std::fprintf(stderr, "glimmora-tool: cannot copy the theme to %s: %s\n", folder.c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    fs::create_directories(SaverLinkDir(), error);
    fs::remove(link, error);
    fs::create_symlink(player, link, error);
    if (error) {
        std::fprintf(stderr, "glimmora-tool: cannot make the link %s: %s\n", link.c_str(),
                     error.message().c_str());
        return 1;
    }
    std::printf("Installed the theme %s in %s\n", theme.c_str(), folder.c_str());
    std::printf("and its saver %s (a link to %s).\n", link.c_str(), player.c_str());
    std::printf("Play it:  %s /s\n", Quoted(link.string()).c_str());
    std::printf("For XScreenSaver, add this line to the programs in ~/.xscreensaver:\n");
    std::printf("  %s  %s -root \\n\\\n", Quoted(theme).c_str(), Quoted(link.string()).c_str());
    return 0;
}

} // namespace

int CmdInstallTheme(int argc, char** argv) {
    bool uninstall = false;
    const char* dirArg = nullptr;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--uninstall") {
            uninstall = true;
        } else if (!dirArg && !arg.empty() && arg[0] != '-') {
            dirArg = argv[i];
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (!dirArg) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (HomeDir().empty()) {
        std::fprintf(stderr, "glimmora-tool: HOME is not set\n");
        return 1;
    }

    std::error_code error;
    fs::path dir = fs::absolute(dirArg, error).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();
    bool isFolder = fs::is_directory(dir, error);
    std::string why;
    fs::path script = isFolder ? ThemeScript(dir, why) : fs::path();
    if (uninstall) {
        // The theme of the folder's script; or the name itself for a theme
        // whose source folder is gone.
        std::string theme = !script.empty() ? script.stem().string() : dir.filename().string();
        return Uninstall(theme);
    }
    if (!isFolder) {
        std::fprintf(stderr, "glimmora-tool: %s: not a folder\n", dirArg);
        return 1;
    }
    if (script.empty()) {
        std::fprintf(stderr, "glimmora-tool: %s: %s\n", dirArg, why.c_str());
        return 1;
    }
    return Install(dir, script, script.stem().string());
}
