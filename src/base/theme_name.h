// The names a theme may have. A theme's name is the name of its folder and of
// its script (<Theme>.SS), and the saver named "QV <Theme>" plays it, on Linux
// and on Windows alike; so it must be a plain file name that both accept.
#pragma once

#include "base/paths.h"

#include <string>

// The folder Windows keeps the themes in, on the drive of the Windows folder.
constexpr char WINDOWS_THEMES_FOLDER[] = "C:\\Program Files\\Tarnwell\\Glimmora\\";

// The longest theme name, in bytes: the script's path on Windows,
// "<drive>\Program Files\Tarnwell\Glimmora\<Theme>\<Theme>.SS", then fits the
// PATH_LEN characters of the saver's paths.
constexpr int THEME_NAME_LEN = (PATH_LEN - static_cast<int>(sizeof(WINDOWS_THEMES_FOLDER) - 1) -
                                static_cast<int>(sizeof("\\.SS") - 1)) /
                               2;

// Empty when `name` can name a theme; else why it cannot, as a sentence that
// begins in lower case ("it holds a line break"). Refused: an empty name, "."
// and "..", a name that begins with a dot (hidden on Linux), folder separators,
// control characters, the characters Windows refuses (< > : " | ? *), a name
// that is not UTF-8, one that ends in a dot or a space, the device names
// Windows keeps (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case
// and also with an extension, as in CON.txt), and names longer than
// THEME_NAME_LEN bytes.
std::string ThemeNameProblem(const std::string& name);
