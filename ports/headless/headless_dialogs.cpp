#include "ports/headless/headless_dialogs.h"

#include "platform/system.h"
#include "ui/config_dlg.h"

#include <utility>

void HeadlessDialogs::SetSettingsScript(std::function<int(CConfigDlg&)> script) {
    settingsScript = std::move(script);
}

void HeadlessDialogs::Reset() {
    log = HeadlessDialogLog();
    settingsScript = nullptr;
}

int HeadlessDialogs::RunSettings(CConfigDlg& dlg) {
    ++log.settingsRuns;
    dlg.OnInitDialog();
    // An OK that cannot store the settings shows why and leaves the dialog
    // open: the script acts again (a bounded number of times).
    for (int round = 0; round < HEADLESS_SETTINGS_ROUNDS && settingsScript; ++round) {
        if (settingsScript(dlg) != DLG_OK) return DLG_CANCEL;
        if (dlg.OnOK() == DLG_OK) return DLG_OK;
        system.ShowMessageBox(dlg.caption, dlg.saveFailure);
    }
    return DLG_CANCEL;
}

void HeadlessDialogs::ShowSplash() {
    ++log.splashShows;
    log.splashVisible = true;
}

void HeadlessDialogs::HideSplash() {
    ++log.splashHides;
    log.splashVisible = false;
}
