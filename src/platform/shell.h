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
// The client size of an existing window given by its handle; false when the
// handle names no window.
bool SysWindowClientSize(uintptr_t handle, int32_t* width, int32_t* height);
