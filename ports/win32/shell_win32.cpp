// What start-up learns from Windows: the saver's long name in the system
// folder, the theme folder below the Windows drive, the screen and host sizes.
#include "base/theme_folder.h"
#include "platform/shell.h"
#include "platform/win32/win32_platform.h"

#include <cstdio>
#include <cstring>

bool SysFindLongSaverName(const char* shortName, char* longName, int size) {
    if (size <= 0) return false;
    char system[MAX_PATH + 1];
    UINT length = GetSystemDirectoryA(system, sizeof(system));
    if (length == 0 || length >= sizeof(system)) return false;
    char pattern[2 * MAX_PATH + 8];
    int written = std::snprintf(pattern, sizeof(pattern), "%s\\%s.SCR", system, shortName);
    if (written < 0 || static_cast<size_t>(written) >= sizeof(pattern)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    std::snprintf(longName, static_cast<size_t>(size), "%s", found.cFileName);
    return true;
}

void SysThemeFolder(const char* scriptName, char* folder, int size) {
    char windows[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows)) std::snprintf(windows, sizeof(windows), "C:");
    WindowsThemeFolder(windows, scriptName, folder, size);
}

void SysScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

bool SysWindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    HWND window = reinterpret_cast<HWND>(handle);
    RECT client;
    if (handle == 0 || !IsWindow(window) || !GetClientRect(window, &client)) return false;
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return true;
}
