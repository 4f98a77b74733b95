// System services every platform provides: message boxes and the millisecond clock.
// Each platform implements these functions in its own folder; the core only calls them.
#pragma once

#include <cstdint>

// Shows a modal message box with an OK button.
void SysMessageBox(const char* caption, const char* text);
// Tells of a failure where no box may interrupt (a saver run): on the standard
// error stream on Linux, to a debugger on Windows.
void SysLogMessage(const char* caption, const char* text);

// The millisecond clock of all timing (wraps after about 49 days).
uint32_t SysMilliseconds();
