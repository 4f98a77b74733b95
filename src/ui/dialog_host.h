// The dialogs a port shows over the models of this layer: the modal settings
// dialog (More Options and About open from it) and the loading splash.
#pragma once

class CConfigDlg;

constexpr int DLG_OK = 1;     // the dialog ended with OK
constexpr int DLG_CANCEL = 2; // Escape or the close box

class DialogHost {
  public:
    virtual ~DialogHost() = default;

    // Runs the settings dialog modally over `dlg`. The dialog's
    // initialisation calls dlg.OnInitDialog(); OK calls dlg.OnOK(), and when
    // that cannot store the settings the dialog shows dlg.saveFailure in a
    // message box and stays open. Returns DLG_OK or DLG_CANCEL.
    virtual int RunSettings(CConfigDlg& dlg) = 0;
    // Shows the loading splash centred on the screen, painted before this returns.
    virtual void ShowSplash() = 0;
    virtual void HideSplash() = 0;
};
