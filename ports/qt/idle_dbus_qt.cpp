#include "ports/qt/idle_dbus_qt.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {

constexpr char MUTTER_SERVICE[] = "org.gnome.Mutter.IdleMonitor";
constexpr char MUTTER_PATH[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char SCREENSAVER_SERVICE[] = "org.freedesktop.ScreenSaver";

bool OnBus(const QDBusConnection& bus, const QString& service) {
    QDBusConnectionInterface* names = bus.interface();
    return names && names->isServiceRegistered(service).value();
}

// A yes-or-no method of another service: false when it is not on the bus or
// does not answer.
bool Ask(const QDBusConnection& bus, const char* service, const char* path, const char* interface,
         const char* method, const QVariantList& args = {}) {
    if (!OnBus(bus, service)) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(args);
    QDBusReply<bool> reply = bus.call(call, QDBus::Block, 2000);
    return reply.isValid() && reply.value();
}

} // namespace

std::unique_ptr<MutterIdleSource> MutterIdleSource::Connect(const QDBusConnection& bus) {
    if (!bus.isConnected() || !OnBus(bus, MUTTER_SERVICE)) return nullptr;
    return std::unique_ptr<MutterIdleSource>(new MutterIdleSource(bus));
}

MutterIdleSource::MutterIdleSource(const QDBusConnection& bus) : bus(bus) {
    this->bus.connect(MUTTER_SERVICE, MUTTER_PATH, MUTTER_SERVICE, "WatchFired", this,
                      SLOT(WatchFired(uint)));
}

MutterIdleSource::~MutterIdleSource() {
    Remove(idleWatch);
    Remove(activeWatch);
}

uint MutterIdleSource::Call(const char* method, const QVariantList& args) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(MUTTER_SERVICE, MUTTER_PATH, MUTTER_SERVICE, method);
    call.setArguments(args);
    QDBusReply<uint> reply = bus.call(call, QDBus::Block, 5000);
    return reply.isValid() ? reply.value() : 0;
}

void MutterIdleSource::Remove(uint& watch) {
    if (watch == 0) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(MUTTER_SERVICE, MUTTER_PATH, MUTTER_SERVICE, "RemoveWatch");
    call << watch;
    bus.call(call, QDBus::NoBlock);
    watch = 0;
}

void MutterIdleSource::Arm(uint32_t ms) {
    Remove(idleWatch);
    Remove(activeWatch);
    idleWatch = Call("AddIdleWatch", {QVariant::fromValue(static_cast<qulonglong>(ms))});
}

void MutterIdleSource::WatchFired(uint id) {
    if (id != 0 && id == idleWatch) {
        Remove(idleWatch);
        activeWatch = Call("AddUserActiveWatch", {});
        if (idle) idle();
    } else if (id != 0 && id == activeWatch) {
        activeWatch = 0; // a user-active watch fires once and is gone
        if (active) active();
    }
}

ScreenSaverInhibitors::ScreenSaverInhibitors(const QDBusConnection& bus) : bus(bus) {
    if (!this->bus.isConnected()) return;
    QDBusConnectionInterface* names = this->bus.interface();
    if (!names || names->isServiceRegistered(SCREENSAVER_SERVICE).value()) return;
    if (!this->bus.registerObject("/ScreenSaver", this, QDBusConnection::ExportAllSlots) ||
        !this->bus.registerObject("/org/freedesktop/ScreenSaver", this,
                                  QDBusConnection::ExportAllSlots)) {
        return;
    }
    keeps = this->bus.registerService(SCREENSAVER_SERVICE);
    owners = std::make_unique<QDBusServiceWatcher>();
    owners->setConnection(this->bus);
    owners->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(owners.get(), &QDBusServiceWatcher::serviceUnregistered, this,
                     [this](const QString& owner) { OwnerLeft(owner); });
}

ScreenSaverInhibitors::~ScreenSaverInhibitors() {
    if (keeps) bus.unregisterService(SCREENSAVER_SERVICE);
    bus.unregisterObject("/ScreenSaver");
    bus.unregisterObject("/org/freedesktop/ScreenSaver");
}

uint ScreenSaverInhibitors::Inhibit(const QString& application, const QString& reason) {
    Q_UNUSED(reason);
    const QString owner = calledFromDBus() ? message().service() : QString();
    uint cookie = nextCookie++;
    if (nextCookie == 0) nextCookie = 1;
    inhibitions.insert(cookie, {owner, application});
    if (owners && !owner.isEmpty()) owners->addWatchedService(owner);
    return cookie;
}

void ScreenSaverInhibitors::UnInhibit(uint cookie) {
    inhibitions.remove(cookie);
}

bool ScreenSaverInhibitors::GetActive() {
    return false;
}

void ScreenSaverInhibitors::OwnerLeft(const QString& owner) {
    for (auto it = inhibitions.begin(); it != inhibitions.end();) {
        it = it->owner == owner ? inhibitions.erase(it) : std::next(it);
    }
    owners->removeWatchedService(owner);
}

bool ScreenSaverInhibitors::Inhibited() {
    if (keeps) return !inhibitions.isEmpty();
    // GNOME: the session manager's inhibitors of idleness (flag 8).
    if (Ask(bus, "org.gnome.SessionManager", "/org/gnome/SessionManager",
            "org.gnome.SessionManager", "IsInhibited", {QVariant::fromValue(8u)})) {
        return true;
    }
    // KDE Plasma: its power manager keeps the inhibitions.
    return Ask(bus, "org.freedesktop.PowerManagement.Inhibit",
               "/org/freedesktop/PowerManagement/Inhibit",
               "org.freedesktop.PowerManagement.Inhibit", "HasInhibit");
}

const char* OtherScreenSaver() {
    // Process names as the kernel keeps them: at most 15 characters.
    static constexpr struct {
        const char* process;
        const char* name;
    } savers[] = {{"xscreensaver", "XScreenSaver"},
                  {"mate-screensave", "mate-screensaver"},
                  {"xfce4-screensav", "xfce4-screensaver"}};
    const uint user = getuid();
    const QStringList processes = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : processes) {
        bool number = false;
        pid.toUInt(&number);
        if (!number || QFileInfo("/proc/" + pid).ownerId() != user) continue;
        QFile comm("/proc/" + pid + "/comm");
        if (!comm.open(QIODevice::ReadOnly)) continue;
        const QByteArray name = comm.read(64).trimmed();
        for (const auto& saver : savers) {
            if (name == saver.process) return saver.name;
        }
    }
    return nullptr;
}
