// Message boxes and the millisecond clock of the Windows platform.
#include "platform/sys.h"
#include "platform/win32/win32_platform.h"

#include <mmsystem.h>

void SysMessageBox(const char* caption, const char* text) {
    // The saver window is topmost and would hide a box it owns no part of.
    MessageBoxA(Win32SaverWindow(), text, caption, MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

uint32_t SysMilliseconds() {
    return timeGetTime();
}
