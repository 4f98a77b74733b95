// The command line of the glimmora program beyond the saver's own modes:
// the switches of the X11 screen-saver daemons.
//
// A daemon names the window to play in by "-window-id <id>" (decimal or 0x
// hex) or by $XSCREENSAVER_WINDOW, or asks for the root window with "-root"
// or "--root". A window named wins over the root: a daemon that runs an
// entry's command as written passes "-root" and names its own window in the
// environment. The run is then a full saver run ("-s") in that window.
//
// "--theme NAME" plays the theme NAME whatever the program's name (a saver
// entry of a desktop names its program, and the theme by this). "--idle"
// runs the idle service instead of a mode: it waits for the session to be
// idle and then plays; "--after SECONDS" sets the idle time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct QtCommandLine {
    enum class Host { None, Root, Window };

    // What start-up reads: the program, the mode and the options, ending
    // with nullptr; the daemon's switches are taken out.
    std::vector<char*> args;
    // Where a daemon asked the run to play; the window's id when Host::Window
    // (0 when the text names none), and that text for messages.
    Host host = Host::None;
    uintptr_t windowId = 0;
    const char* hostText = nullptr;
    // "--theme": the theme to play (null: by the program's name).
    const char* theme = nullptr;
    bool idle = false;
    int afterSeconds = 0; // "--after"; 0 when not given
    // Why the line cannot be followed (a bad theme name or idle time); empty
    // when it can.
    std::string problem;
};

// The longest idle time "--after" takes: a day.
constexpr int MAX_AFTER_SECONDS = 86400;

// A window id in decimal or, with "0x", hexadecimal; 0 when it is not one.
uintptr_t ParseWindowId(const char* text);

// Reads `argv` (after Qt took its own options out). `xscreensaverWindow` is
// $XSCREENSAVER_WINDOW (null when unset); "/c" and "/p" ignore it.
QtCommandLine ParseCommandLine(int argc, char** argv, const char* xscreensaverWindow);
