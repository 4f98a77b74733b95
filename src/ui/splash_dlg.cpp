#include "ui/splash_dlg.h"

#include "platform/dialogs.h"

CSplashDlg::~CSplashDlg() {
    DestroyWindow();
}

void CSplashDlg::Create() {
    if (visible) return;
    DlgShowSplash();
    visible = true;
}

void CSplashDlg::DestroyWindow() {
    if (!visible) return;
    DlgHideSplash();
    visible = false;
}
