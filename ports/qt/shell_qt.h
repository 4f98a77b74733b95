// What start-up and the dialogs learn from the desktop and ask of it: the
// theme folder by the XDG rule, the screen and its monitors, the size of an
// X11 host window; starting a program and opening a file.
#pragma once

#include "platform/shell.h"

#include <cstdint>

class QtShell : public SystemShell {
  public:
    // `embedHost`: the screen-saver daemon's window the run plays in, 0 for
    // none. The run then plays at that window's size, on no monitors of its own.
    explicit QtShell(uintptr_t embedHost) : embedHost(embedHost) {}

    // Saver files with short names exist only on Windows: always false.
    bool FindLongSaverName(const char* shortName, char* longName, int size) override;
    // Also in the data folder of the installation the program runs from.
    void ThemeFolder(const char* scriptName, char* folder, int size) override;
    bool ThemeSearchFolders(const char* scriptName, char* list, int size) override;
    void ScreenSize(int32_t* width, int32_t* height) override;
    // Each monitor is a QScreen; its id is the screen's address.
    int Monitors(SysMonitor* monitors, int capacity) override;
    bool WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) override;
    int StartDetached(const char* commandLine, const char* const* argv) override;
    void OpenFile(const char* path) override;
    // Another screen saver that runs, else the idle service's autostart entry.
    SaverStarter HowSaverStarts(char* name, int nameSize, int32_t* idleMinutes) override;
    // Writes or removes the idle service's autostart entry; turned on, the
    // service starts at once too (it leaves again where one runs).
    bool SetIdleStart(const char* theme, int32_t minutes, char* why, int whySize) override;

  private:
    const uintptr_t embedHost;
};
