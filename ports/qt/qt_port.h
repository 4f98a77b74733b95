// The Qt port: the Linux desktop on Qt 6 and X11. One object per process,
// made after the QApplication and gone before it, owns every service the
// program uses.
//
// A screen-saver daemon may give the run a window of its own ("-root",
// "-window-id", $XSCREENSAVER_WINDOW). The port is made with that window: a
// run then fills it instead of opening its own, input never ends it, and
// nothing else (splash, message boxes) opens windows of its own.
#pragma once

#include "app/port_services.h"
#include "ports/qt/audio_device_qt.h"
#include "ports/qt/dialogs_qt.h"
#include "ports/qt/fonts_qt.h"
#include "ports/qt/settings_backend_qt.h"
#include "ports/qt/shell_qt.h"
#include "ports/qt/system_qt.h"
#include "ports/qt/window_qt.h"

#include <cstdint>

class QtPort {
  public:
    // `embedHost`: the daemon's window, 0 for none.
    explicit QtPort(uintptr_t embedHost = 0)
        : system(embedHost), shell(embedHost), windows(embedHost), dialogs(embedHost) {}
    QtPort(const QtPort&) = delete;
    QtPort& operator=(const QtPort&) = delete;

    // The services, for the run over this port.
    PortServices Services() {
        return {&system, &shell, &windows, &fonts, &audio, &settings, &dialogs};
    }

    QtSystem system;
    QtShell shell;
    QtWindows windows;
    QtFonts fonts;
    QtAudio audio;
    QtSettings settings;
    QtDialogs dialogs;
};
