// Controls of the headless dialogs: a scripted user for the settings dialog
// and a record of everything the dialogs asked the platform to do.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CConfigDlg;

// What the user does in the settings dialog once it is initialised: acts on
// the model and returns DLG_OK or DLG_CANCEL. Without a script the dialog is
// cancelled at once. When OK cannot store the settings, the reason is shown
// as a message box and the dialog stays open: the script is called again, up
// to HEADLESS_SETTINGS_ROUNDS times in all, then the dialog is cancelled.
void HeadlessSetSettingsScript(std::function<int(CConfigDlg&)> script);
constexpr int HEADLESS_SETTINGS_ROUNDS = 8;

// When on, starting a program fails.
void HeadlessFailProcessStart(bool on);

struct HeadlessDialogLog {
    int settingsRuns = 0;
    std::vector<std::string> startedLines;             // command lines started
    std::vector<std::vector<std::string>> startedArgs; // the same as argument lists
    std::vector<std::string> openedFiles;
    int splashShows = 0;
    int splashHides = 0;
    bool splashVisible = false;
};

const HeadlessDialogLog& HeadlessDialogs();
// Forgets the record, the script and the failure switch.
void HeadlessResetDialogs();
