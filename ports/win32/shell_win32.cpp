#include "ports/win32/shell_win32.h"

#include "base/theme_folder.h"
#include "ports/win32/wide_text.h"
#include "ports/win32/win32_platform.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

bool Win32Shell::FindLongSaverName(const char* shortName, char* longName, int size) {
    if (size <= 0) return false;
    wchar_t system[MAX_PATH + 1];
    UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return false;
    const std::wstring pattern = std::wstring(system) + L"\\" + Wide(shortName) + L".SCR";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    Utf8Into(found.cFileName, -1, longName, size);
    return true;
}

void Win32Shell::ThemeFolder(const char* scriptName, char* folder, int size) {
    wchar_t windows[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH + 1);
    const std::string drive = length == 0 || length > MAX_PATH ? "C:" : Utf8(windows, 2);
    WindowsThemeFolder(drive.c_str(), scriptName, folder, size);
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
        if (!GetMonitorInfoW(monitor, &info)) return TRUE;
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

// The command is started from its arguments, each with a blank quoted: the
// saver's own path has one ("QV Aquarium.scr"), and left bare it would split
// into two arguments and the started program would not see its "-s".
int Win32Shell::StartDetached(const char*, const char* const* argv) {
    if (!argv || !argv[0]) return 0;
    std::wstring line;
    for (const char* const* arg = argv; *arg; ++arg) {
        const bool blank = std::strchr(*arg, ' ') != nullptr || (*arg)[0] == '\0';
        if (arg != argv) line += L' ';
        if (blank) line += L'"';
        line += Wide(*arg);
        if (blank) line += L'"';
        if (line.size() > static_cast<size_t>(COMMAND_LINE_LEN)) return 0;
    }
    // CreateProcessW may write into the command line it is given.
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE; // the saver window shows itself
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

void Win32Shell::OpenFile(const char* path) {
    ShellExecuteW(nullptr, L"open", Wide(path).c_str(), nullptr, nullptr, SW_SHOW);
}
