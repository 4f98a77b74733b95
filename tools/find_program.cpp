#include "find_program.h"

#include <cstdlib>
#include <string>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool IsProgram(const fs::path& path) {
    std::error_code error;
#ifdef _WIN32
    return fs::is_regular_file(path, error);
#else
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
#endif
}

} // namespace

fs::path FindProgram(const char* name) {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        for (const fs::path& dir : {self.parent_path(), self.parent_path().parent_path()}) {
            if (IsProgram(dir / name)) return dir / name;
        }
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        fs::path dir = dirs.substr(start, end - start);
        if (!dir.empty() && IsProgram(dir / name)) return dir / name;
        start = end + 1;
    }
    return {};
}
