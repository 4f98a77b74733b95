// One saver window on Qt: a raster QWindow that shows the pictures presented
// to it and reports what happens to it as WindowEvents to its sink.
#pragma once

#include "platform/window.h"

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWindow>

class QtWindows;

class SaverWindowQt : public QWindow {
  public:
    // A window of `windows` whose events go to `sink`; `parent` is its host
    // window, if it has one. Input reaches the sink only when `inputEnds`
    // (not in a screen-saver daemon's window).
    SaverWindowQt(QtWindows& windows, WindowEventSink& sink, WindowId id, QWindow* parent,
                  bool inputEnds);

    // Sends an event about this window to its sink; the sink's answer.
    bool Send(WindowEventType type);
    bool Send(WindowEvent event);
    WindowEventSink& Sink() const { return sink; }

    // Copies `region` of `image` into the window and shows that part.
    // Returns what was shown: nothing while the window is not on screen.
    QRegion Present(const QImage& image, const QRegion& region);

    // Losing activation counts only after the window has had it: focus that
    // moves at start (from the splash, say) is no loss.
    bool WasActive() const { return wasActive; }

    const WindowId id;
    bool grabKeyboard = false; // the keyboard is grabbed when the window first shows
    bool closePending = false; // a close was posted; the pump destroys the window
    qint64 lastPresentNs = 0;  // when the window was last painted, by the present clock

  protected:
    bool event(QEvent* e) override;
    void exposeEvent(QExposeEvent* e) override;

  private:
    void SendMouseMove(QPoint position);
    void Deactivated();

    QtWindows& windows;
    WindowEventSink& sink;
    QBackingStore store;
    const bool inputEnds;
    bool wasActive = false;
    bool firstShow = true;
};
