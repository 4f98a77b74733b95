// "install-theme": installs a theme folder for the current user on Linux, as
// the saver finds it: the folder goes to
// $XDG_DATA_HOME/Tarnwell/Glimmora/<Theme> (default ~/.local/share/...) and the
// saver name "QV <Theme>" becomes a link to the glimmora program in
// ~/.local/bin. The theme is checked first; one with errors is refused. A
// saver entry for the desktops whose screen saver lists entries (MATE, Xfce)
// goes to $XDG_DATA_HOME/applications/screensavers/glimmora-<Theme>.desktop:
// it runs the packaged program with "--theme <Theme>". "--uninstall" removes
// the folder, the link and the entry again; "--name" prints the
// name the theme would be installed under, for the Windows installer's build.
//
// A theme folder may come from a stranger: the name must be a plain file name
// (base/theme_name.h), only files and folders are copied, never what a link
// points to, and the installed copy is replaced only by a complete new one
// (copied into a hidden folder beside it, then swapped in by renaming), so a
// failure at any point leaves the installed theme as it was. Nothing is
// removed that the tool did not install.
#include "find_program.h"
#include "replace_file.h"
#include "tool_commands.h"
#include "tool_output.h"

#include "base/paths.h"
#include "base/theme_name.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char USAGE[] = "usage: glimmora-tool install-theme [--uninstall | --name] DIR\n";

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

// A name as a message shows it: in double quotes, control characters escaped.
std::string Shown(const std::string& name) {
    std::string out = "\"";
    for (unsigned char c : name) {
        if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

fs::path HomeDir() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path();
}

fs::path DataHome() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    return dataHome && *dataHome ? fs::path(dataHome) : HomeDir() / ".local" / "share";
}

fs::path ThemesHome() {
    return DataHome() / "Tarnwell" / "Glimmora";
}

fs::path SaverLinkDir() {
    return HomeDir() / ".local" / "bin";
}

// The program the desktops' screen savers run: the package's link in a
// folder they take programs from.
constexpr char DESKTOP_SAVER_PROGRAM[] = "/usr/libexec/xscreensaver/glimmora";

fs::path SaverEntry(const std::string& theme) {
    return DataHome() / "applications" / "screensavers" / ("glimmora-" + theme + ".desktop");
}

// The line that marks an entry as the tool's, for the theme.
std::string EntryMark(const std::string& theme) {
    return "X-Glimmora-Theme=" + theme;
}

// An entry the tool wrote for `theme`, which it may replace or remove.
bool IsOwnEntry(const fs::path& entry, const std::string& theme) {
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(entry, error))) return false;
    std::FILE* file = std::fopen(entry.c_str(), "r");
    if (!file) return false;
    char line[PATH_LEN * 2];
    bool own = false;
    for (int n = 0; n < 64 && !own && std::fgets(line, sizeof(line), file); ++n) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        own = text == EntryMark(theme);
    }
    std::fclose(file);
    return own;
}

// Writes the saver entry of `theme`; says why when it does not. A name with
// a character that an entry's command line would read otherwise (quotes,
// "$", "`", "\", "%") gets no entry.
void WriteSaverEntry(const std::string& theme) {
    const fs::path entry = SaverEntry(theme);
    if (theme.find_first_of("\"`$\\%") != std::string::npos) {
        std::printf("No saver entry for the desktop's screen saver: the name %s holds a character "
                    "its command line cannot pass\n",
                    Shown(theme).c_str());
        return;
    }
    std::error_code error;
    if (fs::exists(fs::symlink_status(entry, error)) && !IsOwnEntry(entry, theme)) {
        std::printf("Left %s as it is: glimmora-tool did not write it\n", entry.c_str());
        return;
    }
    fs::create_directories(entry.parent_path(), error);
    FileReplacement file;
    std::string why;
    if (!error && file.Open(entry.string(), &why)) {
        std::fprintf(file.File(),
                     "[Desktop Entry]\nType=Application\nName=Glimmora: %s\n"
                     "Comment=The Glimmora theme %s\nExec=%s --theme \"%s\" -root\n"
                     "TryExec=%s\nStartupNotify=false\nTerminal=false\n"
                     "Categories=Screensaver;\nOnlyShowIn=MATE;XFCE;\n%s\n",
                     theme.c_str(), theme.c_str(), DESKTOP_SAVER_PROGRAM, theme.c_str(),
                     DESKTOP_SAVER_PROGRAM, EntryMark(theme).c_str());
        if (file.Commit(&why)) {
            std::printf("Its entry for the screen saver of MATE and Xfce: %s\n", entry.c_str());
            return;
        }
    }
    std::fprintf(stderr, "glimmora-tool: no saver entry %s: %s\n", entry.c_str(),
                 error ? error.message().c_str() : why.c_str());
}

// The glimmora program beside this tool, else the first one on $PATH.
fs::path FindPlayer() {
    return FindProgram("glimmora");
}

std::string ErrnoText() {
    return std::strerror(errno);
}

// True when `inner` is `outer` or lies below it (both canonical).
bool LiesIn(const fs::path& inner, const fs::path& outer) {
    std::string a = inner.string();
    std::string b = outer.string();
    if (!b.empty() && b.back() != '/') b += '/';
    return a + "/" == b || a.compare(0, b.size(), b) == 0;
}

// A link the tool made, or may replace: a link to a program named glimmora.
bool IsPlayerLink(const fs::path& link) {
    std::error_code error;
    return fs::is_symlink(link, error) && fs::read_symlink(link, error).filename() == "glimmora";
}

// A folder the tool installed, or may replace: a folder, not a link, that
// holds the theme's script.
bool IsInstalledTheme(const fs::path& folder, const std::string& theme, std::string& why) {
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0) {
        why = "cannot be read: " + ErrnoText();
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        why = "is a link, not a theme folder glimmora-tool installed";
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        why = "is not a folder";
        return false;
    }
    fs::path script = folder / (theme + ".SS");
    if (lstat(script.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "holds no " + theme + ".SS, so it is no theme glimmora-tool installed";
        return false;
    }
    return true;
}

// A new empty folder beside `target`, hidden, named after it: ".<name>.<kind>-XXXXXX".
fs::path MakeHiddenFolder(const fs::path& target, const char* kind) {
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + "." + kind + "-XXXXXX"))
            .string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) return {};
    return fs::path(buffer.data());
}

// Copies the folder tree `from` to the new folder `to`: folders and regular
// files only, never following a link. False with `why` (naming the file) at the
// first thing that is not a file or folder, cannot be read or written, or whose
// copy's path would be longer than the system allows.
class TreeCopy {
  public:
    bool Folder(const std::string& from, const std::string& to) {
        DIR* dir = opendir(from.c_str());
        if (!dir) return Fail(from + ": cannot read the folder: " + ErrnoText());
        std::vector<std::string> names;
        errno = 0;
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
            errno = 0;
        }
        const int readError = errno;
        closedir(dir);
        if (readError != 0)
            return Fail(from + ": cannot read the folder: " + std::strerror(readError));
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            if (!Entry(from + "/" + name, to + "/" + name)) return false;
        }
        return true;
    }

    const std::string& Why() const { return why; }

  private:
    bool Fail(const std::string& text) {
        why = text;
        return false;
    }

    bool Entry(const std::string& from, const std::string& to) {
        if (to.size() >= PATH_MAX) {
            return Fail(from + ": its copy's path would be longer than the " +
                        std::to_string(PATH_MAX - 1) + " characters the system allows");
        }
        struct stat info;
        if (lstat(from.c_str(), &info) != 0) return Fail(from + ": " + ErrnoText());
        if (S_ISLNK(info.st_mode))
            return Fail(from + " is a symbolic link; a theme holds only files and folders");
        if (S_ISFIFO(info.st_mode))
            return Fail(from + " is a FIFO; a theme holds only files and folders");
        if (S_ISSOCK(info.st_mode))
            return Fail(from + " is a socket; a theme holds only files and folders");
        if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
            return Fail(from + " is a device; a theme holds only files and folders");
        if (S_ISDIR(info.st_mode)) {
            if (mkdir(to.c_str(), S_IRWXU) != 0)
                return Fail("cannot make the folder " + to + ": " + ErrnoText());
            if (!Folder(from, to)) return false;
            // Its own mode, kept writable for the user who replaces or removes it.
            chmod(to.c_str(), (info.st_mode & 0777) | S_IRWXU);
            return true;
        }
        if (!S_ISREG(info.st_mode))
            return Fail(from + " is neither a file nor a folder; a theme holds only those");
        return File(from, to);
    }

    // A regular file, read without following a link or waiting on a FIFO
    // swapped in since it was looked at, and written in full to a new file.
    bool File(const std::string& from, const std::string& to) {
        int in = open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (in < 0) return Fail(from + ": cannot read it: " + ErrnoText());
        struct stat info;
        if (fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
            close(in);
            return Fail(from + " is not a regular file; a theme holds only files and folders");
        }
        int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0) {
            std::string text = "cannot write " + to + ": " + ErrnoText();
            close(in);
            return Fail(text);
        }
        std::string failure;
        char buffer[65536];
        off_t copied = 0;
        for (;;) {
            ssize_t got = read(in, buffer, sizeof(buffer));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                failure = from + ": cannot read it: " + ErrnoText();
                break;
            }
            if (got == 0) break;
            for (ssize_t done = 0; done < got && failure.empty();) {
                ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
                if (put < 0 && errno == EINTR) continue;
                if (put <= 0) failure = "cannot write " + to + ": " + ErrnoText();
                if (put > 0) done += put;
            }
            if (!failure.empty()) break;
            copied += got;
            if (copied > info.st_size) break; // growing: refused below
        }
        if (failure.empty() && copied != info.st_size)
            failure = from + " changed while it was copied";
        if (failure.empty() && fsync(out) != 0) failure = "cannot write " + to + ": " + ErrnoText();
        if (failure.empty()) fchmod(out, (info.st_mode & 0777) | S_IRUSR | S_IWUSR);
        close(in);
        if (close(out) != 0 && failure.empty()) failure = "cannot write " + to + ": " + ErrnoText();
        return failure.empty() || Fail(failure);
    }

    std::string why;
};

// Removes a folder the tool made or moved aside; says so when it cannot.
void RemoveOwnFolder(const fs::path& folder) {
    std::error_code error;
    fs::remove_all(folder, error);
    if (error) {
        std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s; remove it by hand\n",
                     folder.c_str(), error.message().c_str());
    }
}

// Puts `fresh` in place of `target`, which exists or not. When `target`
// existed, `aside` receives where its old content now is. False with errno set
// when nothing changed.
bool SwapIn(const fs::path& fresh, const fs::path& target, bool targetExists, fs::path& aside) {
    if (!targetExists) {
        if (renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        return errno == EINVAL && rename(fresh.c_str(), target.c_str()) == 0;
    }
    // One atomic exchange where the file system offers it...
    if (renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        aside = fresh;
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // ...else the old one aside (onto an empty folder of its own), the new one
    // in, and the old one back when that fails.
    fs::path old = MakeHiddenFolder(target, "old");
    if (old.empty()) return false;
    if (rename(target.c_str(), old.c_str()) != 0) {
        int saved = errno;
        rmdir(old.c_str());
        errno = saved;
        return false;
    }
    if (rename(fresh.c_str(), target.c_str()) != 0) {
        int saved = errno;
        rename(old.c_str(), target.c_str());
        errno = saved;
        return false;
    }
    aside = old;
    return true;
}

// The theme named by the argument of --uninstall: the theme of the folder's
// script when it names a theme folder, else the argument's last name as given.
std::string UninstallName(const std::string& arg) {
    std::error_code error;
    fs::path dir = fs::absolute(arg, error).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();
    std::string why;
    if (fs::is_directory(dir, error)) {
        fs::path script = ThemeScript(dir, why);
        if (!script.empty()) return script.stem().string();
    }
    std::string name = arg;
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    size_t slash = name.rfind('/');
    return slash == std::string::npos || name == "/" ? name : name.substr(slash + 1);
}

int Uninstall(const std::string& arg) {
    std::string theme = UninstallName(arg);
    if (std::string why = ThemeNameProblem(theme); !why.empty()) {
        std::fprintf(stderr, "glimmora-tool: %s names no theme: %s; nothing removed\n",
                     Shown(arg).c_str(), why.c_str());
        return 1;
    }
    fs::path folder = ThemesHome() / theme;
    fs::path link = SaverLinkDir() / ("QV " + theme);
    std::error_code error;
    const bool hasFolder = fs::exists(fs::symlink_status(folder, error));
    std::string why;
    if (hasFolder && !IsInstalledTheme(folder, theme, why)) {
        std::fprintf(stderr, "glimmora-tool: %s %s; not removed\n", folder.c_str(), why.c_str());
        return 1;
    }
    const bool hasLink = IsPlayerLink(link);
    const fs::path entry = SaverEntry(theme);
    const bool hasEntry = IsOwnEntry(entry, theme);
    if (!hasFolder && !hasLink && !hasEntry) {
        std::fprintf(stderr, "glimmora-tool: the theme %s is not installed for this user\n",
                     Shown(theme).c_str());
        return 1;
    }
    if (hasLink) {
        fs::remove(link, error);
        if (error) {
            std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s\n", link.c_str(),
                         error.message().c_str());
            return 1;
        }
        std::printf("Removed %s\n", link.c_str());
    } else if (fs::exists(fs::symlink_status(link, error))) {
        std::printf("Left %s as it is: it is not a link to glimmora\n", link.c_str());
    }
    if (hasEntry) {
        if (unlink(entry.c_str()) != 0) {
            std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s\n", entry.c_str(),
                         ErrnoText().c_str());
            return 1;
        }
        std::printf("Removed %s\n", entry.c_str());
    }
    if (hasFolder) {
        // The theme goes at once, by a rename; then its files.
        fs::path aside = MakeHiddenFolder(folder, "old");
        if (aside.empty() || rename(folder.c_str(), aside.c_str()) != 0) {
            std::fprintf(stderr, "glimmora-tool: cannot remove %s: %s\n", folder.c_str(),
                         ErrnoText().c_str());
            if (!aside.empty()) rmdir(aside.c_str());
            return 1;
        }
        RemoveOwnFolder(aside);
        std::printf("Removed %s\n", folder.c_str());
    }
    std::printf("Remove the line of \"%s\" from the programs of ~/.xscreensaver too.\n",
                theme.c_str());
    return 0;
}

int Install(const fs::path& dir, const fs::path& script, const std::string& theme) {
    const fs::path themes = ThemesHome();
    const fs::path folder = themes / theme;
    const fs::path link = SaverLinkDir() / ("QV " + theme);
    std::error_code error;

    // Where it goes: a script path the saver can open, no folder inside the
    // other, nothing replaced that the tool did not install.
    const std::string installedScript = (folder / (theme + ".SS")).string();
    if (installedScript.size() > static_cast<size_t>(PATH_LEN)) {
        std::fprintf(stderr,
                     "glimmora-tool: the theme %s is not installed: its script would be %s, "
                     "longer than the %d characters the saver opens\n",
                     Shown(theme).c_str(), installedScript.c_str(), PATH_LEN);
        return 1;
    }
    const fs::path from = fs::canonical(dir, error);
    if (error) {
        std::fprintf(stderr, "glimmora-tool: %s: %s\n", dir.c_str(), error.message().c_str());
        return 1;
    }
    const fs::path to = fs::weakly_canonical(folder, error);
    if (error) {
        std::fprintf(stderr, "glimmora-tool: %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    const bool inPlace = from == to;
    if (!inPlace && LiesIn(to, from)) {
        std::fprintf(stderr,
                     "glimmora-tool: %s lies inside the theme folder; not copied into itself\n",
                     folder.c_str());
        return 1;
    }
    if (!inPlace && LiesIn(from, to)) {
        std::fprintf(stderr,
                     "glimmora-tool: %s lies inside the installed theme %s, which installing "
                     "replaces; copy it elsewhere first\n",
                     dir.c_str(), folder.c_str());
        return 1;
    }
    const bool replacing = fs::exists(fs::symlink_status(folder, error));
    std::string why;
    if (replacing && !inPlace && !IsInstalledTheme(folder, theme, why)) {
        std::fprintf(stderr, "glimmora-tool: %s %s; not replaced\n", folder.c_str(), why.c_str());
        return 1;
    }
    if (fs::exists(fs::symlink_status(link, error)) && !IsPlayerLink(link)) {
        std::fprintf(stderr, "glimmora-tool: %s exists and is no link to glimmora; not replaced\n",
                     link.c_str());
        return 1;
    }

    std::string scriptText = script.string();
    char* checkArgs[] = {scriptText.data()};
    if (CmdCheck(1, checkArgs) != 0) {
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

    // The new copy, complete, beside the old one.
    fs::path fresh;
    if (inPlace) {
        std::printf("The theme is already in %s\n", folder.c_str());
    } else {
        fs::create_directories(themes, error);
        fresh = error ? fs::path() : MakeHiddenFolder(folder, "new");
        if (fresh.empty()) {
            std::fprintf(stderr, "glimmora-tool: cannot make a folder in %s: %s\n", themes.c_str(),
                         error ? error.message().c_str() : ErrnoText().c_str());
            return 1;
        }
        TreeCopy copy;
        bool copied = copy.Folder(from.string(), fresh.string());
        // The saver opens <Theme>.SS exactly so, also where the name differs in case.
        if (copied && script.filename() != theme + ".SS" &&
            rename((fresh / script.filename()).c_str(), (fresh / (theme + ".SS")).c_str()) != 0) {
            copied = false;
            std::fprintf(stderr, "glimmora-tool: cannot rename the script in %s: %s\n",
                         fresh.c_str(), ErrnoText().c_str());
        } else if (!copied) {
            std::fprintf(stderr, "glimmora-tool: %s\n", copy.Why().c_str());
        }
        chmod(fresh.c_str(), 0755);
        if (!copied) {
            RemoveOwnFolder(fresh);
            std::fprintf(stderr, "glimmora-tool: the theme %s is not installed%s\n",
                         Shown(theme).c_str(),
                         replacing ? "; the installed copy is unchanged" : "");
            return 1;
        }
    }

    // The saver's link, made under a hidden name and renamed into place.
    fs::create_directories(SaverLinkDir(), error);
    fs::path newLink;
    for (int attempt = 0; attempt < 100 && newLink.empty(); ++attempt) {
        fs::path candidate = SaverLinkDir() / (".QV " + theme + ".new-" + std::to_string(getpid()) +
                                               "-" + std::to_string(attempt));
        if (symlink(player.c_str(), candidate.c_str()) == 0)
            newLink = candidate;
        else if (errno != EEXIST)
            break;
    }
    if (newLink.empty()) {
        std::fprintf(stderr, "glimmora-tool: cannot make the link %s: %s\n", link.c_str(),
                     ErrnoText().c_str());
        if (!fresh.empty()) RemoveOwnFolder(fresh);
        return 1;
    }

    // The swap: the new copy in, the link in; the old copy back when the link fails.
    fs::path aside;
    if (!fresh.empty() && !SwapIn(fresh, folder, replacing, aside)) {
        std::fprintf(stderr, "glimmora-tool: cannot put the theme in %s: %s\n", folder.c_str(),
                     ErrnoText().c_str());
        unlink(newLink.c_str());
        RemoveOwnFolder(fresh);
        return 1;
    }
    if (rename(newLink.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "glimmora-tool: cannot make the link %s: %s\n", link.c_str(),
                     ErrnoText().c_str());
        unlink(newLink.c_str());
        if (!fresh.empty()) {
            fs::path back;
            if (replacing) {
                SwapIn(aside, folder, true, back);
                RemoveOwnFolder(back);
            } else {
                RemoveOwnFolder(folder);
            }
        }
        return 1;
    }
    if (!aside.empty()) RemoveOwnFolder(aside);

    std::printf("Installed the theme %s in %s\n", theme.c_str(), folder.c_str());
    std::printf("and its saver %s (a link to %s).\n", link.c_str(), player.c_str());
    std::printf("Play it:  %s /s\n", ShellQuote(link.string()).c_str());
    WriteSaverEntry(theme);
    std::printf("For XScreenSaver, add this line to the programs in ~/.xscreensaver:\n");
    std::printf("  \"%s\"  %s -root \\n\\\n", theme.c_str(), ShellQuote(link.string()).c_str());
    return 0;
}

} // namespace

int CmdInstallTheme(int argc, char** argv) {
    bool uninstall = false;
    bool nameOnly = false;
    const char* dirArg = nullptr;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--uninstall" && !nameOnly) {
            uninstall = true;
        } else if (arg == "--name" && !uninstall) {
            nameOnly = true;
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
    if (!nameOnly && HomeDir().empty()) {
        std::fprintf(stderr, "glimmora-tool: HOME is not set\n");
        return 1;
    }
    if (uninstall) return Uninstall(dirArg);

    std::error_code error;
    fs::path dir = fs::absolute(dirArg, error).lexically_normal();
    if (!dir.has_filename()) dir = dir.parent_path();
    if (!fs::is_directory(dir, error)) {
        std::fprintf(stderr, "glimmora-tool: %s: not a folder\n", dirArg);
        return 1;
    }
    std::string why;
    fs::path script = ThemeScript(dir, why);
    if (script.empty()) {
        std::fprintf(stderr, "glimmora-tool: %s: %s\n", dirArg, why.c_str());
        return 1;
    }
    const std::string theme = script.stem().string();
    if (std::string problem = ThemeNameProblem(theme); !problem.empty()) {
        std::fprintf(stderr,
                     "glimmora-tool: %s: the theme name %s (of the script %s) cannot be used: "
                     "%s\n",
                     dirArg, Shown(theme).c_str(), Shown(script.filename().string()).c_str(),
                     problem.c_str());
        return 1;
    }
    if (nameOnly) {
        std::printf("%s\n", theme.c_str());
        return 0;
    }
    return Install(dir, script, theme);
}
