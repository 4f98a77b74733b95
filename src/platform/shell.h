// What start-up learns from the system: the saver's long name, the theme
// folder, the screen and a host window's size.
#pragma once

#include <cstdint>

// Looks "<system folder>\<shortName>.SCR" up and gives the found file's long
// name. False when there is no such file (or no such lookup on the platform).
bool SysFindLongSaverName(const char* shortName, char* longName, int size);
// The folder of the theme `scriptName` (its script, images, sounds, read-me).
void SysThemeFolder(const char* scriptName, char* folder, int size);
// The size of the screen the saver runs on, in pixels.
void SysScreenSize(int32_t* width, int32_t* height);

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
// The monitors a full-screen run covers, at most `capacity` of them; returns
// how many were written. 0 when the run plays in a host window.
int SysMonitors(SysMonitor* monitors, int capacity);

// The client size of an existing window given by its handle; false when the
// handle names no window.
bool SysWindowClientSize(uintptr_t handle, int32_t* width, int32_t* height);
