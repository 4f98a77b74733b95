// The loading splash.
#pragma once

// The splash that shows while a saver run loads its module. It is hidden at
// the latest when the object goes out of scope.
class DialogHost;

class CSplashDlg {
  public:
    explicit CSplashDlg(DialogHost& dialogs) : dialogs(dialogs) {}
    ~CSplashDlg();
    CSplashDlg(const CSplashDlg&) = delete;
    CSplashDlg& operator=(const CSplashDlg&) = delete;

    void Create();
    void DestroyWindow();
    bool IsVisible() const { return visible; }

  private:
    DialogHost& dialogs;
    bool visible = false;
};
