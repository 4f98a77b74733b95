#include "ports/win32/shell_win32.h"

#include "base/theme_folder.h"
#include "ports/win32/win32_platform.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

bool Win32Shell::FindLongSaverName(const char* shortName, char* longName, int size) {
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

void Win32Shell::ThemeFolder(const char* scriptName, char* folder, int size) {
    char windows[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows)) std::snprintf(windows, sizeof(windows), "C:");
    WindowsThemeFolder(windows, scriptName, folder, size);
}

void Win32Shell::ScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

int Win32Shell::Monitors(SysMonitor* monitors, int capacity) {
    struct List {
        SysMonitor* monitors;
        int capacity;
        int count;
    } list{monitors, capacity, 0};
    auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto* l = reinterpret_cast<List*>(data);
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (l->count >= l->capacity) return FALSE;
        if (!GetMonitorInfoA(monitor, &info)) return TRUE;
        const RECT& r = info.rcMonitor;
        l->monitors[l->count++] = {reinterpret_cast<uintptr_t>(monitor),
                                   r.left,
                                   r.top,
                                   r.right - r.left,
                                   r.bottom - r.top,
                                   (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&list));
    return list.count;
}

bool Win32Shell::WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    HWND window = reinterpret_cast<HWND>(handle);
    RECT client;
    if (handle == 0 || !IsWindow(window) || !GetClientRect(window, &client)) return false;
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return true;
}

// Appends `text` to the command line; false when it does not fit.
bool Win32Shell::Append(size_t& length, const char* text) {
    size_t add = std::strlen(text);
    if (length + add > COMMAND_LINE_LEN) return false;
    std::memcpy(commandLine + length, text, add + 1);
    length += add;
    return true;
}

// The command is started from its arguments, each with a blank quoted: the
// saver's own path has one ("QV Aquarium.scr"), and left bare it would split
// into two arguments and the started program would not see its "-s".
int Win32Shell::StartDetached(const char*, const char* const* argv) {
    if (!argv || !argv[0]) return 0;
    size_t length = 0;
    commandLine[0] = '\0';
    for (const char* const* arg = argv; *arg; ++arg) {
        bool blank = std::strchr(*arg, ' ') != nullptr || (*arg)[0] == '\0';
        if ((arg != argv && !Append(length, " ")) || (blank && !Append(length, "\"")) ||
            !Append(length, *arg) || (blank && !Append(length, "\""))) {
            return 0;
        }
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE; // the saver window shows itself
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

void Win32Shell::OpenFile(const char* path) {
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOW);
}
