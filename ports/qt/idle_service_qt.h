// The idle service (`glimmora --idle`), for the desktops that start no
// screen saver of another program's: it waits for the session to be idle,
// then plays the theme on every monitor (a saver run, `glimmora /s`, in a
// process of its own) until input ends it or the desktop reports input.
//
// Idle sources, best first: Wayland's ext-idle-notify-v1, KDE's idle
// protocol, GNOME's idle monitor on the session bus (also on GNOME Wayland),
// the X server's IDLETIME counter. It stands aside while another screen saver
// runs (XScreenSaver, mate-screensaver, xfce4-screensaver), does not start
// while the screen saver is inhibited or, on X11, a window is full screen,
// and never inhibits idleness itself: the desktop's own blanking and lock
// still come, over it.
#pragma once

#include "ports/qt/idle_source_qt.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class ScreenSaverInhibitors;

class IdleService {
  public:
    // `program` and `arguments` start a saver run; `afterSeconds` (0: the
    // autostart entry's minutes, else 10 minutes) is the idle time.
    IdleService(const QString& program, const QStringList& arguments, int afterSeconds);
    ~IdleService();
    IdleService(const IdleService&) = delete;
    IdleService& operator=(const IdleService&) = delete;

    // Finds the idle source and serves until the process ends; the exit
    // status (1 without an idle source).
    int Run();

  private:
    void Arm();
    void OnIdle();
    void OnActive();
    // Why the saver must not start now; empty when it may.
    QString Blocked();
    void Play();
    void Stop();

    const QString program;
    const QStringList arguments;
    const int afterSeconds;
    std::unique_ptr<IdleSource> source;
    std::unique_ptr<ScreenSaverInhibitors> inhibitors;
    QProcess saver;
    QTimer recheck; // while idle but held back: asks again
    QString heldBackFor;
    bool hadEntry = false; // the autostart entry gave the idle time
};
