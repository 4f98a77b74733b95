// Limits and separators of file paths, shared by every layer.
#pragma once

constexpr int PATH_LEN = 260;

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif
