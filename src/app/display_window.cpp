// The display layer of the saver window.
#include "app/glimmora_context.h"
#include "app/saver_window.h"

bool CDisplayWnd::OnCreate() {
    if (!ctx.view.Init(static_cast<CSaverWnd*>(this))) return false;
    ctx.loop.displayReady = true;
    return true;
}

void CDisplayWnd::OnPaint() {
    ctx.view.Paint();
}

void CDisplayWnd::OnFinalMessage() {
    ctx.loop.displayReady = false;
}

CSSView& CDisplayWnd::View() {
    return ctx.view;
}

const char* CDisplayWnd::Title() const {
    return ctx.run.appTitle;
}
