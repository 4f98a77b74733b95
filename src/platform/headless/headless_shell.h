// Controls of the headless system shell: what start-up finds on the "system".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SysMonitor;

// A file "<shortName>.SCR" in the system folder, with its long name.
void HeadlessSetSaverFile(const std::string& shortName, const std::string& longName);
// The theme folder is <root>/<theme>; an empty root uses the Linux data folders.
void HeadlessSetThemeRoot(const std::string& root);
void HeadlessSetScreenSize(int32_t width, int32_t height);
// The monitors SysMonitors lists (none at first: one window, as on a
// desktop of one monitor).
void HeadlessSetMonitors(const std::vector<SysMonitor>& monitors);
// A host window that exists, with its client size.
void HeadlessSetHostWindow(uintptr_t handle, int32_t width, int32_t height);
