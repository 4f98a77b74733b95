#include "ports/win32/settings_win32.h"

#include "ports/win32/wide_text.h"
#include "ports/win32/win32_platform.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int KEY_PATH_LEN = 600;
constexpr int SYSTEM_TEXT_LEN = 256;

// The section's key path; false when the names do not fit.
bool SectionKey(const char* saverName, const char* section, char* path) {
    int written = std::snprintf(path, KEY_PATH_LEN, "Software\\Tarnwell\\Glimmora\\%s\\%s",
                                saverName, section);
    return written > 0 && written < KEY_PATH_LEN;
}

// Opens the section's key, creating it (and the keys above it) when missing.
// The names are UTF-8: a name of Windows-1252 characters gives the key that
// the system's code page gave it on Western systems.
LONG OpenSection(const char* path, REGSAM access, HKEY* key) {
    *key = nullptr;
    return RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, access, nullptr, key, nullptr);
}

// The system's text for an error code, without the line break it ends with.
void SystemText(LONG code, char* text, int size) {
    wchar_t wide[SYSTEM_TEXT_LEN];
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, wide, SYSTEM_TEXT_LEN, nullptr);
    while (length > 0 && (wide[length - 1] == L'\n' || wide[length - 1] == L'\r' ||
                          wide[length - 1] == L' ' || wide[length - 1] == L'.')) {
        --length;
    }
    if (length == 0) {
        std::snprintf(text, size, "error %ld", static_cast<long>(code));
    } else {
        Utf8Into(wide, static_cast<int>(length), text, size);
    }
}

} // namespace

void Win32Settings::ReadProfile(SettingsProfile& profile) {
    HKEY key = nullptr;
    const char* open = nullptr; // the section `key` belongs to
    for (int i = 0; i < profile.count; ++i) {
        SettingsValue& v = profile.values[i];
        if (!open || std::strcmp(open, v.section) != 0) {
            if (key) RegCloseKey(key);
            key = nullptr;
            open = v.section;
            char path[KEY_PATH_LEN];
            if (!SectionKey(profile.saverName, v.section, path) ||
                OpenSection(path, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
                key = nullptr;
            }
        }
        if (!key) continue;
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof(value);
        LONG result = RegQueryValueExW(key, Wide(v.name).c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(&value), &size);
        if (result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value)) {
            v.value = static_cast<int32_t>(value);
        }
    }
    if (key) RegCloseKey(key);
}

int Win32Settings::WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) {
    HKEY key = nullptr;
    const char* open = nullptr;
    char path[KEY_PATH_LEN];
    char text[SYSTEM_TEXT_LEN];
    for (int i = 0; i < profile.count; ++i) {
        const SettingsValue& v = profile.values[i];
        if (!open || std::strcmp(open, v.section) != 0) {
            if (key) RegCloseKey(key);
            key = nullptr;
            open = v.section;
            if (!SectionKey(profile.saverName, v.section, path)) {
                std::snprintf(reason, reasonSize,
                              "the registry key for \"%s\" of %s has too long a name", v.section,
                              profile.saverName);
                return 0;
            }
            LONG result = OpenSection(path, KEY_SET_VALUE, &key);
            if (result != ERROR_SUCCESS) {
                SystemText(result, text, sizeof(text));
                std::snprintf(reason, reasonSize, "cannot open HKEY_CURRENT_USER\\%s: %s", path,
                              text);
                return 0;
            }
        }
        DWORD stored = static_cast<DWORD>(v.value);
        LONG result = RegSetValueExW(key, Wide(v.name).c_str(), 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&stored), sizeof(stored));
        if (result != ERROR_SUCCESS) {
            RegCloseKey(key);
            SystemText(result, text, sizeof(text));
            std::snprintf(reason, reasonSize, "cannot write %s in HKEY_CURRENT_USER\\%s: %s",
                          v.name, path, text);
            return 0;
        }
    }
    if (key) RegCloseKey(key);
    return 1;
}
