// What start-up and the dialogs learn from the system and ask of it: the
// saver's long name, the theme folder, the screen, its monitors and a host
// window's size; starting a program and opening a file for the user.
#pragma once

#include <cstdint>

// One monitor of the desktop, in the desktop's coordinates (on Windows those
// of the virtual screen, whose origin is the primary monitor's top left
// corner, so that other monitors may lie at negative coordinates).
struct SysMonitor {
    uintptr_t id; // the platform's handle of the monitor, never 0
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    bool primary;
};

// What starts the screen saver on this desktop.
enum class SaverStarter {
    System,       // the system itself (Windows)
    XScreenSaver, // XScreenSaver, from its list of programs
    DesktopSaver, // the desktop's screen saver (MATE's, Xfce's), from its entries
    IdleService,  // Glimmora's own idle service
    Nothing       // nothing: Glimmora never starts by itself
};

class SystemShell {
  public:
    virtual ~SystemShell() = default;

    // Looks "<system folder>\<shortName>.SCR" up and gives the found file's
    // long name. False when there is no such file (or no such lookup on the
    // platform).
    virtual bool FindLongSaverName(const char* shortName, char* longName, int size) = 0;
    // The folder of the theme `scriptName` (its script, images, sounds, read-me).
    virtual void ThemeFolder(const char* scriptName, char* folder, int size) = 0;
    // The folders searched for the theme `scriptName`, one a line, for the
    // message about a theme that is not found. False where a missing theme
    // gets no message (Windows lists only the savers that are installed).
    virtual bool ThemeSearchFolders(const char* scriptName, char* list, int size) {
        (void)scriptName;
        (void)list;
        (void)size;
        return false;
    }
    // The size of the screen the saver runs on, in pixels.
    virtual void ScreenSize(int32_t* width, int32_t* height) = 0;
    // The monitors a full-screen run covers, at most `capacity` of them;
    // returns how many were written. 0 when the run plays in a host window.
    virtual int Monitors(SysMonitor* monitors, int capacity) = 0;
    // The client size of an existing window given by its handle; false when
    // the handle names no window.
    virtual bool WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) = 0;

    // Starts a program and returns at once, without waiting for it.
    // `commandLine` is the whole command as one line (the form a Windows
    // shell starts); `argv` the same command as separate arguments, ending
    // with nullptr (the form other systems start). Returns 1 when the program
    // was started, else 0.
    virtual int StartDetached(const char* commandLine, const char* const* argv) = 0;
    // Asks the desktop to open `path` with the default viewer of its type.
    // Whether that succeeds is not reported.
    virtual void OpenFile(const char* path) = 0;

    // What starts the screen saver here; for another program's screen saver
    // its name in `name`, for the idle service its idle time in minutes.
    virtual SaverStarter HowSaverStarts(char* name, int nameSize, int32_t* idleMinutes) {
        if (nameSize > 0) name[0] = '\0';
        *idleMinutes = 0;
        return SaverStarter::System;
    }
    // Turns Glimmora's idle service on, to play `theme` after `minutes`
    // without input, or off (`minutes` 0). False, with `why`, where there is
    // no idle service or the change could not be stored.
    virtual bool SetIdleStart(const char* theme, int32_t minutes, char* why, int whySize) {
        (void)theme;
        (void)minutes;
        if (whySize > 0) why[0] = '\0';
        return false;
    }
};
