#include "base/file_checks.h"

#include "base/files.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool ExistsButNotAFile(const char* path) {
    std::error_code error;
    const fs::file_type type = fs::status(PathFromUtf8(path), error).type();
    // Names that cannot be looked at are left to the opening, which fails.
    if (type == fs::file_type::none || type == fs::file_type::not_found ||
        type == fs::file_type::unknown)
        return false;
    return type != fs::file_type::regular;
}

bool PathExists(const char* path) {
    std::error_code error;
    return fs::exists(fs::status(PathFromUtf8(path), error));
}

bool NameLeavesFolder(const char* name) {
    auto separator = [](char c) { return c == '/' || c == '\\'; };
    if (separator(name[0])) return true;
    const bool letter = (name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z');
    if (letter && name[1] == ':') return true; // a drive, with or without a folder after it
    int depth = 0;
    for (const char* part = name; *part;) {
        const char* end = part;
        while (*end && !separator(*end)) ++end;
        const long length = end - part;
        if (length == 2 && part[0] == '.' && part[1] == '.') {
            if (--depth < 0) return true;
        } else if (length > 0 && !(length == 1 && part[0] == '.')) {
            ++depth;
        }
        part = *end ? end + 1 : end;
    }
    return false;
}
