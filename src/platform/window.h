// The saver window and the message pump, as each platform provides them.
// The platform feeds the window's events into CSaverWnd (src/app/saver_window.h),
// which decides what they do.
#pragma once

#include <cstdint>

class CSaverWnd;

struct WindowSpec {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    bool topmost;     // a topmost popup (full screen with exclusiveMode on)
    bool child;       // a child of `parent` (preview)
    uintptr_t parent; // host window for a child; 0 = the desktop
    bool hideCursor;  // no visible cursor over the window
    // Full screen on this monitor (SysMonitor::id), the rectangle in the
    // desktop's coordinates; 0: on the primary monitor, the rectangle from
    // its top left corner.
    uintptr_t monitor;
    // One of several windows of a full-screen run, beside the run's own: it
    // takes no activation, and its end does not end the run.
    bool secondary;
};

enum class PumpResult { NoMessage, Handled, Quit };

// Creates and shows the window. Creation calls wnd->OnCreate(); a false result
// there fails the creation. Returns true when the window exists.
bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout);
// Moves an existing window to the rectangle (and monitor) of `layout`.
void WndSetRect(CSaverWnd* wnd, const WindowSpec& layout);
// Destroys the window (if it exists) at once; the window's final hook runs.
void WndDestroy(CSaverWnd* wnd);
// Asks the window to close, as a posted close request: it is destroyed when
// the request is pumped. Requests after the destruction have no effect.
void WndPostClose(CSaverWnd* wnd);

// Lets exactly one waiting message through, if there is one.
PumpResult WndPumpMessage();
// The window system's idle work, at most every 100 ms of section time; called
// with 0, 1, 2... until it returns false.
bool WndIdle(int count);
// Waits until a message arrives or `ms` milliseconds pass.
void WndWaitMessage(uint32_t ms);
