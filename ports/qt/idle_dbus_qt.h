// The idle service's business on the session bus: GNOME's idle monitor as an
// idle source (it also tells idleness on GNOME Wayland), and the screen
// saver's inhibitors, which keep the saver from starting.
#pragma once

#include "ports/qt/idle_source_qt.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QMap>
#include <QObject>
#include <QString>
#include <memory>

class QDBusServiceWatcher;

// org.gnome.Mutter.IdleMonitor: an idle watch, then a user-active watch.
class MutterIdleSource : public QObject, public IdleSource {
    Q_OBJECT

  public:
    // Null when the monitor is not on the bus.
    static std::unique_ptr<MutterIdleSource> Connect(const QDBusConnection& bus);
    ~MutterIdleSource() override;

    const char* Name() const override { return "org.gnome.Mutter.IdleMonitor"; }
    void Arm(uint32_t ms) override;

  private Q_SLOTS:
    void WatchFired(uint id);

  private:
    explicit MutterIdleSource(const QDBusConnection& bus);
    uint Call(const char* method, const QVariantList& args);
    void Remove(uint& watch);

    QDBusConnection bus;
    uint idleWatch = 0;
    uint activeWatch = 0;
};

// The screen saver's inhibitors. Where no one else keeps the screen saver's
// service (org.freedesktop.ScreenSaver) on the bus, as on sway or a bare X11
// session, this object keeps it: players and browsers ask it to inhibit, and
// an inhibition ends with UnInhibit or when its owner leaves the bus. Where
// the desktop keeps it, the desktop is asked (GNOME's session manager, the
// power manager of KDE).
class ScreenSaverInhibitors : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

  public:
    explicit ScreenSaverInhibitors(const QDBusConnection& bus);
    ~ScreenSaverInhibitors() override;

    // Whether anything inhibits the screen saver now.
    bool Inhibited();
    // Whether this object keeps the service.
    bool Keeps() const { return keeps; }

  public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);
    // The saver started by the idle service is no locker: never "active".
    bool GetActive();

  private:
    void OwnerLeft(const QString& owner);

    QDBusConnection bus;
    bool keeps = false;
    struct Inhibition {
        QString owner;
        QString application;
    };
    QMap<uint, Inhibition> inhibitions;
    uint nextCookie = 1;
    std::unique_ptr<QDBusServiceWatcher> owners;
};

// The name of another screen saver that runs in this user's session
// (XScreenSaver, mate-screensaver, xfce4-screensaver); null when none does.
// The idle service stands aside for it.
const char* OtherScreenSaver();
