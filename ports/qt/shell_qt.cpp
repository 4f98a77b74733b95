#include "ports/qt/shell_qt.h"

#include "base/theme_folder.h"
#include "ports/qt/host_window_qt.h"
#include "ports/qt/idle_autostart_qt.h"
#include "ports/qt/idle_dbus_qt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStringList>
#include <QUrl>
#include <cstdio>
#include <cstring>

bool QtShell::FindLongSaverName(const char*, char*, int) {
    return false;
}

namespace {

// "<prefix>/share" of the installation the program runs from: its themes are
// found there wherever it was installed, also outside $XDG_DATA_DIRS.
QByteArray OwnDataDir() {
    if (!QCoreApplication::instance()) return {};
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share").toLocal8Bit();
}

} // namespace

void QtShell::ThemeFolder(const char* scriptName, char* folder, int size) {
    XdgThemeFolder(scriptName, folder, size, OwnDataDir().constData());
}

bool QtShell::ThemeSearchFolders(const char* scriptName, char* list, int size) {
    return XdgThemeFolders(scriptName, list, size, OwnDataDir().constData());
}

void QtShell::ScreenSize(int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    if (embedHost != 0 && X11WindowSize(embedHost, width, height)) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    *width = screen->geometry().width();
    *height = screen->geometry().height();
}

int QtShell::Monitors(SysMonitor* monitors, int capacity) {
    if (embedHost != 0) return 0; // the daemon covers the monitors itself
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    const QScreen* primary = QGuiApplication::primaryScreen();
    int n = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (n >= capacity) break;
        const QRect g = screen->geometry();
        monitors[n++] = {reinterpret_cast<uintptr_t>(screen),
                         g.x(),
                         g.y(),
                         g.width(),
                         g.height(),
                         screen == primary};
    }
    return n;
}

bool QtShell::WindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    return X11WindowSize(handle, width, height);
}

int QtShell::StartDetached(const char*, const char* const* argv) {
    if (!argv || !argv[0]) return 0;
    QStringList arguments;
    for (const char* const* arg = argv + 1; *arg; ++arg) arguments << QString::fromLocal8Bit(*arg);
    return QProcess::startDetached(QString::fromLocal8Bit(argv[0]), arguments) ? 1 : 0;
}

void QtShell::OpenFile(const char* path) {
    QString file = QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

SaverStarter QtShell::HowSaverStarts(char* name, int nameSize, int32_t* idleMinutes) {
    *idleMinutes = 0;
    const char* other = OtherScreenSaver();
    std::snprintf(name, static_cast<size_t>(nameSize), "%s", other ? other : "");
    if (other) {
        return std::strcmp(other, "XScreenSaver") == 0 ? SaverStarter::XScreenSaver
                                                       : SaverStarter::DesktopSaver;
    }
    *idleMinutes = ReadIdleAutostart().minutes;
    return *idleMinutes > 0 ? SaverStarter::IdleService : SaverStarter::Nothing;
}

bool QtShell::SetIdleStart(const char* theme, int32_t minutes, char* why, int whySize) {
    QString reason;
    const QString program = QCoreApplication::applicationFilePath();
    const QString name = QString::fromUtf8(theme);
    bool done = minutes > 0 ? WriteIdleAutostart(program, {name, minutes}, &reason)
                            : RemoveIdleAutostart(&reason);
    if (done && minutes > 0) QProcess::startDetached(program, {"--idle", "--theme", name});
    std::snprintf(why, static_cast<size_t>(whySize), "%s", reason.toLocal8Bit().constData());
    return done;
}
