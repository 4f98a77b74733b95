#include "output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string Reason(const char* what, int code) {
    return std::string(what) + " (" + std::strerror(code) + ")";
}

} // namespace

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::Discard() {
    if (file) std::fclose(file);
    file = nullptr;
    if (!temporary.empty()) unlink(temporary.c_str());
    temporary.clear();
}

bool OutputFile::Open(const std::string& path, std::string* error) {
    Discard();
    target = path;
    const size_t slash = path.rfind('/');
    // A name of its own rather than one made from the output's, which may be
    // as long as a name can be.
    std::string name = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
                       ".glimmora-import-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = Reason("cannot write it", errno);
        return false;
    }
    temporary = name;
    file = fdopen(fd, "wb");
    if (!file) {
        *error = Reason("cannot write it", errno);
        close(fd);
        Discard();
        return false;
    }
    return true;
}

bool OutputFile::Commit(std::string* error) {
    if (!file) {
        *error = "cannot write it";
        return false;
    }
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
    const bool written = !std::ferror(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    int code = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) code = errno;
    file = nullptr;
    if (!written || !closed) {
        *error = Reason("cannot write it", code);
        Discard();
        return false;
    }
    if (chmod(temporary.c_str(), mode) != 0 ||
        std::rename(temporary.c_str(), target.c_str()) != 0) {
        *error = Reason("cannot write it", errno);
        Discard();
        return false;
    }
    temporary.clear();
    return true;
}
