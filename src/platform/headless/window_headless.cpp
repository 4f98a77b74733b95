// A window system without a screen: one window, a message queue, and a paint
// whenever the queue is empty and the view has something to redraw.
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"

#include <deque>

namespace {

enum class Message { Input, Close, Destroy, Quit };

struct QueuedMessage {
    Message message;
    HeadlessInput input;
    int32_t x;
    int32_t y;
};

std::deque<QueuedMessage> queue;
CSaverWnd* window = nullptr;
WindowSpec windowSpec{};
int idleCalls = 0;

void Deliver(const QueuedMessage& m) {
    switch (m.input) {
    case HeadlessInput::Key: window->OnKeyDown(); break;
    case HeadlessInput::SysKey: window->OnKeyDown(); break;
    case HeadlessInput::Button: window->OnButtonDown(); break;
    case HeadlessInput::MouseMove: window->OnMouseMove(m.x, m.y); break;
    case HeadlessInput::Deactivate:
        window->OnNcActivate(false);
        window->OnActivate(false);
        break;
    case HeadlessInput::DeactivateApp: window->OnActivateApp(false); break;
    case HeadlessInput::SysCommand: window->OnSysCommand(static_cast<uint32_t>(m.x)); break;
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
    window = wnd;
    windowSpec = layout;
    if (!wnd->OnCreate()) {
        window = nullptr;
        return false;
    }
    return true;
}

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == window) DestroyNow();
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
        return PumpResult::NoMessage;
    }
    QueuedMessage m = queue.front();
    queue.pop_front();
    switch (m.message) {
    case Message::Quit: return PumpResult::Quit;
    case Message::Close:
    case Message::Destroy: DestroyNow(); break;
    case Message::Input:
        if (window) Deliver(m);
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
    idleCalls = 0;
}
