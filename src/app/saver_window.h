// The saver window's behaviour, independent of the window system: the
// platform creates the real window and feeds its events in here.
#pragma once

#include <cstdint>

constexpr uint32_t SC_SCREENSAVE_COMMAND = 0xF140; // the system asks to start a screen saver
constexpr uint32_t SC_CLOSE_COMMAND = 0xF060;

enum class CursorAnswer { HideCursor, NotHandled };

// The display layer: loads the module when constructed, sets up the view when
// the window is created, paints, and marks the display gone at the end.
class CDisplayWnd {
  public:
    CDisplayWnd();
    virtual ~CDisplayWnd() = default;
    CDisplayWnd(const CDisplayWnd&) = delete;
    CDisplayWnd& operator=(const CDisplayWnd&) = delete;

    // Window creation: sets up the view; false fails the creation.
    bool OnCreate();
    void OnPaint();
    // After the window's last message.
    void OnFinalMessage();
};

// The input rules: in saver mode the first key, click, real mouse movement or
// loss of activation closes the window; in preview mode input never does.
class CSaverWnd : public CDisplayWnd {
  public:
    int32_t firstMouseX = -1;
    int32_t firstMouseY = -1;

    // A popup of the display size, topmost when exclusiveMode is on.
    bool CreateFullScreen();

    // Each returns true when the platform's default processing should follow.
    bool OnSysCommand(uint32_t command);
    bool OnNcActivate(bool active);
    bool OnActivate(bool active);
    bool OnActivateApp(bool active);
    bool OnMouseMove(int32_t x, int32_t y);
    bool OnButtonDown();
    bool OnKeyDown();
    // Whether the cursor is to be hidden over the window.
    CursorAnswer OnSetCursor() const;

  private:
    void Close();
};
