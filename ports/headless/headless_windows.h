// A window system without a screen: the run's window (and, in a run over
// several monitors, the other monitors' windows), a message queue, and a
// paint whenever the queue is empty and a window has something to redraw.
// What each window was shown is kept as a picture.
#pragma once

#include "platform/window.h"
#include "ports/headless/headless_video.h"

#include <deque>
#include <vector>

enum class HeadlessInput { Key, SysKey, Button, MouseMove, Deactivate, DeactivateApp, SysCommand };

class HeadlessWindows : public WindowSystem {
  public:
    WindowId Create(const WindowLayout& layout, WindowEventSink& sink) override;
    void SetRect(WindowId window, const WindowLayout& layout) override;
    void Destroy(WindowId window) override;
    void PostClose(WindowId window) override;
    void Present(WindowId window, const VidFrame& frame, const VidRect* rects, int count) override;
    PumpResult PumpMessage() override;
    bool Idle(int count) override;
    void WaitMessage(uint32_t) override {}

    // Queues an input event for the run's window, delivered by a later pump.
    void PostInput(HeadlessInput input, int32_t x = 0, int32_t y = 0);
    // Queues an input event for the secondary window `secondary` (in the
    // order of creation among those that exist).
    void PostInputTo(int secondary, HeadlessInput input, int32_t x = 0, int32_t y = 0);
    // Queues the host's destruction of the run's window (how a preview ends).
    void PostDestroy();

    // Whether the run's window exists, and how it was placed.
    bool WindowExists() const { return run.sink != nullptr; }
    // (The layout stays after the window has gone, until Reset.)
    const WindowLayout& Layout() const { return runLayout; }
    // The run's window's events, while it exists (null otherwise).
    WindowEventSink* RunWindow() const { return run.sink; }
    // The other monitors' windows that exist, and how each was placed.
    int SecondaryCount() const { return static_cast<int>(secondaries.size()); }
    const WindowLayout* SecondaryLayout(int secondary) const;
    // How often the idle work has run.
    int IdleCalls() const { return idleCalls; }

    // What the run's window shows: every rectangle presented to it copied
    // in, black elsewhere; a secondary window's picture.
    const HeadlessPicture& Screen() const { return screen; }
    uint32_t ScreenPixel(int32_t x, int32_t y) const { return screen.Pixel(x, y); }
    const HeadlessPicture* SecondaryScreen(int secondary) const;
    // How many pictures were presented to any window, and the bounding
    // rectangle of the last one.
    int PresentCount() const { return presentCount; }
    HeadlessRect LastPresent() const { return lastPresent; }
    // Forgets the pictures and the counts.
    void ResetVideo();
    // Back to no window and an empty queue.
    void Reset();

  private:
    enum class Message { Input, Close, Destroy, Quit };
    struct QueuedMessage {
        Message message;
        HeadlessInput input;
        int32_t x;
        int32_t y;
        WindowId target = 0; // an input's window; 0: the run's window
    };
    struct Window {
        WindowId id = 0;
        WindowEventSink* sink = nullptr;
        WindowLayout layout{};
        HeadlessPicture picture;
    };

    Window* Find(WindowId id);
    void Deliver(const QueuedMessage& m);
    bool Ask(Window& window, WindowEventType type);
    void DestroyRun();
    void DestroySecondary(WindowId id);

    std::deque<QueuedMessage> queue;
    Window run;               // id 0 and no sink while it does not exist
    WindowLayout runLayout{}; // how the run's window was last placed
    std::vector<Window> secondaries;
    HeadlessPicture screen; // the run's window's picture
    WindowId nextId = 1;
    int idleCalls = 0;
    int presentCount = 0;
    HeadlessRect lastPresent;
};
