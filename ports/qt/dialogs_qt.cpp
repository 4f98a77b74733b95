#include "ports/qt/dialogs_qt.h"

#include "ports/qt/config_dialog_qt.h"
#include "ports/qt/splash_window_qt.h"

#include <QApplication>

QtDialogs::QtDialogs(uintptr_t embedHost) : embedHost(embedHost) {}

QtDialogs::~QtDialogs() = default;

int QtDialogs::RunSettings(CConfigDlg& dlg) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return DLG_CANCEL;
    QtConfigDialog dialog(dlg);
    return dialog.exec() == QDialog::Accepted ? DLG_OK : DLG_CANCEL;
}

void QtDialogs::ShowSplash() {
    if (splash || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    // Inside a screen-saver daemon's window a splash of its own would show over it.
    if (embedHost != 0) return;
    splash = std::make_unique<QtSplashWindow>();
    splash->ShowNow();
}

void QtDialogs::HideSplash() {
    splash.reset();
}
