// The headless port: every platform service without a screen, a sound card
// or a disk of settings, for tests and glimmora-tool. A virtual clock drives
// time and the sound output; windows keep what they were shown as pictures;
// message boxes, settings and dialogs are held in memory. One object per
// run; its parts are public so that tests can steer them and read back what
// happened.
#pragma once

#include "app/port_services.h"
#include "ports/headless/headless_audio.h"
#include "ports/headless/headless_dialogs.h"
#include "ports/headless/headless_settings.h"
#include "ports/headless/headless_shell.h"
#include "ports/headless/headless_system.h"
#include "ports/headless/headless_windows.h"
#ifdef _WIN32
#include "ports/win32/text_win32.h"
#else
#include "ports/headless/headless_fonts.h"
#endif

class HeadlessPort {
  public:
    HeadlessPort() { system.audio = &audio; }
    HeadlessPort(const HeadlessPort&) = delete;
    HeadlessPort& operator=(const HeadlessPort&) = delete;

    // The services, for a context over this port.
    PortServices Services() {
        return {&system, &shell, &windows, &fonts, &audio, &settings, &dialogs};
    }

    HeadlessSystem system;
    HeadlessShell shell;
    HeadlessWindows windows;
#ifdef _WIN32
    // Windows builds have no FreeType: the saver's own GDI fonts.
    Win32Fonts fonts;
#else
    HeadlessFonts fonts;
#endif
    HeadlessAudio audio{system};
    HeadlessSettings settings;
    HeadlessDialogs dialogs{system};
};
