// The saver's windows with plain Win32: one window class with the transparent
// cursor and no background brush, a topmost popup or a child of the host's
// window, and the message pump of the main loop. A run over several monitors
// adds a popup on each other monitor, which never takes the activation.
// Every message that matters goes to the window's sink as a WindowEvent,
// whose answer decides what the window does.
#pragma once

#include "platform/window.h"
#include "ports/win32/win32_platform.h"

#include <memory>
#include <vector>

class Win32Windows;

// One window: its handle and the sink of its events.
class Win32Window {
  public:
    Win32Window(Win32Windows& system, WindowEventSink& sink, bool secondary)
        : system(system), sink(sink), secondary(secondary) {}
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    WindowId Id() const { return reinterpret_cast<WindowId>(handle); }
    // Sends an event of `type` and gives the sink's answer.
    bool Ask(WindowEventType type);
    // The window procedure's work for every message but the first and last.
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    // Asks the sink for what changed, shown through a context of the whole window.
    void Paint();
    // Shows the rectangles of `frame`.
    void Present(const VidFrame& frame, const VidRect* rects, int count);

    Win32Windows& system;
    WindowEventSink& sink;
    HWND handle = nullptr;
    const bool secondary; // another monitor's window: its end does not end the run
    bool created = false; // the Create event was answered with true

  private:
    void OnPaintMessage();

    HDC paintDC = nullptr; // while the sink paints
};

class Win32Windows : public WindowSystem {
  public:
    Win32Windows() = default;
    // Takes the windows left down without telling their sinks.
    ~Win32Windows() override;
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;

    WindowId Create(const WindowLayout& layout, WindowEventSink& sink) override;
    void SetRect(WindowId window, const WindowLayout& layout) override;
    void Destroy(WindowId window) override;
    void PostClose(WindowId window) override;
    void Present(WindowId window, const VidFrame& frame, const VidRect* rects, int count) override;
    PumpResult PumpMessage() override;
    bool Idle(int count) override;
    void WaitMessage(uint32_t ms) override;

    // The window of a handle, if it is one of this object's.
    Win32Window* Find(HWND handle);
    bool IsRunWindow(const Win32Window* window) const { return window && window == run.get(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterWindowClass();
    // Forgets the window (the object goes) and then tells its sink it is gone.
    void Gone(Win32Window* window);
    // Drops the object of a window (nothing when it is not held).
    void Forget(const Win32Window* window);

    bool classRegistered = false;
    std::unique_ptr<Win32Window> run; // the run's own window
    std::vector<std::unique_ptr<Win32Window>> secondaries;
};
