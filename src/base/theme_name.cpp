#include "base/theme_name.h"

#include "base/utf8.h"

#include <cstdio>
#include <cstring>

namespace {

// Device names Windows keeps in every folder, whatever follows a dot; the
// superscript digits ¹ ² ³ count as digits there too.
const char* const DEVICE_NAMES[] = {
    "CON",  "PRN",  "AUX",  "NUL",         "CONIN$",      "CONOUT$",
    "COM1", "COM2", "COM3", "COM4",        "COM5",        "COM6",
    "COM7", "COM8", "COM9", "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3",
    "LPT1", "LPT2", "LPT3", "LPT4",        "LPT5",        "LPT6",
    "LPT7", "LPT8", "LPT9", "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3",
};

// The device name that `name` is, before its first dot and trailing blanks; null when none.
const char* DeviceName(const std::string& name) {
    size_t end = name.find('.');
    if (end == std::string::npos) end = name.size();
    while (end > 0 && name[end - 1] == ' ') --end;
    for (const char* device : DEVICE_NAMES) {
        if (std::strlen(device) != end) continue;
        bool same = true;
        for (size_t i = 0; i < end && same; ++i) {
            char c = name[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            same = c == device[i];
        }
        if (same) return device;
    }
    return nullptr;
}

} // namespace

std::string ThemeNameProblem(const std::string& name) {
    if (name.empty()) return "it is empty";
    if (name == "." || name == "..") return "\"" + name + "\" names a folder, not a file";
    for (size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\') return "it holds a folder separator (/ or \\)";
        if (c == '\n' || c == '\r') return "it holds a line break";
        if (c == '\t') return "it holds a tab";
        if (c < 0x20 || c == 0x7F) {
            char text[48];
            std::snprintf(text, sizeof(text), "it holds the control character 0x%02X", c);
            return text;
        }
        if (std::strchr("<>:\"|?*", c)) {
            return std::string("it holds the character ") + static_cast<char>(c) +
                   ", which Windows does not allow in file names";
        }
        const size_t length = Utf8SequenceLength(
            reinterpret_cast<const unsigned char*>(name.data()) + i, name.size() - i);
        if (length == 0) return "it is not UTF-8 text";
        i += length;
    }
    if (name[0] == '.') return "it begins with a dot, which hides it on Linux";
    if (name.back() == '.' || name.back() == ' ')
        return "it ends in a dot or a blank, which Windows drops from file names";
    if (const char* device = DeviceName(name)) {
        return std::string(device) +
               " is the name of a device on Windows, also with an extension after it";
    }
    if (name.size() > static_cast<size_t>(THEME_NAME_LEN)) {
        return "it is longer than " + std::to_string(THEME_NAME_LEN) +
               " bytes: the path of its script on Windows, <drive>\\Program "
               "Files\\Tarnwell\\Glimmora\\<Theme>\\<Theme>.SS, would be longer than " +
               std::to_string(PATH_LEN) + " characters";
    }
    return {};
}
