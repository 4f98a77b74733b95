// A stand-in for the screen-saver control panel's preview area: a window of
// 200 by 150 client pixels that starts "<saver> /p <its handle>", the way
// Windows starts a preview, and reports what happened.
//
//   preview-host <saver> <report file> [<milliseconds>]
//
// After the given time (default 3000 ms) it sends input to the saver's window
// (which a preview ignores), notes whether the saver still runs, samples the
// colour at the centre of its client area, then closes itself, which destroys
// the preview, and writes "running=<0|1> pixel=<RRGGBB> child=<0|1>
// size=<w>x<h> exit=<code>" to the report file.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The arguments in UTF-16: a saver's name may hold any character.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const wchar_t* saver = argv[1];
    const wchar_t* reportPath = argv[2];
    DWORD wait = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 3000;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "GlimmoraPreviewHost";
    RegisterClassA(&wc);
    RECT frame = {0, 0, 200, 150};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowA("GlimmoraPreviewHost", "Preview host",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
    if (!host) return 3;
    Pump(200);

    wchar_t line[1024];
    std::swprintf(line, 1024, L"\"%ls\" /p %llu", saver,
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 4;
    }
    Pump(wait);

    HWND child = GetWindow(host, GW_CHILD);
    if (child) {
        // Input that would end a full-screen saver.
        PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
    }
    Pump(1000);
    bool running = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
    COLORREF colour = CLR_INVALID;
    RECT client = {0, 0, 0, 0};
    if (child) {
        GetClientRect(child, &client);
        HDC dc = GetDC(child);
        colour = GetPixel(dc, 100, 75);
        ReleaseDC(child, dc);
    }

    DestroyWindow(host);
    DWORD code = 259;
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    // Written beside the report and renamed over it, so that a reader never
    // sees half a report, nor an old one replaced by a failed write.
    std::wstring partial = std::wstring(reportPath) + L".part";
    std::FILE* report = _wfopen(partial.c_str(), L"w");
    if (!report) return 5;
    const bool written =
        std::fprintf(report, "running=%d pixel=%02X%02X%02X child=%d size=%ldx%ld exit=%lu\n",
                     running ? 1 : 0, GetRValue(colour), GetGValue(colour), GetBValue(colour),
                     child ? 1 : 0, static_cast<long>(client.right),
                     static_cast<long>(client.bottom), static_cast<unsigned long>(code)) > 0;
    if (std::fclose(report) != 0 || !written ||
        !MoveFileExW(partial.c_str(), reportPath, MOVEFILE_REPLACE_EXISTING)) {
        _wremove(partial.c_str());
        return 5;
    }
    return 0;
}
