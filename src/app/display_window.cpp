// The display layer of the saver window.
#include "app/main_loop.h"
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "script/module_loader.h"

CDisplayWnd::CDisplayWnd() {
    LoadModule();
}

bool CDisplayWnd::OnCreate() {
    if (!view.Init(static_cast<CSaverWnd*>(this))) return false;
    displayReady = true;
    return true;
}

void CDisplayWnd::OnPaint() {
    view.Paint();
}

void CDisplayWnd::OnFinalMessage() {
    displayReady = false;
}
