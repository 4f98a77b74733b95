#include "platform/dialogs.h"
#include "platform/headless/headless_dialogs.h"
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
    int result = settingsScript ? settingsScript(dlg) : DLG_CANCEL;
    if (result == DLG_OK) return dlg.OnOK();
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
