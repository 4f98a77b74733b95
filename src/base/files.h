// Files named by UTF-8 paths, the paths of the whole program. Windows takes
// such a path through its UTF-16 functions, whatever code page the system
// has; elsewhere the bytes are the name.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// std::fopen for a UTF-8 path.
std::FILE* OpenFile(const char* path, const char* mode);

// A filesystem path from UTF-8 text, and back.
std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);
