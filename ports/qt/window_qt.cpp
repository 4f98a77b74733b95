#include "ports/qt/window_qt.h"

#include "ports/qt/host_window_qt.h"
#include "ports/qt/saver_window_qt.h"

#include <QAbstractEventDispatcher>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 DEFAULT_REFRESH_HZ = 60;

bool HaveGui() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// The screen of a monitor the shell listed, if it is still there.
QScreen* MonitorScreen(uintptr_t id) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (reinterpret_cast<uintptr_t>(screen) == id) return screen;
    }
    return nullptr;
}

// Full screen on the monitor of `layout`, or at its rectangle on the primary.
void Place(QWindow* window, const WindowLayout& layout) {
    QRect rect(layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top);
    QScreen* screen = layout.monitor ? MonitorScreen(layout.monitor) : nullptr;
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        if (screen && layout.monitor == 0) rect.translate(screen->geometry().topLeft());
    }
    if (screen) window->setScreen(screen);
    window->setGeometry(rect);
}

void SetLooks(QWindow* window, const WindowLayout& layout) {
    window->setTitle(QString::fromUtf8(layout.title ? layout.title : ""));
    if (layout.hideCursor) window->setCursor(QCursor(Qt::BlankCursor));
}

// The window's last event: it is gone.
void TellGone(WindowEventSink& sink, WindowId id) {
    WindowEvent event{};
    event.type = WindowEventType::Final;
    event.window = id;
    sink.OnWindowEvent(event);
}

bool PresentStatsWanted() {
    return qEnvironmentVariableIsSet("GLIMMORA_PRESENT_STATS");
}

} // namespace

QtWindows::QtWindows(uintptr_t embedHost)
    : embedHost(embedHost), refreshNs(1000000000 / DEFAULT_REFRESH_HZ) {}

QtWindows::~QtWindows() {
    // Each window leaves the list before it is deleted.
    while (!others.empty()) {
        std::unique_ptr<SaverWindowQt> gone = std::move(others.back());
        others.pop_back();
    }
    runWindow.reset();
    hostWindow.reset();
}

SaverWindowQt* QtWindows::Find(WindowId id) const {
    if (id == 0) return nullptr;
    if (runWindow && runWindow->id == id) return runWindow.get();
    for (const std::unique_ptr<SaverWindowQt>& w : others) {
        if (w->id == id) return w.get();
    }
    return nullptr;
}

bool QtWindows::IsOwnWindow(const QWindow* window) const {
    if (!window) return false;
    if (window == runWindow.get()) return true;
    return std::any_of(
        others.begin(), others.end(),
        [window](const std::unique_ptr<SaverWindowQt>& w) { return w.get() == window; });
}

// Another monitor's window: full screen there, never activated, so that the
// run's own window keeps the keyboard.
WindowId QtWindows::CreateOther(const WindowLayout& layout, WindowEventSink& sink) {
    const WindowId id = nextId++;
    others.push_back(std::make_unique<SaverWindowQt>(*this, sink, id, nullptr, true));
    SaverWindowQt* window = others.back().get();
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (layout.topmost) flags |= Qt::WindowStaysOnTopHint;
    window->setFlags(flags);
    Place(window, layout);
    SetLooks(window, layout);
    if (!window->Send(WindowEventType::Create)) {
        others.pop_back();
        return 0;
    }
    // Full screen without the activation that showFullScreen() asks for.
    window->setWindowStates(Qt::WindowFullScreen);
    window->setVisible(true);
    return id;
}

WindowId QtWindows::Create(const WindowLayout& layout, WindowEventSink& sink) {
    if (!HaveGui()) return 0;
    if (layout.secondary) return CreateOther(layout, sink);
    if (runWindow) return 0;
    const uintptr_t embed = layout.child ? 0 : embedHost;
    const uintptr_t parentId = layout.child ? layout.parent : embed;
    std::unique_ptr<QWindow> parent;
    if (parentId != 0) {
        int32_t w = 0;
        int32_t h = 0;
        if (!X11WindowSize(parentId, &w, &h)) return 0;
        parent.reset(QWindow::fromWinId(static_cast<WId>(parentId)));
        if (!parent) return 0;
    }
    const WindowId id = nextId++;
    auto window = std::make_unique<SaverWindowQt>(*this, sink, id, parent.get(), embed == 0);
    if (!parent) {
        Qt::WindowFlags flags = Qt::Window;
        if (!framedRunWindow) flags |= Qt::FramelessWindowHint;
        if (layout.topmost) flags |= Qt::WindowStaysOnTopHint;
        window->setFlags(flags);
    }
    if (!parent && !layout.child) {
        Place(window.get(), layout);
    } else {
        window->setGeometry(
            QRect(layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top));
    }
    SetLooks(window.get(), layout);
    window->grabKeyboard = layout.topmost && !parent;

    hostWindow = std::move(parent);
    hostId = parentId;
    runWindow = std::move(window);
    quitPending = false;
    if (!runWindow->Send(WindowEventType::Create)) {
        runWindow.reset();
        hostWindow.reset();
        hostId = 0;
        return 0;
    }
    SaverWindowQt* made = runWindow.get();

    presentClock.start();
    QScreen* screen = made->screen();
    qreal hz = screen ? screen->refreshRate() : 0;
    if (hz < 1 || hz > 1000) hz = DEFAULT_REFRESH_HZ;
    refreshNs = static_cast<qint64>(1e9 / hz);

    if (embed == 0 && !layout.child) {
        for (QScreen* s : QGuiApplication::screens()) FollowScreen(s, made);
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, made, [this, made](QScreen* s) {
            FollowScreen(s, made);
            DisplayChanged();
        });
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, made,
                         [this] { DisplayChanged(); });
        QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, made,
                         [this] { DisplayChanged(); });
        QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, made,
                         [made](Qt::ApplicationState state) {
                             if (state == Qt::ApplicationActive || !made->WasActive()) return;
                             WindowEvent event{};
                             event.type = WindowEventType::ActivateApp;
                             event.active = false;
                             made->Send(event);
                         });
    }
    if (layout.topmost && !hostWindow) {
        made->showFullScreen();
        made->requestActivate();
    } else {
        made->show();
        if (!hostWindow && !layout.child) made->requestActivate();
    }
    return id;
}

QWindow* QtWindows::RunWindow() const {
    return runWindow.get();
}

void QtWindows::SetRect(WindowId id, const WindowLayout& layout) {
    SaverWindowQt* window = Find(id);
    if (!window || window->parent()) return;
    Place(window, layout);
    if (window->windowState() & Qt::WindowFullScreen) window->showFullScreen();
}

// The run's window goes, and with it the run: the pump reports Quit next.
void QtWindows::DestroyRun() {
    if (!runWindow) return;
    // For the CPU benchmark: how many pictures the run showed, and in what time.
    if (PresentStatsWanted()) {
        std::fprintf(stderr, "presented %d pictures in %lld ms\n", presentCount,
                     static_cast<long long>(presentClock.elapsed()));
    }
    WindowEventSink& sink = runWindow->Sink();
    const WindowId id = runWindow->id;
    runWindow.reset();
    hostWindow.reset();
    hostId = 0;
    quitPending = true;
    TellGone(sink, id);
}

// A window of another monitor goes; the run goes on.
void QtWindows::DestroyOther(SaverWindowQt* window) {
    auto found = std::find_if(
        others.begin(), others.end(),
        [window](const std::unique_ptr<SaverWindowQt>& w) { return w.get() == window; });
    if (found == others.end()) return;
    // Out of the list before it is deleted, so that nothing finds it half gone.
    std::unique_ptr<SaverWindowQt> gone = std::move(*found);
    others.erase(found);
    WindowEventSink& sink = gone->Sink();
    const WindowId id = gone->id;
    gone.reset();
    TellGone(sink, id);
}

void QtWindows::Destroy(WindowId id) {
    if (id == 0) return;
    if (runWindow && runWindow->id == id) {
        DestroyRun();
    } else if (SaverWindowQt* window = Find(id)) {
        DestroyOther(window);
    }
}

void QtWindows::PostClose(WindowId id) {
    if (SaverWindowQt* window = Find(id)) window->closePending = true;
}

void QtWindows::Present(WindowId id, const VidFrame& frame, const VidRect* rects, int count) {
    SaverWindowQt* window = Find(id);
    if (!window || !frame.pixels || frame.width <= 0 || frame.height <= 0 || !rects) return;
    const QRect whole(0, 0, frame.width, frame.height);
    QRegion region;
    for (int i = 0; i < count; ++i) {
        const VidRect& r = rects[i];
        QRect rect = QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).intersected(whole);
        if (!rect.isEmpty()) region += rect;
    }
    if (region.isEmpty()) return;
    // 0x00RRGGBB is Qt's RGB32 layout; the unused top byte is ignored.
    const QImage image(reinterpret_cast<const uchar*>(frame.pixels), frame.width, frame.height,
                       static_cast<qsizetype>(frame.width) * 4, QImage::Format_RGB32);
    const QRegion shown = window->Present(image, region);
    if (shown.isEmpty()) return;
    ++presentCount;
    if (!firstFullShown && shown == QRegion(QRect(QPoint(0, 0), window->size()))) {
        firstFullShown = true;
        // For the start-up benchmark: when the first whole picture was shown.
        if (PresentStatsWanted()) {
            std::fprintf(stderr, "first full picture at %lld ms since the epoch\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        }
    }
}

void QtWindows::PaintNow(SaverWindowQt& window) {
    window.Send(WindowEventType::Paint);
    window.lastPresentNs = presentClock.nsecsElapsed();
}

// At most one picture per refresh of the display: more would never be seen.
bool QtWindows::PaintDue(SaverWindowQt* window) {
    return window && window->isExposed() && window->Send(WindowEventType::NeedsPaint) &&
           presentClock.nsecsElapsed() - window->lastPresentNs >= refreshNs;
}

uint32_t QtWindows::PresentWaitMs(SaverWindowQt* window) {
    if (!window || !window->isExposed() || !window->Send(WindowEventType::NeedsPaint)) {
        return 0xFFFFFFFFu;
    }
    const qint64 left = refreshNs - (presentClock.nsecsElapsed() - window->lastPresentNs);
    return left <= 0 ? 0 : static_cast<uint32_t>((left + 999999) / 1000000);
}

void QtWindows::FollowScreen(QScreen* screen, QObject* context) {
    QObject::connect(screen, &QScreen::geometryChanged, context, [this] { DisplayChanged(); });
}

// The monitors changed: every window takes its next pointer position as the
// new reference (the pointer may have been moved onto a monitor that remains).
void QtWindows::DisplayChanged() {
    if (runWindow) runWindow->Send(WindowEventType::DisplayChange);
    for (const std::unique_ptr<SaverWindowQt>& window : others) {
        window->Send(WindowEventType::DisplayChange);
    }
}

PumpResult QtWindows::PumpMessage() {
    if (quitPending) {
        quitPending = false;
        return PumpResult::Quit;
    }
    if (runWindow && runWindow->closePending) {
        DestroyRun();
        return PumpResult::Handled;
    }
    for (const std::unique_ptr<SaverWindowQt>& window : others) {
        if (!window->closePending) continue;
        DestroyOther(window.get());
        return PumpResult::Handled;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher->processEvents(QEventLoop::AllEvents)) return PumpResult::Handled;
    if (PaintDue(runWindow.get())) {
        PaintNow(*runWindow);
        return PumpResult::Handled;
    }
    for (const std::unique_ptr<SaverWindowQt>& window : others) {
        if (!PaintDue(window.get())) continue;
        PaintNow(*window);
        return PumpResult::Handled;
    }
    return PumpResult::NoMessage;
}

bool QtWindows::Idle(int count) {
    // A host window that went away takes the saver with it; the host may
    // also have destroyed the saver's own window.
    if (count == 0 && runWindow && hostId != 0) {
        int32_t w = 0;
        int32_t h = 0;
        if (!X11WindowSize(hostId, &w, &h) || !X11WindowSize(runWindow->winId(), &w, &h)) {
            runWindow->closePending = true;
        }
    }
    return false;
}

void QtWindows::WaitMessage(uint32_t ms) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || quitPending) return;
    if (runWindow && runWindow->closePending) return;
    for (const std::unique_ptr<SaverWindowQt>& window : others) {
        if (window->closePending) return;
    }
    if (!waitTimer) {
        waitTimer = std::make_unique<QTimer>();
        waitTimer->setSingleShot(true);
        waitTimer->setTimerType(Qt::PreciseTimer);
    }
    // A picture held back to the display's refresh is shown once it is due.
    for (const std::unique_ptr<SaverWindowQt>& window : others) {
        ms = std::min(ms, PresentWaitMs(window.get()));
    }
    ms = std::min(ms, PresentWaitMs(runWindow.get()));
    waitTimer->start(static_cast<int>(std::min<uint32_t>(ms, 1000)));
    dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    waitTimer->stop();
}
