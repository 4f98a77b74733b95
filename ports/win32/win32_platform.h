// What every file of the Windows port includes: the Windows headers without
// their rarely used parts, and the program's module, whose resources the
// windows and dialogs load.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The module handle of the program (resources come from it).
inline HINSTANCE Win32Instance() {
    return GetModuleHandleW(nullptr);
}
