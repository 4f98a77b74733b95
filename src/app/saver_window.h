// The saver window's behaviour, independent of the window system: the
// platform creates the real window and feeds its events in here.
#pragma once

#include <cstdint>

constexpr uint32_t SC_SCREENSAVE_COMMAND = 0xF140; // the system asks to start a screen saver
constexpr uint32_t SC_CLOSE_COMMAND = 0xF060;

enum class CursorAnswer { HideCursor, NotHandled };

class CSSView;
struct GlimmoraContext;

// The display layer: sets up the context's view when the window is created,
// paints, and marks the display gone at the end. The application owns the
// object (and loads the module before making it); the platform makes the
// real window, feeds its events in here and tells the object when the window
// is gone, but never deletes it.
class CDisplayWnd {
  public:
    explicit CDisplayWnd(GlimmoraContext& ctx) : ctx(ctx) {}
    virtual ~CDisplayWnd() = default;
    CDisplayWnd(const CDisplayWnd&) = delete;
    CDisplayWnd& operator=(const CDisplayWnd&) = delete;

    // Window creation: sets up the view; false fails the creation.
    bool OnCreate();
    void OnPaint();
    // After the window's last message: the window is gone.
    void OnFinalMessage();

    // The view the window shows.
    CSSView& View();
    // The caption of the window and of its message boxes.
    const char* Title() const;

  protected:
    GlimmoraContext& ctx;
};

// The input rules: in saver mode the first key, click, real mouse movement or
// loss of activation closes the window (and with it the run); in preview
// mode input never does.
class CSaverWnd : public CDisplayWnd {
  public:
    explicit CSaverWnd(GlimmoraContext& ctx) : CDisplayWnd(ctx) {}

    int32_t firstMouseX = -1;
    int32_t firstMouseY = -1;
    // In a run with a window on every monitor, the window whose end ends the
    // run (the lead's); none when this window is the run's own.
    CSaverWnd* runWindow = nullptr;

    // A popup of the display size, topmost when exclusiveMode is on.
    bool CreateFullScreen();

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

  private:
    void Close();
};
