#include "replace_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <random>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string CannotWrite(const std::string& reason) {
    return "cannot write it (" + reason + ")";
}

// A name of its own in the target's folder rather than one made from the
// target's name, which may be as long as a name can be.
std::string TemporaryPattern(const std::string& target) {
    const fs::path parent = fs::path(target).parent_path();
    return (parent.empty() ? std::string() : parent.string() + "/") + ".glimmora-XXXXXX";
}

} // namespace

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    if (file) std::fclose(file);
    file = nullptr;
    if (!temporary.empty()) std::remove(temporary.c_str());
    temporary.clear();
}

bool FileReplacement::Open(const std::string& path, std::string* why) {
    Discard();
    target = path;
    std::string name = TemporaryPattern(path);
#ifdef _WIN32
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        const unsigned value = seed();
        for (size_t i = name.size() - 6; i < name.size(); ++i)
            name[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[(value >> (i % 6 * 5)) % 36];
        // "x": fails when the name exists, so nothing of the user's is overwritten.
        file = std::fopen(name.c_str(), "wbx");
        if (!file && errno != EEXIST) break;
    }
#else
    const int fd = mkstemp(name.data());
    if (fd >= 0) {
        file = fdopen(fd, "wb");
        if (!file) close(fd);
    }
#endif
    if (!file) {
        *why = CannotWrite(std::strerror(errno));
        if (std::filesystem::exists(name)) std::remove(name.c_str());
        return false;
    }
    temporary = name;
    return true;
}

bool FileReplacement::Commit(std::string* why) {
    if (!file) {
        *why = CannotWrite("nothing was written");
        return false;
    }
    bool ok = !std::ferror(file) && std::fflush(file) == 0;
#ifndef _WIN32
    ok = ok && fsync(fileno(file)) == 0;
#endif
    int error = ok ? 0 : errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    file = nullptr;
    if (!ok) {
        *why = CannotWrite(std::strerror(error ? error : EIO));
        Discard();
        return false;
    }
#ifndef _WIN32
    // The file replaced keeps its mode; a new one has the mode the user's
    // umask gives new files.
    struct stat old = {};
    mode_t mode;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (chmod(temporary.c_str(), mode) != 0) {
        *why = CannotWrite(std::strerror(errno));
        Discard();
        return false;
    }
#endif
    std::error_code failed;
    fs::rename(temporary, target, failed);
    if (failed) {
        *why = CannotWrite(failed.message());
        Discard();
        return false;
    }
    temporary.clear();
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}
