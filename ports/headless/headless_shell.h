// The headless system shell: what start-up finds on the "system" (saver
// files, the theme folder, the screen, its monitors, a host window), set by
// tests and tools, and a record of the programs started and files opened.
#pragma once

#include "platform/shell.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class HeadlessShell : public SystemShell {
  public:
    bool FindLongSaverName(const char* shortName, char* longName, int size) override;
    void ThemeFolder(const char* scriptName, char* folder, int size) override;
    // Only when on (SetListsThemeFolders): its one folder, as ThemeFolder gives it.
    bool ThemeSearchFolders(const char* scriptName, char* list, int size) override;
    void ScreenSize(int32_t* width, int32_t* height) override;
    int Monitors(SysMonitor* monitors, int capacity) override;
    bool WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) override;
    int StartDetached(const char* commandLine, const char* const* argv) override;
    void OpenFile(const char* path) override;
    // As set by SetSaverStarter (the system's own, at first).
    SaverStarter HowSaverStarts(char* name, int nameSize, int32_t* idleMinutes) override;
    // Records the call; fails with FailIdleStart's reason when set.
    bool SetIdleStart(const char* theme, int32_t minutes, char* why, int whySize) override;

    // A file "<shortName>.SCR" in the system folder, with its long name.
    void SetSaverFile(const std::string& shortName, const std::string& longName);
    // The theme folder is <root>/<theme>; an empty root uses the Linux data folders.
    void SetThemeRoot(const std::string& root) { themeRoot = root; }
    void SetScreenSize(int32_t width, int32_t height);
    // Whether a missing theme is reported with its folders, as on Linux (off
    // at first: as on Windows, nothing is said).
    void SetListsThemeFolders(bool on) { listsThemeFolders = on; }
    // The monitors listed (none at first: one window, as on a desktop of one monitor).
    void SetMonitors(const std::vector<SysMonitor>& list) { monitors = list; }
    // A host window that exists, with its client size.
    void SetHostWindow(uintptr_t handle, int32_t width, int32_t height);
    // When on, starting a program fails.
    void FailProcessStart(bool on) { failProcessStart = on; }
    void SetSaverStarter(SaverStarter how, const std::string& name, int32_t minutes) {
        starter = how;
        starterName = name;
        idleMinutes = minutes;
    }
    void FailIdleStart(const std::string& why) { idleStartFailure = why; }
    std::vector<std::pair<std::string, int32_t>> idleStarts; // theme, minutes of each call

    std::vector<std::string> startedLines;             // command lines started
    std::vector<std::vector<std::string>> startedArgs; // the same as argument lists
    std::vector<std::string> openedFiles;

  private:
    std::map<std::string, std::string> saverFiles; // upper-case short name -> long name
    std::string themeRoot;
    int32_t screenWidth = 800;
    int32_t screenHeight = 600;
    uintptr_t hostHandle = 0;
    int32_t hostWidth = 0;
    int32_t hostHeight = 0;
    std::vector<SysMonitor> monitors;
    bool failProcessStart = false;
    bool listsThemeFolders = false;
    SaverStarter starter = SaverStarter::System;
    std::string starterName;
    int32_t idleMinutes = 0;
    std::string idleStartFailure;
};
