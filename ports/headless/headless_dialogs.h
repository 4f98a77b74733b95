// The headless dialogs: a scripted user for the settings dialog and a record
// of what the dialogs were asked to do.
#pragma once

#include "ui/dialog_host.h"

#include <functional>

class SystemServices;

constexpr int HEADLESS_SETTINGS_ROUNDS = 8;

struct HeadlessDialogLog {
    int settingsRuns = 0;
    int splashShows = 0;
    int splashHides = 0;
    bool splashVisible = false;
};

class HeadlessDialogs : public DialogHost {
  public:
    // `system` shows the message box of an OK that cannot store the settings.
    explicit HeadlessDialogs(SystemServices& system) : system(system) {}

    int RunSettings(CConfigDlg& dlg) override;
    void ShowSplash() override;
    void HideSplash() override;

    // What the user does in the settings dialog once it is initialised: acts
    // on the model and returns DLG_OK or DLG_CANCEL. Without a script the
    // dialog is cancelled at once. When OK cannot store the settings, the
    // reason is shown as a message box and the dialog stays open: the script
    // is called again, up to HEADLESS_SETTINGS_ROUNDS times in all, then the
    // dialog is cancelled.
    void SetSettingsScript(std::function<int(CConfigDlg&)> script);
    const HeadlessDialogLog& Log() const { return log; }
    // Forgets the record and the script.
    void Reset();

  private:
    SystemServices& system;
    HeadlessDialogLog log;
    std::function<int(CConfigDlg&)> settingsScript;
};
