// What every platform provides to the whole program: message boxes, a log for
// failures no box may interrupt, and the millisecond clock of all timing.
#pragma once

#include <cstdint>

class SystemServices {
  public:
    virtual ~SystemServices() = default;

    // Shows a modal message box with an OK button.
    virtual void ShowMessageBox(const char* caption, const char* text) = 0;
    // Tells of a failure where no box may interrupt (a saver run): on the
    // standard error stream on Linux, to a debugger on Windows.
    virtual void LogMessage(const char* caption, const char* text) = 0;
    // The millisecond clock (wraps after about 49 days).
    virtual uint32_t Milliseconds() = 0;
};
