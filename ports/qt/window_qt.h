// The saver windows and the message pump on Qt. A window is a raster
// QWindow: a frameless full-screen window, a child of a host window (a
// preview, or the window a screen-saver daemon gives), or a small top-level
// preview. A run over several monitors adds a full-screen window on each
// other monitor. Each window reports its events to its own sink, which
// decides what ends the run; pictures are shown at most once per refresh of
// the display.
#pragma once

#include "platform/window.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <vector>

class QObject;
class QScreen;
class QTimer;
class QWindow;
class SaverWindowQt;

class QtWindows : public WindowSystem {
  public:
    // `embedHost`: the screen-saver daemon's window the run's own window is
    // made in, 0 for none. Input in that window never reaches the sink.
    explicit QtWindows(uintptr_t embedHost);
    // Takes down the windows that are left, without events.
    ~QtWindows() override;
    QtWindows(const QtWindows&) = delete;
    QtWindows& operator=(const QtWindows&) = delete;

    // Fails without a QGuiApplication, and for a host window that does not exist.
    WindowId Create(const WindowLayout& layout, WindowEventSink& sink) override;
    // Windows with a parent keep their place.
    void SetRect(WindowId window, const WindowLayout& layout) override;
    void Destroy(WindowId window) override;
    void PostClose(WindowId window) override;
    void Present(WindowId window, const VidFrame& frame, const VidRect* rects, int count) override;
    PumpResult PumpMessage() override;
    // Notices a host window that went away, which takes the run with it.
    bool Idle(int count) override;
    void WaitMessage(uint32_t ms) override;

    // The run's window, while it exists.
    QWindow* RunWindow() const;
    // The run's window is an ordinary window with the window manager's frame
    // (the preview's), not a bare one.
    bool framedRunWindow = false;

  private:
    friend class SaverWindowQt;

    SaverWindowQt* Find(WindowId id) const;
    // Whether `window` is one of the run's windows.
    bool IsOwnWindow(const QWindow* window) const;
    WindowId CreateOther(const WindowLayout& layout, WindowEventSink& sink);
    void DestroyRun();
    void DestroyOther(SaverWindowQt* window);
    // Asks the window's sink for a picture now.
    void PaintNow(SaverWindowQt& window);
    // Whether the window has a picture to show and the refresh allows it.
    bool PaintDue(SaverWindowQt* window);
    // Milliseconds until the window's held-back picture may be shown; no
    // limit when it has none.
    uint32_t PresentWaitMs(SaverWindowQt* window);
    void FollowScreen(QScreen* screen, QObject* context);
    void DisplayChanged();

    const uintptr_t embedHost;
    // The foreign parent of the run's window, when it has one (a QObject
    // parent too, so it goes after the window), and its X11 id.
    std::unique_ptr<QWindow> hostWindow;
    uintptr_t hostId = 0;
    std::unique_ptr<SaverWindowQt> runWindow;
    std::vector<std::unique_ptr<SaverWindowQt>> others; // the other monitors' windows
    WindowId nextId = 1;
    bool quitPending = false;
    // The refresh of the run window's screen limits the pictures shown.
    QElapsedTimer presentClock;
    qint64 refreshNs;
    std::unique_ptr<QTimer> waitTimer; // wakes WaitMessage
    int presentCount = 0;              // pictures shown, reported for benchmarks
    bool firstFullShown = false;
};
