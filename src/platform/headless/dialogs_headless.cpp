#include "platform/dialogs.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/sys.h"
#include "ui/config_dlg.h"

#include <utility>

namespace {
HeadlessDialogLog dialogLog;
std::function<int(CConfigDlg&)> settingsScript;
bool failProcessStart = false;
} // namespace

void HeadlessSetSettingsScript(std::function<int(CConfigDlg&)> script) {
    settingsScript = std::move(script);
}
void HeadlessFailProcessStart(bool on) {
    failProcessStart = on;
}
const HeadlessDialogLog& HeadlessDialogs() {
    return dialogLog;
}
void HeadlessResetDialogs() {
    dialogLog = HeadlessDialogLog();
    settingsScript = nullptr;
    failProcessStart = false;
}

int DlgRunSettings(CConfigDlg& dlg) {
    ++dialogLog.settingsRuns;
    dlg.OnInitDialog();
    // An OK that cannot store the settings shows why and leaves the dialog
    // open: the script acts again (a bounded number of times).
    for (int round = 0; round < HEADLESS_SETTINGS_ROUNDS && settingsScript; ++round) {
        if (settingsScript(dlg) != DLG_OK) return DLG_CANCEL;
        if (dlg.OnOK() == DLG_OK) return DLG_OK;
        SysMessageBox(dlg.caption, dlg.saveFailure);
    }
    return DLG_CANCEL;
}

void DlgShowSplash() {
    ++dialogLog.splashShows;
    dialogLog.splashVisible = true;
}
void DlgHideSplash() {
    ++dialogLog.splashHides;
    dialogLog.splashVisible = false;
}

int DlgStartDetached(const char* commandLine, const char* const* argv) {
    if (failProcessStart) return 0;
    dialogLog.startedLines.push_back(commandLine);
    std::vector<std::string> args;
    for (; *argv; ++argv) args.push_back(*argv);
    dialogLog.startedArgs.push_back(std::move(args));
    return 1;
}

void DlgOpenFile(const char* path) {
    dialogLog.openedFiles.push_back(path);
}
