#include "ports/headless/headless_windows.h"

#include <algorithm>

namespace {

WindowEvent Event(WindowEventType type, WindowId window) {
    WindowEvent e{};
    e.type = type;
    e.window = window;
    return e;
}

} // namespace

HeadlessWindows::Window* HeadlessWindows::Find(WindowId id) {
    if (id == 0) return nullptr;
    if (run.id == id) return &run;
    for (Window& w : secondaries) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

bool HeadlessWindows::Ask(Window& window, WindowEventType type) {
    return window.sink->OnWindowEvent(Event(type, window.id));
}

WindowId HeadlessWindows::Create(const WindowLayout& layout, WindowEventSink& sink) {
    Window made;
    made.id = nextId++;
    made.sink = &sink;
    made.layout = layout;
    if (layout.secondary) {
        secondaries.push_back(made);
        if (Ask(secondaries.back(), WindowEventType::Create)) return made.id;
        secondaries.pop_back();
        return 0;
    }
    run = made;
    runLayout = layout;
    if (Ask(run, WindowEventType::Create)) return made.id;
    run = Window();
    return 0;
}

void HeadlessWindows::SetRect(WindowId id, const WindowLayout& layout) {
    Window* w = Find(id);
    if (!w) return;
    w->layout = layout;
    if (w == &run) runLayout = layout;
}

// The run's window goes: the quit message is posted and the final event
// comes; the object behind it stays with the application.
void HeadlessWindows::DestroyRun() {
    if (!run.sink) return;
    queue.push_back({Message::Quit, HeadlessInput::Key, 0, 0});
    Window gone = run;
    run = Window();
    gone.sink->OnWindowEvent(Event(WindowEventType::Final, gone.id));
}

// A secondary window's end does not end the run.
void HeadlessWindows::DestroySecondary(WindowId id) {
    auto found = std::find_if(secondaries.begin(), secondaries.end(),
                              [id](const Window& w) { return w.id == id; });
    if (found == secondaries.end()) return;
    WindowEventSink* sink = found->sink;
    secondaries.erase(found);
    std::erase_if(queue, [id](const QueuedMessage& m) { return m.target == id; });
    sink->OnWindowEvent(Event(WindowEventType::Final, id));
}

void HeadlessWindows::Destroy(WindowId id) {
    if (id == 0) return;
    if (id == run.id) {
        DestroyRun();
    } else {
        DestroySecondary(id);
    }
}

void HeadlessWindows::PostClose(WindowId id) {
    if (id == 0 || id != run.id) return; // no such window (any more)
    queue.push_back({Message::Close, HeadlessInput::Key, 0, 0});
}

void HeadlessWindows::Present(WindowId id, const VidFrame& frame, const VidRect* rects, int count) {
    Window* window = Find(id);
    if (!window || !frame.pixels || frame.width <= 0 || frame.height <= 0) return;
    ++presentCount;
    // The last present is kept as the bounding rectangle of what it copied.
    lastPresent = HeadlessCopyRects(window == &run ? screen : window->picture, frame, rects, count);
}

void HeadlessWindows::Deliver(const QueuedMessage& m) {
    Window* to = m.target ? Find(m.target) : (run.sink ? &run : nullptr);
    if (!to) return;
    WindowEvent e = Event(WindowEventType::KeyDown, to->id);
    switch (m.input) {
    case HeadlessInput::Key:
    case HeadlessInput::SysKey: break;
    case HeadlessInput::Button: e.type = WindowEventType::ButtonDown; break;
    case HeadlessInput::MouseMove:
        e.type = WindowEventType::MouseMove;
        e.x = m.x;
        e.y = m.y;
        break;
    case HeadlessInput::Deactivate:
        e.type = WindowEventType::NcActivate;
        to->sink->OnWindowEvent(e);
        // The window may be gone now; the activation event goes to what is left.
        to = m.target ? Find(m.target) : (run.sink ? &run : nullptr);
        if (!to) return;
        e.type = WindowEventType::Activate;
        break;
    case HeadlessInput::DeactivateApp: e.type = WindowEventType::ActivateApp; break;
    case HeadlessInput::SysCommand:
        e.type = WindowEventType::SysCommand;
        e.command = static_cast<uint32_t>(m.x);
        break;
    }
    to->sink->OnWindowEvent(e);
}

PumpResult HeadlessWindows::PumpMessage() {
    if (queue.empty()) {
        if (run.sink && Ask(run, WindowEventType::NeedsPaint)) {
            Ask(run, WindowEventType::Paint);
            return PumpResult::Handled;
        }
        for (Window& w : secondaries) {
            if (!Ask(w, WindowEventType::NeedsPaint)) continue;
            Ask(w, WindowEventType::Paint);
            return PumpResult::Handled;
        }
        return PumpResult::NoMessage;
    }
    QueuedMessage m = queue.front();
    queue.pop_front();
    switch (m.message) {
    case Message::Quit: return PumpResult::Quit;
    case Message::Close:
    case Message::Destroy: DestroyRun(); break;
    case Message::Input: Deliver(m); break;
    }
    return PumpResult::Handled;
}

bool HeadlessWindows::Idle(int) {
    ++idleCalls;
    return false;
}

void HeadlessWindows::PostInput(HeadlessInput input, int32_t x, int32_t y) {
    queue.push_back({Message::Input, input, x, y});
}

void HeadlessWindows::PostInputTo(int secondary, HeadlessInput input, int32_t x, int32_t y) {
    if (secondary < 0 || secondary >= SecondaryCount()) return;
    queue.push_back({Message::Input, input, x, y, secondaries[secondary].id});
}

void HeadlessWindows::PostDestroy() {
    queue.push_back({Message::Destroy, HeadlessInput::Key, 0, 0});
}

const WindowLayout* HeadlessWindows::SecondaryLayout(int secondary) const {
    if (secondary < 0 || secondary >= SecondaryCount()) return nullptr;
    return &secondaries[secondary].layout;
}

const HeadlessPicture* HeadlessWindows::SecondaryScreen(int secondary) const {
    if (secondary < 0 || secondary >= SecondaryCount()) return nullptr;
    return &secondaries[secondary].picture;
}

void HeadlessWindows::ResetVideo() {
    screen = HeadlessPicture();
    presentCount = 0;
    lastPresent = HeadlessRect();
}

void HeadlessWindows::Reset() {
    queue.clear();
    run = Window();
    runLayout = {};
    secondaries.clear();
    idleCalls = 0;
}
