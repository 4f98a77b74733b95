// The Windows port: every platform service on plain Win32 (the A functions,
// texts in the system's code page). One object per process, made by the
// program's entry before the run and ended after it.
#pragma once

#include "app/port_services.h"
#include "ports/win32/audio_win32.h"
#include "ports/win32/dialogs_win32.h"
#include "ports/win32/settings_win32.h"
#include "ports/win32/shell_win32.h"
#include "ports/win32/sys_win32.h"
#include "ports/win32/text_win32.h"
#include "ports/win32/window_win32.h"

class Win32Port {
  public:
    Win32Port() = default;
    Win32Port(const Win32Port&) = delete;
    Win32Port& operator=(const Win32Port&) = delete;

    // The services, for the run's contexts.
    PortServices Services() {
        return {&system, &shell, &windows, &fonts, &audio, &settings, &dialogs};
    }

  private:
    // The clock's 1 ms period holds from first to last.
    Win32System system;
    Win32Shell shell;
    Win32Windows windows;
    Win32Fonts fonts;
    Win32Audio audio;
    Win32Settings settings;
    Win32Dialogs dialogs;
};
