// The loading splash.
#pragma once

// The splash that shows while a saver run loads its module. It is hidden at
// the latest when the object goes out of scope.
class CSplashDlg {
  public:
    CSplashDlg() = default;
    ~CSplashDlg();
    CSplashDlg(const CSplashDlg&) = delete;
    CSplashDlg& operator=(const CSplashDlg&) = delete;

    void Create();
    void DestroyWindow();
    bool IsVisible() const { return visible; }

  private:
    bool visible = false;
};
