// Windows and the message pump, as each platform provides them. A window
// reports what happens to it as WindowEvents to the sink it was made with,
// synchronously, from within the platform's calls (creation, the pump,
// destruction); the sink's answer decides what the platform does next where
// the window system asks (whether a command gets its default processing, a
// creation fails, the cursor hides). The platform knows nothing else of
// what a window shows or does.
#pragma once

#include "platform/video.h"

#include <cstdint>

// A window of the platform's; 0 is none.
using WindowId = uintptr_t;

constexpr uint32_t SC_SCREENSAVE_COMMAND = 0xF140; // the system asks to start a screen saver
constexpr uint32_t SC_CLOSE_COMMAND = 0xF060;

struct WindowLayout {
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
    const char* title; // the caption, also of the window's message boxes
};

enum class WindowEventType : uint8_t {
    Create,        // the window is being made: answer false to fail the creation
    Expose,        // `area` of the window must be drawn again (uncovered, or shown first)
    Paint,         // compose what changed and Present it to the window
    NeedsPaint,    // asks: true when the window has something to paint
    Final,         // the window is gone (its last event)
    SysCommand,    // `command`: answer true for the default processing
    NcActivate,    // `active`, `toOwnWindow`: answer true for the default processing
    Activate,      // `active`, `toOwnWindow`
    ActivateApp,   // `active`
    MouseMove,     // `x`, `y` in the window
    ButtonDown,    // a mouse button
    KeyDown,       // a key (system keys included)
    DisplayChange, // the monitors changed
    SetCursor,     // asks: true to hide the cursor over the window
};

struct WindowEvent {
    WindowEventType type;
    WindowId window;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t command = 0;
    bool active = false;
    // The activation goes to another window of the same run, which is no
    // loss of activation.
    bool toOwnWindow = false;
    VidRect area = {0, 0, 0, 0}; // of an Expose
};

class WindowEventSink {
  public:
    virtual ~WindowEventSink() = default;
    // Takes one event; the answer means what the event type says (false
    // where it asks nothing).
    virtual bool OnWindowEvent(const WindowEvent& event) = 0;
};

enum class PumpResult { NoMessage, Handled, Quit };

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Creates and shows a window whose events go to `sink`; the Create event
    // comes first, and a false answer fails the creation. Returns the
    // window, or 0 when it was not made.
    virtual WindowId Create(const WindowLayout& layout, WindowEventSink& sink) = 0;
    // Moves an existing window to the rectangle (and monitor) of `layout`.
    virtual void SetRect(WindowId window, const WindowLayout& layout) = 0;
    // Destroys the window (if it exists) at once; its Final event comes
    // before this returns.
    virtual void Destroy(WindowId window) = 0;
    // Asks the window to close, as a posted close request: it is destroyed
    // when the request is pumped. Requests after the destruction have no effect.
    virtual void PostClose(WindowId window) = 0;

    // Shows `count` rectangles of `frame` in the window at the same
    // positions, together as one picture; parts outside the frame are cut.
    // Called while the window's Paint event is handled.
    virtual void Present(WindowId window, const VidFrame& frame, const VidRect* rects,
                         int count) = 0;

    // Lets exactly one waiting message through, if there is one. Quit once
    // the run's window (not a secondary one) has been destroyed.
    virtual PumpResult PumpMessage() = 0;
    // The window system's idle work, at most every 100 ms of section time;
    // called with 0, 1, 2... until it returns false.
    virtual bool Idle(int count) = 0;
    // Waits until a message arrives or `ms` milliseconds pass.
    virtual void WaitMessage(uint32_t ms) = 0;
};
