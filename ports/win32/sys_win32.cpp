// Message boxes and the millisecond clock of the Windows platform.
#include "platform/sys.h"
#include "platform/win32/win32_platform.h"

#include <mmsystem.h>

void SysMessageBox(const char* caption, const char* text) {
    // Owned by no window: a full-screen saver closes when the box takes the
    // activation, and an owned box would go with it. Topmost, so that the
    // saver window does not hide it meanwhile.
    MessageBoxA(nullptr, text, caption, MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

void SysLogMessage(const char* caption, const char* text) {
    // A saver has no console; nothing shows on the screen.
    OutputDebugStringA(caption ? caption : "");
    OutputDebugStringA(": ");
    OutputDebugStringA(text ? text : "");
    OutputDebugStringA("\n");
}

uint32_t SysMilliseconds() {
    return timeGetTime();
}
