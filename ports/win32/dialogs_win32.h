// The dialogs, built in memory from the portable dialog tables: settings,
// More Options, About and the loading splash. Each dialog procedure only
// moves values between the controls and the dialog models of the ui layer,
// which hold the rules.
#pragma once

#include "ports/win32/win32_platform.h"
#include "ui/dialog_host.h"

class Win32Dialogs : public DialogHost {
  public:
    // Registers the common controls the dialogs use (the sliders).
    Win32Dialogs();
    // Takes the splash down if it still shows.
    ~Win32Dialogs() override;
    Win32Dialogs(const Win32Dialogs&) = delete;
    Win32Dialogs& operator=(const Win32Dialogs&) = delete;

    int RunSettings(CConfigDlg& dlg) override;
    void ShowSplash() override;
    void HideSplash() override;

    // The splash window while it shows, else nullptr.
    HWND Splash() const { return splash; }

  private:
    HWND splash = nullptr;
};
