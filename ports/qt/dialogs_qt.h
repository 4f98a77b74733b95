// The dialogs on Qt: the settings dialog (More Options and About open from
// it) and the loading splash.
#pragma once

#include "ui/dialog_host.h"

#include <cstdint>
#include <memory>

class QtSplashWindow;

class QtDialogs : public DialogHost {
  public:
    // `embedHost`: the screen-saver daemon's window the run plays in, 0 for
    // none; no splash shows over it.
    explicit QtDialogs(uintptr_t embedHost);
    ~QtDialogs() override;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;

    // Cancelled at once without a QApplication.
    int RunSettings(CConfigDlg& dlg) override;
    void ShowSplash() override;
    void HideSplash() override;

  private:
    const uintptr_t embedHost;
    std::unique_ptr<QtSplashWindow> splash; // while it shows
};
