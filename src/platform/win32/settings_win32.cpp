// The settings store in the registry, one REG_DWORD per value below
// HKEY_CURRENT_USER, key Software\Tarnwell\Glimmora\<saverName>\<section>.
#include "platform/settings_backend.h"
#include "platform/win32/win32_platform.h"

#include <cstdio>

namespace {

constexpr int KEY_PATH_LEN = 600;

// The section's key path; false when the names do not fit.
bool SectionKey(const char* saverName, const char* section, char* path) {
    int written = std::snprintf(path, KEY_PATH_LEN, "Software\\Tarnwell\\Glimmora\\%s\\%s",
                                saverName, section);
    return written > 0 && written < KEY_PATH_LEN;
}

// Opens the section's key, creating it (and the keys above it) when missing.
HKEY OpenSection(const char* saverName, const char* section, REGSAM access) {
    char path[KEY_PATH_LEN];
    if (!SectionKey(saverName, section, path)) return nullptr;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

} // namespace

int32_t SettingsReadInt(const char* saverName, const char* section, const char* name,
                        int32_t defaultValue) {
    HKEY key = OpenSection(saverName, section, KEY_QUERY_VALUE);
    if (!key) return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return defaultValue;
    return static_cast<int32_t>(value);
}

void SettingsWriteInt(const char* saverName, const char* section, const char* name, int32_t value) {
    HKEY key = OpenSection(saverName, section, KEY_SET_VALUE);
    if (!key) return;
    DWORD stored = static_cast<DWORD>(value);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof(stored));
    RegCloseKey(key);
}
