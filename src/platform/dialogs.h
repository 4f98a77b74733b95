// Dialog services: the modal settings dialog over its model, the loading
// splash, starting a program and opening a file for the user.
#pragma once

class CConfigDlg;

constexpr int DLG_OK = 1;     // the dialog ended with OK
constexpr int DLG_CANCEL = 2; // Escape or the close box

// Runs the settings dialog modally over `dlg` (More Options and About open
// from it). The dialog's initialisation calls dlg.OnInitDialog(); OK calls
// dlg.OnOK(). Returns DLG_OK or DLG_CANCEL.
int DlgRunSettings(CConfigDlg& dlg);

// Shows the loading splash centred on the screen, painted before this returns.
void DlgShowSplash();
void DlgHideSplash();

// Starts a program and returns at once, without waiting for it. `commandLine`
// is the whole command as one line (the form a Windows shell starts);
// `argv` the same command as separate arguments, ending with nullptr (the form
// other systems start). Returns 1 when the program was started, else 0.
int DlgStartDetached(const char* commandLine, const char* const* argv);

// Asks the desktop to open `path` with the default viewer of its type.
// Whether that succeeds is not reported.
void DlgOpenFile(const char* path);
