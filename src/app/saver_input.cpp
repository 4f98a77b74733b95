// The input rules of the saver window.
#include "app/glimmora_context.h"
#include "app/saver_window.h"
#include "platform/window.h"

void CSaverWnd::Close() {
    WndPostClose(runWindow ? runWindow : this);
}

bool CSaverWnd::OnSysCommand(uint32_t command) {
    return command != SC_SCREENSAVE_COMMAND && command != SC_CLOSE_COMMAND;
}

// Refusing deactivation keeps a saver window in front of everything.
bool CSaverWnd::OnNcActivate(bool active, bool toOwnWindow) {
    return ctx.run.previewMode || active || toOwnWindow;
}

bool CSaverWnd::OnActivate(bool active, bool toOwnWindow) {
    if (!ctx.run.previewMode && !active && !toOwnWindow) Close();
    return true;
}

bool CSaverWnd::OnActivateApp(bool active) {
    if (!ctx.run.previewMode && !active) Close();
    return true;
}

// The first reported position is the reference; any change from it closes.
bool CSaverWnd::OnMouseMove(int32_t x, int32_t y) {
    if (ctx.run.previewMode) return true;
    if (firstMouseX == -1 && firstMouseY == -1) {
        firstMouseX = x;
        firstMouseY = y;
    } else if (x != firstMouseX || y != firstMouseY) {
        Close();
    }
    return true;
}

bool CSaverWnd::OnButtonDown() {
    if (!ctx.run.previewMode) Close();
    return true;
}

bool CSaverWnd::OnKeyDown() {
    if (!ctx.run.previewMode) Close();
    return true;
}

void CSaverWnd::OnDisplayChange() {
    firstMouseX = -1;
    firstMouseY = -1;
}

CursorAnswer CSaverWnd::OnSetCursor() const {
    return ctx.run.exclusiveMode ? CursorAnswer::HideCursor : CursorAnswer::NotHandled;
}
