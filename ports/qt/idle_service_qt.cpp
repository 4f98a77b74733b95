#include "ports/qt/idle_service_qt.h"

#include "ports/qt/idle_autostart_qt.h"
#include "ports/qt/idle_dbus_qt.h"
#include "ports/qt/idle_x11_qt.h"
#ifdef GLIMMORA_HAVE_WAYLAND
#include "ports/qt/idle_wayland_qt.h"
#endif

#include <QCoreApplication>
#include <QDBusConnection>
#include <QLockFile>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {

constexpr int DEFAULT_IDLE_MINUTES = 10;
// While idle but held back (inhibited, another saver, a full-screen window),
// how often the service asks again, at most.
constexpr int RECHECK_MS = 5000;

void Say(const QString& text) {
    std::fprintf(stderr, "glimmora: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

std::unique_ptr<IdleSource> FindSource(const QDBusConnection& bus) {
#ifdef GLIMMORA_HAVE_WAYLAND
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        if (auto wayland = WaylandIdleSource::Connect()) return wayland;
    }
#endif
    if (auto mutter = MutterIdleSource::Connect(bus)) return mutter;
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (auto x11 = X11IdleSource::Connect()) return x11;
    }
    return nullptr;
}

} // namespace

IdleService::IdleService(const QString& program, const QStringList& arguments, int afterSeconds)
    : program(program), arguments(arguments), afterSeconds(afterSeconds) {
    saver.setProcessChannelMode(QProcess::ForwardedChannels);
    // The saver ends with the service, however the service ends.
    saver.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    recheck.setSingleShot(true);
    QObject::connect(&recheck, &QTimer::timeout, [this] { OnIdle(); });
}

IdleService::~IdleService() {
    Stop();
}

int IdleService::Run() {
    // One service per display: one started by hand or by the settings dialog
    // beside the one of the login leaves.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    display.replace('/', '_');
    QLockFile lock(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                   "/glimmora-idle" + display + ".lock");
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        Say("the idle service runs already on this display");
        return 0;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    inhibitors = std::make_unique<ScreenSaverInhibitors>(bus);
    source = FindSource(bus);
    if (!source) {
        Say("the idle service finds no idle source: no Wayland compositor with an idle "
            "protocol, no GNOME idle monitor on the session bus, no X server with an IDLETIME "
            "counter");
        return 1;
    }
    source->idle = [this] { OnIdle(); };
    // Armed again outside the source's own event handling.
    source->active = [this] { QTimer::singleShot(0, [this] { OnActive(); }); };
    source->lost = [this] {
        Say(QString("the idle service ends: %1 is gone").arg(source->Name()));
        QCoreApplication::exit(0);
    };
    Arm();
    return QCoreApplication::exec();
}

void IdleService::Arm() {
    int seconds = afterSeconds;
    if (seconds == 0) {
        // The entry's idle time, read anew each time: the settings dialog
        // changes it, or takes the entry away, which ends the service.
        const int minutes = ReadIdleAutostart().minutes;
        if (minutes == 0 && hadEntry) {
            Say("the idle service is turned off: its autostart entry is gone");
            QCoreApplication::exit(0);
            return;
        }
        hadEntry = minutes > 0;
        seconds = 60 * (minutes > 0 ? minutes : DEFAULT_IDLE_MINUTES);
    }
    heldBackFor.clear();
    Say(QString("waiting for %1 seconds without input (%2)").arg(seconds).arg(source->Name()));
    source->Arm(static_cast<uint32_t>(seconds) * 1000);
}

QString IdleService::Blocked() {
    if (const char* other = OtherScreenSaver()) {
        return QString(other) + " runs: it starts the screen saver";
    }
    if (inhibitors->Inhibited()) return "the screen saver is inhibited";
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        X11ActiveWindowIsFullScreen()) {
        return "the active window is full screen";
    }
    return {};
}

void IdleService::OnIdle() {
    if (saver.state() != QProcess::NotRunning) return;
    const QString why = Blocked();
    if (!why.isEmpty()) {
        if (why != heldBackFor) Say("idle, but " + why);
        heldBackFor = why;
        recheck.start(RECHECK_MS);
        return;
    }
    Play();
}

void IdleService::OnActive() {
    recheck.stop();
    if (saver.state() != QProcess::NotRunning) Say("input: the saver ends");
    Stop();
    Arm();
}

void IdleService::Play() {
    Say("idle: the saver starts");
    // The theme the settings chose last, where the entry keeps it.
    QStringList args = arguments;
    const IdleAutostart entry = ReadIdleAutostart();
    if (hadEntry && entry.minutes > 0) args = QStringList{"/s", "--theme", entry.theme};
    saver.start(program, args);
}

void IdleService::Stop() {
    if (saver.state() == QProcess::NotRunning) return;
    saver.terminate();
    if (!saver.waitForFinished(3000)) {
        saver.kill();
        saver.waitForFinished(1000);
    }
}
