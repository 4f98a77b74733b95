// The saver window's behaviour, independent of the window system: the
// platform makes the real window and reports its events here (as the
// window's WindowEventSink), and this decides what they do.
#pragma once

#include "platform/window.h"

#include <cstdint>

enum class CursorAnswer { HideCursor, NotHandled };

class CSSView;
struct LoopState;
struct RunConfig;

// The display layer: sets up the view when the window is created, paints
// it, and marks the display gone at the end. The application owns the
// object (and loads the module before making it); the platform makes the
// real window, reports its events here and tells the object when the window
// is gone, but never deletes it.
class CDisplayWnd : public WindowEventSink {
  public:
    // Shows `view` through `windows`; `loop` learns whether the display exists.
    CDisplayWnd(CSSView& view, LoopState& loop, WindowSystem& windows)
        : view(view), loop(loop), windows(windows) {}
    CDisplayWnd(const CDisplayWnd&) = delete;
    CDisplayWnd& operator=(const CDisplayWnd&) = delete;

    // Creates the platform's window over this object; false when it was not made.
    bool Create(const WindowLayout& layout);
    // Moves the window, destroys it at once, or asks it to close when pumped.
    void SetRect(const WindowLayout& layout);
    void Destroy();
    // The platform's window while it exists, else 0.
    WindowId Id() const { return id; }

    // Window creation: sets up the view; false fails the creation.
    bool OnCreate();
    void OnPaint();
    // After the window's last message: the window is gone.
    void OnFinalMessage();

    // The view the window shows.
    CSSView& View() { return view; }

    bool OnWindowEvent(const WindowEvent& event) override;

  protected:
    CSSView& view;
    LoopState& loop;
    WindowSystem& windows;
    WindowId id = 0;
};

// The input rules: in saver mode the first key, click, real mouse movement or
// loss of activation closes the window (and with it the run); in preview
// mode input never does.
class CSaverWnd : public CDisplayWnd {
  public:
    CSaverWnd(const RunConfig& run, CSSView& view, LoopState& loop, WindowSystem& windows)
        : CDisplayWnd(view, loop, windows), run(run) {}

    int32_t firstMouseX = -1;
    int32_t firstMouseY = -1;
    // In a run with a window on every monitor, the window whose end ends the
    // run (the lead's); none when this window is the run's own.
    CSaverWnd* runWindow = nullptr;

    // A popup of the display size, topmost when exclusiveMode is on.
    bool CreateFullScreen();
    // The caption of the window and of its message boxes.
    const char* Title() const;

    // Each returns true when the platform's default processing should follow.
    bool OnSysCommand(uint32_t command);
    // `toOwnWindow`: the activation goes to another window of the same run,
    // which is no loss of activation.
    bool OnNcActivate(bool active, bool toOwnWindow = false);
    bool OnActivate(bool active, bool toOwnWindow = false);
    bool OnActivateApp(bool active);
    bool OnMouseMove(int32_t x, int32_t y);
    bool OnButtonDown();
    bool OnKeyDown();
    // The monitors changed: the system may have moved the pointer onto a
    // monitor that remains, which is no movement of the user's. The next
    // position reported becomes the new reference.
    void OnDisplayChange();
    // Whether the cursor is to be hidden over the window.
    CursorAnswer OnSetCursor() const;

    bool OnWindowEvent(const WindowEvent& event) override;

  private:
    void Close();

    const RunConfig& run;
};
