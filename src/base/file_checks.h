// Checks on the names a theme gives its files, made before anything is
// opened: a theme is shared between people, so its names are not trusted.
#pragma once

// The loaders' message for a name that is not a regular file.
constexpr const char NOT_A_FILE_FORMAT[] = "Not a file: %s";

// True when `path` names something that exists but is not a regular file: a
// folder, a device, a FIFO, a socket. Such a name is never opened (opening a
// FIFO waits for a writer; a device may never end). Links are followed.
bool ExistsButNotAFile(const char* path);
// True when `path` names anything at all (a file or not); nothing is opened.
bool PathExists(const char* path);

// True when a media name as a script writes it leaves the theme's folder: an
// absolute name (a root, a drive letter) or one whose ".." parts climb above
// the folder. Slashes and backslashes both separate names.
bool NameLeavesFolder(const char* name);
