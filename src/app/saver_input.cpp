// The input rules of the saver window.
#include "app/app_state.h"
#include "app/saver_window.h"

void CSaverWnd::Close() {
    const CSaverWnd* target = runWindow ? runWindow : this;
    if (target->Id()) windows.PostClose(target->Id());
}

const char* CSaverWnd::Title() const {
    return run.appTitle;
}

bool CSaverWnd::OnSysCommand(uint32_t command) {
    return command != SC_SCREENSAVE_COMMAND && command != SC_CLOSE_COMMAND;
}

// Refusing deactivation keeps a saver window in front of everything.
bool CSaverWnd::OnNcActivate(bool active, bool toOwnWindow) {
    return run.previewMode || active || toOwnWindow;
}

bool CSaverWnd::OnActivate(bool active, bool toOwnWindow) {
    if (!run.previewMode && !active && !toOwnWindow) Close();
    return true;
}

bool CSaverWnd::OnActivateApp(bool active) {
    if (!run.previewMode && !active) Close();
    return true;
}

// The first reported position is the reference; any change from it closes.
bool CSaverWnd::OnMouseMove(int32_t x, int32_t y) {
    if (run.previewMode) return true;
    if (firstMouseX == -1 && firstMouseY == -1) {
        firstMouseX = x;
        firstMouseY = y;
    } else if (x != firstMouseX || y != firstMouseY) {
        Close();
    }
    return true;
}

bool CSaverWnd::OnButtonDown() {
    if (!run.previewMode) Close();
    return true;
}

bool CSaverWnd::OnKeyDown() {
    if (!run.previewMode) Close();
    return true;
}

void CSaverWnd::OnDisplayChange() {
    firstMouseX = -1;
    firstMouseY = -1;
}

CursorAnswer CSaverWnd::OnSetCursor() const {
    return run.exclusiveMode ? CursorAnswer::HideCursor : CursorAnswer::NotHandled;
}

bool CSaverWnd::OnWindowEvent(const WindowEvent& e) {
    switch (e.type) {
    case WindowEventType::SysCommand: return OnSysCommand(e.command);
    case WindowEventType::NcActivate: return OnNcActivate(e.active, e.toOwnWindow);
    case WindowEventType::Activate: return OnActivate(e.active, e.toOwnWindow);
    case WindowEventType::ActivateApp: return OnActivateApp(e.active);
    case WindowEventType::MouseMove: return OnMouseMove(e.x, e.y);
    case WindowEventType::ButtonDown: return OnButtonDown();
    case WindowEventType::KeyDown: return OnKeyDown();
    case WindowEventType::DisplayChange: OnDisplayChange(); return false;
    case WindowEventType::SetCursor: return OnSetCursor() == CursorAnswer::HideCursor;
    default: return CDisplayWnd::OnWindowEvent(e);
    }
}
