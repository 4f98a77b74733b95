// The loading splash as a Qt window: the logo over "Loading Screen Saver...",
// thin border, no caption, centred on the screen.
#pragma once

#include "ports/qt/dialog_builder_qt.h"

#include <QFrame>

class QtSplashWindow : public QFrame {
    Q_OBJECT

  public:
    QtSplashWindow();

    // Shows the window and paints it at once: loading keeps the event loop busy.
    void ShowNow();

  private:
    DialogLayout layout;
};
