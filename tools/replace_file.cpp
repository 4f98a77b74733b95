#include "replace_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

} // namespace

FileReplacement::~FileReplacement() {
    if (file) std::fclose(file);
    if (!temporary.empty()) std::remove(temporary.c_str());
}

bool FileReplacement::Open(const std::string& path, std::string* why) {
    target = path;
    const fs::path parent = fs::path(path).parent_path();
    const std::string base = fs::path(path).filename().string();
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof(suffix), ".%08x", static_cast<unsigned>(random()));
        const fs::path name = parent / ("." + base + suffix + ".tmp");
        // "x": fails when the name exists, so nothing of the user's is overwritten.
        file = std::fopen(name.string().c_str(), "wbx");
        if (file) {
            temporary = name.string();
            return true;
        }
        if (errno != EEXIST) break;
    }
    *why = "cannot create a file in the folder of " + path + " (" + Reason(errno) + ")";
    return false;
}

bool FileReplacement::Commit(std::string* why) {
    if (!file) {
        *why = "nothing was written";
        return false;
    }
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    int error = ok ? 0 : errno;
#ifndef _WIN32
    if (ok && fsync(fileno(file)) != 0) {
        ok = false;
        error = errno;
    }
#endif
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    file = nullptr;
    if (!ok) {
        *why = "cannot write " + target + " (" + Reason(error ? error : EIO) + ")";
        return false;
    }
    std::error_code failed;
    fs::rename(temporary, target, failed);
    if (failed) {
        *why = "cannot replace " + target + " (" + failed.message() + ")";
        return false;
    }
    temporary.clear();
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}
