#include "ports/qt/splash_window_qt.h"

#include <QCoreApplication>

QtSplashWindow::QtSplashWindow()
    : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      layout(this, splashTemplate) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

void QtSplashWindow::ShowNow() {
    CentreOnScreen(this);
    show();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
