// Message boxes and the millisecond clock on Qt.
#include "platform/qt/embed_host_qt.h"
#include "platform/sys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <cstdio>

void SysMessageBox(const char* caption, const char* text) {
    // Also on the standard error stream, where logs of unattended runs keep it.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    // Inside a screen-saver daemon's window a box would wait, unseen, behind it.
    if (QtEmbedHost() != 0) return;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLocal8Bit(caption ? caption : ""),
                    QString::fromLocal8Bit(text ? text : ""), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void SysLogMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

uint32_t SysMilliseconds() {
    // A monotonic clock: wall-clock changes never disturb the animation.
    static QElapsedTimer clock;
    static const qint64 origin = [] {
        clock.start();
        // Start at a full second, not at 0: a section clock of 0 means "not started".
        return qint64(1000);
    }();
    return static_cast<uint32_t>(static_cast<quint64>(clock.elapsed() + origin));
}
