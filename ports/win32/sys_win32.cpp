#include "ports/win32/sys_win32.h"

#include "ports/win32/wide_text.h"
#include "ports/win32/win32_platform.h"

#include <mmsystem.h>

Win32System::Win32System() {
    timeBeginPeriod(1);
}

Win32System::~Win32System() {
    timeEndPeriod(1);
}

void Win32System::ShowMessageBox(const char* caption, const char* text) {
    // Owned by no window: a full-screen saver closes when the box takes the
    // activation, and an owned box would go with it. Topmost, so that the
    // saver window does not hide it meanwhile.
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(),
                MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

void Win32System::LogMessage(const char* caption, const char* text) {
    // A saver has no console; nothing shows on the screen.
    const std::wstring line = Wide(caption) + L": " + Wide(text) + L"\n";
    OutputDebugStringW(line.c_str());
}

uint32_t Win32System::Milliseconds() {
    return timeGetTime();
}
