#include "ui/splash_dlg.h"

#include "ui/dialog_host.h"

CSplashDlg::~CSplashDlg() {
    DestroyWindow();
}

void CSplashDlg::Create() {
    if (visible) return;
    dialogs.ShowSplash();
    visible = true;
}

void CSplashDlg::DestroyWindow() {
    if (!visible) return;
    dialogs.HideSplash();
    visible = false;
}
