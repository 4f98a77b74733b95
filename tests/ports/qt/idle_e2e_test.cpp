// The idle service, `glimmora --idle`, end to end on a private X server: it
// plays the demo after the idle time, input ends the saver, and it plays
// again after the next idle time; it holds back while the screen saver is
// inhibited on the session bus, while another screen saver runs and while
// the active window is full screen; over GNOME's idle monitor (a small one
// of the test's own on a private session bus) it plays on the monitor's word
// and ends on it.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "qt_test_app.h"
#include "support/test_files.h"
#include "support/x_session.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int SHOW_TIMEOUT_MS = 15000;
#define LSAN_SUPPRESSIONS GLIMMORA_SOURCE_DIR "/tests/ports/qt/lsan_system_libraries.supp"

// Runs the test's own events (its D-Bus objects answer meanwhile) until
// `done` holds or `ms` have passed; whether it held.
bool SpinUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

} // namespace

// GNOME's idle monitor as the service sees it on the bus: it records the
// watches asked for; the test fires them.
class FakeIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")

  public:
    std::vector<qulonglong> idleWatches; // the interval of each idle watch asked for
    uint idleWatch = 0;
    uint activeWatch = 0;

  public Q_SLOTS:
    uint AddIdleWatch(qulonglong interval) {
        idleWatches.push_back(interval);
        idleWatch = next++;
        return idleWatch;
    }
    uint AddUserActiveWatch() {
        activeWatch = next++;
        return activeWatch;
    }
    void RemoveWatch(uint id) {
        if (id == idleWatch) idleWatch = 0;
        if (id == activeWatch) activeWatch = 0;
    }

  Q_SIGNALS:
    void WatchFired(uint id);

  private:
    uint next = 1;
};

namespace {

class IdleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApplication(); // the test's D-Bus connections need its application
        ASSERT_TRUE(x.Running()) << "Xvfb could not be started";
        std::filesystem::create_directories(dir.File("data/Tarnwell/Glimmora"));
        std::filesystem::create_directory_symlink(std::string(GLIMMORA_SOURCE_DIR) +
                                                      "/themes/Aquarium",
                                                  dir.File("data/Tarnwell/Glimmora/Aquarium"));
        std::filesystem::create_symlink(GLIMMORA_PROGRAM, dir.File("glimmora"));
    }

    void TearDown() override {
        service.Kill();
        if (bus.Running()) {
            QDBusConnection::disconnectFromBus("test");
            bus.Kill();
        }
    }

    // A session bus of the test's own, and the test's connection to it.
    QDBusConnection StartBus() {
        std::string address = "unix:path=" + dir.File("bus");
        EXPECT_TRUE(bus.Start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile",
                               "--address=" + address},
                              {}, dir.File("bus-out"), dir.File("bus-err")));
        busAddress = address;
        SpinUntil([this] { return std::filesystem::exists(dir.File("bus")); }, 5000);
        QDBusConnection connection =
            QDBusConnection::connectToBus(QString::fromStdString(address), "test");
        EXPECT_TRUE(connection.isConnected()) << ReadFileText(dir.File("bus-err"));
        return connection;
    }

    void StartService(int seconds) {
        std::vector<std::string> env{
            "DISPLAY=" + x.Display(),
            "WAYLAND_DISPLAY=",
            "DBUS_SESSION_BUS_ADDRESS=" +
                (busAddress.empty() ? "unix:path=" + dir.File("no-bus") : busAddress),
            "XDG_DATA_HOME=" + dir.File("data"),
            "XDG_CONFIG_HOME=" + dir.File("config"),
            "XDG_DATA_DIRS=/nonexistent",
            "QT_QPA_PLATFORM=xcb",
            "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS};
        env.insert(env.end(), waylandEnv.begin(), waylandEnv.end());
        ASSERT_TRUE(
            service.Start({dir.File("glimmora"), "--idle", "--after", std::to_string(seconds)}, env,
                          dir.File("out.txt"), dir.File("err.txt")));
    }

    // What the service said.
    std::string Said() { return ReadFileText(dir.File("err.txt")); }
    bool Says(const std::string& text, int ms) {
        return SpinUntil([&] { return Said().find(text) != std::string::npos; }, ms);
    }
    int Count(const std::string& text) {
        std::string said = Said();
        int n = 0;
        for (size_t at = said.find(text); at != std::string::npos; at = said.find(text, at + 1)) {
            ++n;
        }
        return n;
    }

    // The saver's window, once shown; whether it showed within `ms`.
    bool SaverShows(int ms) {
        return SpinUntil(
            [this] { return !Xdo("search --onlyvisible --name '^glimmora$'").empty(); }, ms);
    }
    bool SaverGone(int ms) {
        return SpinUntil([this] { return Xdo("search --onlyvisible --name '^glimmora$'").empty(); },
                         ms);
    }

    std::string Xdo(const std::string& args) { return XCommand(x.Display(), "xdotool " + args); }

    int SameAsRender() {
        EXPECT_TRUE(Screenshot(x.Display(), "root", dir.File("shot.ppm")));
        int status = RunCommand(
            "GLIMMORA_TOOL=" GLIMMORA_TOOL " " GLIMMORA_SOURCE_DIR "/scripts/lib/same-as-render " +
            dir.File("shot.ppm") +
            " 800x600+0+0 " GLIMMORA_SOURCE_DIR "/themes/Aquarium/Aquarium.SS >" +
            dir.File("same.txt") + " 2>&1");
        std::string said = ReadFileText(dir.File("same.txt"));
        EXPECT_EQ(status, 0) << said;
        return status == 0 ? std::atoi(said.c_str()) : -1;
    }

    XvfbServer x{800, 600};
    TempDir dir;
    ChildProcess bus;
    std::string busAddress;
    std::vector<std::string> waylandEnv; // replaces the empty WAYLAND_DISPLAY
    ChildProcess service;
};

TEST_F(IdleTest, PlaysWhenIdleEndsOnInputAndPlaysAgain) {
    StartService(2);
    ASSERT_TRUE(Says("waiting for 2 seconds without input (X11 SYNC IDLETIME)", 10000)) << Said();
    // Input keeps it waiting.
    for (int i = 0; i < 3; ++i) {
        QThread::msleep(800);
        Xdo("mousemove_relative 1 0");
    }
    EXPECT_EQ(Xdo("search --onlyvisible --name '^glimmora$'"), "");
    ASSERT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
    QThread::msleep(1500);
    EXPECT_GE(SameAsRender(), 80);

    Xdo("mousemove_relative 1 0");
    ASSERT_TRUE(SaverGone(5000)) << Said();
    EXPECT_TRUE(service.Running());
    ASSERT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
    EXPECT_EQ(Count("idle: the saver starts"), 2) << Said();

    // The saver ends with the service.
    service.Kill();
    EXPECT_TRUE(SaverGone(5000));
}

TEST_F(IdleTest, AnInhibitorOnTheSessionBusHoldsItBack) {
    QDBusConnection connection = StartBus();
    StartService(1);
    ASSERT_TRUE(Says("waiting for 1 seconds", 10000)) << Said();
    // A player inhibits the screen saver, as players do.
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver",
                                                       "/org/freedesktop/ScreenSaver",
                                                       "org.freedesktop.ScreenSaver", "Inhibit");
    call << QString("player") << QString("a film plays");
    QDBusReply<uint> cookie = connection.call(call);
    ASSERT_TRUE(cookie.isValid()) << cookie.error().message().toStdString() << Said();
    ASSERT_TRUE(Says("idle, but the screen saver is inhibited", 10000)) << Said();
    EXPECT_FALSE(SaverShows(2500));

    QDBusMessage release = QDBusMessage::createMethodCall(
        "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
        "org.freedesktop.ScreenSaver", "UnInhibit");
    release << cookie.value();
    connection.call(release);
    EXPECT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
}

TEST_F(IdleTest, ItStandsAsideWhileAnotherScreenSaverRuns) {
    std::filesystem::copy_file("/bin/sleep", dir.File("xscreensaver"));
    std::filesystem::permissions(dir.File("xscreensaver"), std::filesystem::perms::owner_all);
    ChildProcess other;
    ASSERT_TRUE(other.Start({dir.File("xscreensaver"), "60"}, {}, dir.File("o1"), dir.File("o2")));
    StartService(1);
    ASSERT_TRUE(Says("idle, but XScreenSaver runs: it starts the screen saver", 10000)) << Said();
    EXPECT_FALSE(SaverShows(1500));
    other.Kill();
    EXPECT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
}

TEST_F(IdleTest, AFullScreenWindowHoldsItBack) {
    ChildProcess film;
    ASSERT_TRUE(film.Start({"/usr/bin/xmessage", "-title", "Film", "film"},
                           {"DISPLAY=" + x.Display()}, dir.File("f1"), dir.File("f2")));
    std::string id = WaitForOutput(x.Display(), "xdotool search --name '^Film$' | head -1", 10000);
    ASSERT_NE(id, "");
    // What a window manager says of an active full-screen window.
    XCommand(x.Display(), "xprop -id " + id +
                              " -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_FULLSCREEN");
    XCommand(x.Display(), "xprop -root -f _NET_ACTIVE_WINDOW 32x -set _NET_ACTIVE_WINDOW " + id);
    StartService(1);
    ASSERT_TRUE(Says("idle, but the active window is full screen", 10000)) << Said();
    EXPECT_FALSE(SaverShows(1500));
    XCommand(x.Display(), "xprop -id " + id + " -remove _NET_WM_STATE");
    EXPECT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
}

TEST_F(IdleTest, GnomesIdleMonitorStartsAndEndsIt) {
    QDBusConnection connection = StartBus();
    FakeIdleMonitor monitor;
    ASSERT_TRUE(connection.registerObject("/org/gnome/Mutter/IdleMonitor/Core", &monitor,
                                          QDBusConnection::ExportAllSlots |
                                              QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(connection.registerService("org.gnome.Mutter.IdleMonitor"));
    StartService(3);
    ASSERT_TRUE(SpinUntil([&] { return monitor.idleWatch != 0; }, 10000)) << Said();
    EXPECT_EQ(monitor.idleWatches, std::vector<qulonglong>{3000});
    EXPECT_TRUE(Says("waiting for 3 seconds without input (org.gnome.Mutter.IdleMonitor)", 1000));

    emit monitor.WatchFired(monitor.idleWatch);
    ASSERT_TRUE(SpinUntil([&] { return monitor.activeWatch != 0; }, 5000)) << Said();
    ASSERT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
    // The monitor's word of input ends the saver; the service waits again.
    emit monitor.WatchFired(monitor.activeWatch);
    ASSERT_TRUE(SaverGone(5000)) << Said();
    EXPECT_TRUE(SpinUntil([&] { return monitor.idleWatches.size() == 2; }, 5000)) << Said();
    EXPECT_TRUE(Says("input: the saver ends", 1000)) << Said();
}

#ifdef GLIMMORA_FAKE_IDLE_COMPOSITOR
// A compositor that offers ext-idle-notify-v1 (a small server of the test's
// own): the service asks it for a notification of the idle time, plays on
// "idled" and ends the saver on "resumed". The saver itself shows on the X
// server.
TEST_F(IdleTest, ExtIdleNotifyStartsAndEndsIt) {
    std::string runtime = dir.File("runtime");
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ChildProcess compositor;
    ASSERT_TRUE(compositor.Start({GLIMMORA_FAKE_IDLE_COMPOSITOR, "wayland-idle"},
                                 {"XDG_RUNTIME_DIR=" + runtime}, dir.File("compositor.txt"),
                                 dir.File("compositor-err.txt")));
    auto told = [&](const std::string& line) {
        return ReadFileText(dir.File("compositor.txt")).find(line) != std::string::npos;
    };
    ASSERT_TRUE(SpinUntil([&] { return told("ready\n"); }, 5000));
    waylandEnv = {"XDG_RUNTIME_DIR=" + runtime, "WAYLAND_DISPLAY=wayland-idle"};
    StartService(3);
    ASSERT_TRUE(Says("waiting for 3 seconds without input (ext-idle-notify-v1)", 10000)) << Said();
    ASSERT_TRUE(SpinUntil([&] { return told("notification 3000\n"); }, 5000));

    kill(compositor.Pid(), SIGUSR1); // idled
    ASSERT_TRUE(SaverShows(SHOW_TIMEOUT_MS)) << Said();
    kill(compositor.Pid(), SIGUSR2); // resumed
    ASSERT_TRUE(SaverGone(5000)) << Said();
    EXPECT_TRUE(Says("input: the saver ends", 1000)) << Said();
    // Waiting again: a new notification, the old one destroyed.
    EXPECT_TRUE(SpinUntil(
        [&] {
            std::string text = ReadFileText(dir.File("compositor.txt"));
            return text.find("notification 3000\n") != text.rfind("notification 3000\n");
        },
        5000));
}
#endif

} // namespace

#include "idle_e2e_test.moc"

#endif
