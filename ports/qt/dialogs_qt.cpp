#include "platform/dialogs.h"
#include "platform/qt/config_dialog_qt.h"
#include "platform/qt/embed_host_qt.h"
#include "platform/qt/splash_window_qt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace {
QtSplashWindow* splash = nullptr;
}

int DlgRunSettings(CConfigDlg& dlg) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return DLG_CANCEL;
    QtConfigDialog dialog(dlg);
    return dialog.exec() == QDialog::Accepted ? DLG_OK : DLG_CANCEL;
}

void DlgShowSplash() {
    if (splash || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    // Inside a screen-saver daemon's window a splash of its own would show over it.
    if (QtEmbedHost() != 0) return;
    splash = new QtSplashWindow();
    splash->ShowNow();
}

void DlgHideSplash() {
    delete splash;
    splash = nullptr;
}

int DlgStartDetached(const char*, const char* const* argv) {
    if (!argv || !argv[0]) return 0;
    QStringList arguments;
    for (const char* const* arg = argv + 1; *arg; ++arg) arguments << QString::fromLocal8Bit(*arg);
    return QProcess::startDetached(QString::fromLocal8Bit(argv[0]), arguments) ? 1 : 0;
}

void DlgOpenFile(const char* path) {
    QString file = QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}
