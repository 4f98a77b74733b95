// A window system without a screen: the run's window (and, in a run over
// several monitors, the other monitors' windows), a message queue, and a
// paint whenever the queue is empty and a view has something to redraw.
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace {

enum class Message { Input, Close, Destroy, Quit };

struct QueuedMessage {
    Message message;
    HeadlessInput input;
    int32_t x;
    int32_t y;
    CSaverWnd* target = nullptr; // an input's window; none: the run's window
};

struct Secondary {
    CSaverWnd* window;
    WindowSpec layout;
};

std::deque<QueuedMessage> queue;
CSaverWnd* window = nullptr;
WindowSpec windowSpec{};
std::vector<Secondary> secondaries;
int idleCalls = 0;

std::vector<Secondary>::iterator FindSecondary(CSaverWnd* wnd) {
    return std::find_if(secondaries.begin(), secondaries.end(),
                        [wnd](const Secondary& s) { return s.window == wnd; });
}

void Deliver(const QueuedMessage& m) {
    CSaverWnd* to = m.target ? m.target : window;
    switch (m.input) {
    case HeadlessInput::Key: to->OnKeyDown(); break;
    case HeadlessInput::SysKey: to->OnKeyDown(); break;
    case HeadlessInput::Button: to->OnButtonDown(); break;
    case HeadlessInput::MouseMove: to->OnMouseMove(m.x, m.y); break;
    case HeadlessInput::Deactivate:
        to->OnNcActivate(false);
        to->OnActivate(false);
        break;
    case HeadlessInput::DeactivateApp: to->OnActivateApp(false); break;
    case HeadlessInput::SysCommand: to->OnSysCommand(static_cast<uint32_t>(m.x)); break;
    }
}

// The window goes: the quit message is posted and the final hook runs; the
// object stays with the application.
void DestroyNow() {
    if (!window) return;
    queue.push_back({Message::Quit, HeadlessInput::Key, 0, 0});
    window->OnFinalMessage();
    window = nullptr;
}

} // namespace

bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout) {
    if (layout.secondary) {
        secondaries.push_back({wnd, layout});
        if (wnd->OnCreate()) return true;
        secondaries.pop_back();
        return false;
    }
    window = wnd;
    windowSpec = layout;
    if (!wnd->OnCreate()) {
        window = nullptr;
        return false;
    }
    return true;
}

void WndSetRect(CSaverWnd* wnd, const WindowSpec& layout) {
    if (wnd && wnd == window) windowSpec = layout;
    auto found = FindSecondary(wnd);
    if (found != secondaries.end()) found->layout = layout;
}

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == window) DestroyNow();
    auto found = FindSecondary(wnd);
    if (wnd && found != secondaries.end()) {
        secondaries.erase(found);
        wnd->OnFinalMessage(); // a secondary window's end does not end the run
        std::erase_if(queue, [wnd](const QueuedMessage& m) { return m.target == wnd; });
    }
}

void WndPostClose(CSaverWnd* wnd) {
    if (wnd != window) return; // no such window (any more)
    queue.push_back({Message::Close, HeadlessInput::Key, 0, 0});
}

PumpResult WndPumpMessage() {
    if (queue.empty()) {
        if (window && window->View().NeedsPaint()) {
            window->OnPaint();
            return PumpResult::Handled;
        }
        for (const Secondary& s : secondaries) {
            if (!s.window->View().NeedsPaint()) continue;
            s.window->OnPaint();
            return PumpResult::Handled;
        }
        return PumpResult::NoMessage;
    }
    QueuedMessage m = queue.front();
    queue.pop_front();
    switch (m.message) {
    case Message::Quit: return PumpResult::Quit;
    case Message::Close:
    case Message::Destroy: DestroyNow(); break;
    case Message::Input:
        if (m.target ? FindSecondary(m.target) != secondaries.end() : window != nullptr) Deliver(m);
        break;
    }
    return PumpResult::Handled;
}

void WndWaitMessage(uint32_t) {}

bool WndIdle(int) {
    ++idleCalls;
    return false;
}

void HeadlessPostInput(HeadlessInput input, int32_t x, int32_t y) {
    queue.push_back({Message::Input, input, x, y});
}
void HeadlessPostInputTo(int secondary, HeadlessInput input, int32_t x, int32_t y) {
    if (secondary < 0 || secondary >= static_cast<int>(secondaries.size())) return;
    queue.push_back({Message::Input, input, x, y, secondaries[secondary].window});
}
int HeadlessSecondaryCount() {
    return static_cast<int>(secondaries.size());
}
const WindowSpec* HeadlessSecondaryLayout(int secondary) {
    if (secondary < 0 || secondary >= static_cast<int>(secondaries.size())) return nullptr;
    return &secondaries[secondary].layout;
}
const WindowSpec& HeadlessWindowSpec() {
    return windowSpec;
}
void HeadlessPostDestroy() {
    queue.push_back({Message::Destroy, HeadlessInput::Key, 0, 0});
}
CSaverWnd* HeadlessWindow() {
    return window;
}
bool HeadlessWindowExists() {
    return window != nullptr;
}
bool HeadlessWindowTopmost() {
    return windowSpec.topmost;
}
bool HeadlessWindowChild() {
    return windowSpec.child;
}
bool HeadlessCursorHidden() {
    return windowSpec.hideCursor;
}
int HeadlessIdleCalls() {
    return idleCalls;
}
void HeadlessResetWindow() {
    queue.clear();
    window = nullptr;
    windowSpec = {};
    secondaries.clear();
    idleCalls = 0;
}
