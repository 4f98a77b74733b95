#include "ports/qt/system_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

// The clock starts at a full second, not at 0: a section clock of 0 means
// "not started".
constexpr qint64 CLOCK_ORIGIN_MS = 1000;

void PrintMessage(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

} // namespace

QtSystem::QtSystem(uintptr_t embedHost) : embedHost(embedHost) {
    clock.start();
}

void QtSystem::ShowMessageBox(const char* caption, const char* text) {
    PrintMessage(caption, text);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    if (embedHost != 0) return;
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption ? caption : ""),
                    QString::fromUtf8(text ? text : ""), QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void QtSystem::LogMessage(const char* caption, const char* text) {
    PrintMessage(caption, text);
}

uint32_t QtSystem::Milliseconds() {
    return static_cast<uint32_t>(static_cast<quint64>(clock.elapsed() + CLOCK_ORIGIN_MS));
}
