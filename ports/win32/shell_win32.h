// What start-up and the dialogs learn from Windows and ask of it: the saver's
// long name in the system folder, the theme folder below the Windows drive,
// the screen, its monitors and a host window's size; a test run started as a
// process of its own and files opened by the shell.
#pragma once

#include "platform/shell.h"

class Win32Shell : public SystemShell {
  public:
    bool FindLongSaverName(const char* shortName, char* longName, int size) override;
    void ThemeFolder(const char* scriptName, char* folder, int size) override;
    void ScreenSize(int32_t* width, int32_t* height) override;
    int Monitors(SysMonitor* monitors, int capacity) override;
    bool WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) override;
    int StartDetached(const char* commandLine, const char* const* argv) override;
    void OpenFile(const char* path) override;

    // The longest command line Windows starts.
    static constexpr int COMMAND_LINE_LEN = 32767;
};
