// Finds a theme's media file under the name the script gives it, as themes
// written on Windows name their files: in any letter case, and with
// backslashes between folder names.
#pragma once

#include <string>

// What a lookup had to do to find the file (bits).
constexpr unsigned MEDIA_PATH_BACKSLASH = 1; // a backslash was taken as a folder separator
constexpr unsigned MEDIA_PATH_CASE = 2;      // a name was matched in another letter case

// The path of the file that `path` names: `path` itself when such a file
// exists; else the path with each backslash taken as a folder separator and
// each name that is not found matched within its folder ignoring the case of
// ASCII letters (the first such entry in byte order when several match). When
// nothing matches, `path` unchanged. `fixes` (when given) receives what it took.
std::string FindMediaFile(const std::string& path, unsigned* fixes = nullptr);

// Told of every lookup of a theme's media that had to change a name: the path
// asked for, the path found and the fixes.
struct MediaPathNotice {
    void (*notice)(void* user, const char* asked, const char* found, unsigned fixes) = nullptr;
    void* user = nullptr;
};
