// Message boxes, the debugger's log and the millisecond clock of Windows.
#pragma once

#include "platform/system.h"

class Win32System : public SystemServices {
  public:
    // All timing comes from the millisecond clock: it ticks by 1 ms while
    // the object lives.
    Win32System();
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    void ShowMessageBox(const char* caption, const char* text) override;
    void LogMessage(const char* caption, const char* text) override;
    uint32_t Milliseconds() override;
};
