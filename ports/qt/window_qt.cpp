// The saver window and the message pump on Qt. The window is a raster QWindow:
// a frameless full-screen window, a child of a host window (preview, or the
// window a screen-saver daemon gives), or a small top-level preview. A run
// over several monitors adds a full-screen window on each other monitor. The
// input of every window goes to its CSaverWnd, which decides what ends the run.
#include "app/app_state.h"
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/qt/embed_host_qt.h"
#include "platform/qt/host_window_qt.h"
#include "platform/qt/saver_window_qt.h"
#include "platform/shell.h"
#include "platform/window.h"

#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QCursor>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 DEFAULT_REFRESH_HZ = 60;

class SaverWindowQt : public QWindow {
  public:
    SaverWindowQt(CSaverWnd* owner, QWindow* parent, bool forwardInput, bool secondary)
        : QWindow(parent), saver(owner), secondary(secondary), store(this),
          inputEnds(forwardInput) {
        setSurfaceType(QSurface::RasterSurface);
    }

    void Present(const QImage& image, const QRegion& region);
    void PaintNow();

    CSaverWnd* const saver;
    const bool secondary; // one of the other monitors' windows
    bool closePending = false;
    qint64 lastPresentNs = 0;
    // Losing activation counts only after the window has had it: focus that
    // moves at start (from the splash, say) is no loss.
    bool WasActive() const { return wasActive; }

  protected:
    bool event(QEvent* e) override;
    void exposeEvent(QExposeEvent* e) override;

  private:
    void Deactivated();

    QBackingStore store;
    bool inputEnds; // input reaches the saver's rules (not in a daemon's window)
    bool wasActive = false;
    bool firstShow = true;
};

CSaverWnd* saverWnd = nullptr; // the run's own window
SaverWindowQt* qtWindow = nullptr;
std::vector<SaverWindowQt*> others; // the other monitors' windows
SaverWindowQt* painting = nullptr;  // the window whose view paints now
QWindow* hostWindow = nullptr;      // the foreign parent, when there is one
uintptr_t hostId = 0;
bool grabKeyboard = false;
bool quitPending = false;
QElapsedTimer presentClock;
qint64 refreshNs = 1000000000 / DEFAULT_REFRESH_HZ;
QTimer* waitTimer = nullptr;
int presentCount = 0; // pictures shown, reported for benchmarks
bool firstFullShown = false;

void SaverWindowQt::Present(const QImage& image, const QRegion& changed) {
    if (!isExposed()) return;
    if (store.size() != size()) store.resize(size());
    // Only the changed rectangles are copied and flushed, not their bounding box.
    QRegion region = changed.intersected(QRect(QPoint(0, 0), size()));
    if (region.isEmpty()) return;
    store.beginPaint(region);
    {
        QPainter painter(store.paintDevice());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : region) painter.drawImage(rect.topLeft(), image, rect);
    }
    store.endPaint();
    store.flush(region);
    ++presentCount;
    if (!firstFullShown && region == QRegion(QRect(QPoint(0, 0), size()))) {
        firstFullShown = true;
        // For the start-up benchmark: when the first whole picture was shown.
        if (qEnvironmentVariableIsSet("GLIMMORA_PRESENT_STATS")) {
            std::fprintf(stderr, "first full picture at %lld ms since the epoch\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        }
    }
}

bool IsOwnWindow(const QWindow* window) {
    return window &&
           (window == qtWindow || std::find(others.begin(), others.end(), window) != others.end());
}

SaverWindowQt* Find(const CSaverWnd* wnd) {
    if (!wnd) return nullptr;
    if (qtWindow && wnd == saverWnd) return qtWindow;
    for (SaverWindowQt* w : others) {
        if (w->saver == wnd) return w;
    }
    return nullptr;
}

void SaverWindowQt::PaintNow() {
    painting = this;
    saver->OnPaint();
    painting = nullptr;
    lastPresentNs = presentClock.nsecsElapsed();
}

void SaverWindowQt::Deactivated() {
    if (!wasActive || !inputEnds) return;
    // The focus has moved on already: to another window of the run, it is no loss.
    const bool toOwn = IsOwnWindow(QGuiApplication::focusWindow());
    saver->OnNcActivate(false, toOwn);
    saver->OnActivate(false, toOwn);
}

bool SaverWindowQt::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::FocusIn: wasActive = true; break;
    case QEvent::FocusOut: Deactivated(); break;
    case QEvent::KeyPress:
        if (inputEnds) saver->OnKeyDown();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (inputEnds) saver->OnButtonDown();
        return true;
    case QEvent::MouseMove: {
        QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
        if (inputEnds) saver->OnMouseMove(p.x(), p.y());
        return true;
    }
    case QEvent::Enter: {
        // The pointer crossing into the window tells where it is, as a move would.
        QPoint p = static_cast<QEnterEvent*>(e)->position().toPoint();
        if (inputEnds) saver->OnMouseMove(p.x(), p.y());
        return true;
    }
    case QEvent::Close:
        // A close command from the window manager is the system's close
        // command; the saver's rules may refuse it.
        if (saver->OnSysCommand(SC_CLOSE_COMMAND)) WndPostClose(saver);
        e->ignore();
        return true;
    default: break;
    }
    return QWindow::event(e);
}

void SaverWindowQt::exposeEvent(QExposeEvent*) {
    if (!isExposed()) return;
    if (firstShow) {
        firstShow = false;
        if (grabKeyboard && !secondary) setKeyboardGrabEnabled(true);
        // A window that appears under the pointer learns where it is at once:
        // that first position is the one later movement is measured from.
        QPoint p = mapFromGlobal(QCursor::pos());
        if (inputEnds && QRect(QPoint(0, 0), size()).contains(p)) saver->OnMouseMove(p.x(), p.y());
    }
    saver->View().InvalidateAll();
    PaintNow();
}

// A window of another monitor goes; the run goes on.
void DestroyOther(SaverWindowQt* window) {
    others.erase(std::find(others.begin(), others.end(), window));
    CSaverWnd* owner = window->saver;
    delete window;
    owner->OnFinalMessage(); // the application owns the object
}

void DestroyNow() {
    if (!saverWnd) return;
    // For the CPU benchmark: how many pictures the run showed, and in what time.
    if (qEnvironmentVariableIsSet("GLIMMORA_PRESENT_STATS")) {
        std::fprintf(stderr, "presented %d pictures in %lld ms\n", presentCount,
                     static_cast<long long>(presentClock.elapsed()));
    }
    delete qtWindow;
    qtWindow = nullptr;
    delete hostWindow;
    hostWindow = nullptr;
    hostId = 0;
    quitPending = true;
    CSaverWnd* owner = saverWnd;
    saverWnd = nullptr;
    owner->OnFinalMessage(); // the application owns the object
}

// The monitors changed: every window takes its next pointer position as the
// new reference (the pointer may have been moved onto a monitor that remains).
void DisplayChanged() {
    if (saverWnd) saverWnd->OnDisplayChange();
    for (SaverWindowQt* window : others) window->saver->OnDisplayChange();
}

void FollowScreen(QScreen* screen, QObject* context) {
    QObject::connect(screen, &QScreen::geometryChanged, context, [] { DisplayChanged(); });
}

bool PresentDue(const SaverWindowQt* window) {
    return presentClock.nsecsElapsed() - window->lastPresentNs >= refreshNs;
}

// Milliseconds until the window's held-back picture may be shown; no limit
// when it has none.
uint32_t PresentWaitMs(const SaverWindowQt* window) {
    if (!window || !window->isExposed() || !window->saver->View().NeedsPaint()) return 0xFFFFFFFFu;
    const qint64 left = refreshNs - (presentClock.nsecsElapsed() - window->lastPresentNs);
    return left <= 0 ? 0 : static_cast<uint32_t>((left + 999999) / 1000000);
}

// The screen of a monitor SysMonitors listed, if it is still there.
QScreen* MonitorScreen(uintptr_t id) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (reinterpret_cast<uintptr_t>(screen) == id) return screen;
    }
    return nullptr;
}

// Full screen on the monitor of `layout`, or at its rectangle on the primary.
void Place(SaverWindowQt* window, const WindowSpec& layout) {
    QRect rect(layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top);
    QScreen* screen = layout.monitor ? MonitorScreen(layout.monitor) : nullptr;
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
        if (screen && layout.monitor == 0) rect.translate(screen->geometry().topLeft());
    }
    if (screen) window->setScreen(screen);
    window->setGeometry(rect);
}

} // namespace

int SysMonitors(SysMonitor* monitors, int capacity) {
    if (QtEmbedHost() != 0) return 0; // a daemon's window: the daemon covers the monitors
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

void QtWindowPresent(const QImage& image, const QRegion& region) {
    SaverWindowQt* window = painting ? painting : qtWindow;
    if (window) window->Present(image, region);
}

namespace {

// Another monitor's window: full screen there, never activated, so that the
// run's own window keeps the keyboard.
bool CreateOther(CSaverWnd* wnd, const WindowSpec& layout) {
    auto* window = new SaverWindowQt(wnd, nullptr, true, true);
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (layout.topmost) flags |= Qt::WindowStaysOnTopHint;
    window->setFlags(flags);
    Place(window, layout);
    window->setTitle(QString::fromLocal8Bit(wnd->Title()));
    if (layout.hideCursor) window->setCursor(QCursor(Qt::BlankCursor));
    others.push_back(window);
    if (!wnd->OnCreate()) {
        others.pop_back();
        delete window;
        return false;
    }
    // Full screen without the activation that showFullScreen() asks for.
    window->setWindowStates(Qt::WindowFullScreen);
    window->setVisible(true);
    return true;
}

} // namespace

bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout) {
    if (!wnd || Find(wnd)) return false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    if (layout.secondary) return CreateOther(wnd, layout);
    if (saverWnd) return false;
    uintptr_t embed = layout.child ? 0 : QtEmbedHost();
    uintptr_t parentId = layout.child ? layout.parent : embed;
    QWindow* parent = nullptr;
    if (parentId != 0) {
        int32_t w = 0;
        int32_t h = 0;
        if (!X11WindowSize(parentId, &w, &h)) return false;
        parent = QWindow::fromWinId(static_cast<WId>(parentId));
        if (!parent) return false;
    }
    auto* window = new SaverWindowQt(wnd, parent, embed == 0, false);
    if (!parent) {
        Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
        if (layout.topmost) flags |= Qt::WindowStaysOnTopHint;
        window->setFlags(flags);
    }
    if (!parent && !layout.child) {
        Place(window, layout);
    } else {
        window->setGeometry(
            QRect(layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top));
    }
    window->setTitle(QString::fromLocal8Bit(wnd->Title()));
    if (layout.hideCursor) window->setCursor(QCursor(Qt::BlankCursor));

    saverWnd = wnd;
    qtWindow = window;
    hostWindow = parent;
    hostId = parentId;
    grabKeyboard = layout.topmost && !parent;
    quitPending = false;
    if (!wnd->OnCreate()) {
        delete window;
        delete parent;
        saverWnd = nullptr;
        qtWindow = nullptr;
        hostWindow = nullptr;
        hostId = 0;
        return false;
    }

    presentClock.start();
    QScreen* screen = window->screen();
    qreal hz = screen ? screen->refreshRate() : 0;
    if (hz < 1 || hz > 1000) hz = DEFAULT_REFRESH_HZ;
    refreshNs = static_cast<qint64>(1e9 / hz);

    if (embed == 0 && !layout.child) {
        for (QScreen* s : QGuiApplication::screens()) FollowScreen(s, window);
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, window, [window](QScreen* s) {
            FollowScreen(s, window);
            DisplayChanged();
        });
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, window,
                         [] { DisplayChanged(); });
        QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, window,
                         [] { DisplayChanged(); });
        QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, window,
                         [](Qt::ApplicationState state) {
                             if (state != Qt::ApplicationActive && saverWnd && qtWindow &&
                                 qtWindow->WasActive()) {
                                 saverWnd->OnActivateApp(false);
                             }
                         });
    }
    if (layout.topmost && !parent) {
        window->showFullScreen();
        window->requestActivate();
    } else {
        window->show();
        if (!parent && !layout.child) window->requestActivate();
    }
    return true;
}

void WndSetRect(CSaverWnd* wnd, const WindowSpec& layout) {
    SaverWindowQt* window = Find(wnd);
    if (!window || window->parent()) return;
    Place(window, layout);
    if (window->windowState() & Qt::WindowFullScreen) window->showFullScreen();
}

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == saverWnd) {
        DestroyNow();
    } else if (SaverWindowQt* window = Find(wnd)) {
        DestroyOther(window);
    }
}

void WndPostClose(CSaverWnd* wnd) {
    if (SaverWindowQt* window = Find(wnd)) window->closePending = true;
}

PumpResult WndPumpMessage() {
    if (quitPending) {
        quitPending = false;
        return PumpResult::Quit;
    }
    if (qtWindow && qtWindow->closePending) {
        DestroyNow();
        return PumpResult::Handled;
    }
    for (SaverWindowQt* window : others) {
        if (!window->closePending) continue;
        DestroyOther(window);
        return PumpResult::Handled;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher->processEvents(QEventLoop::AllEvents)) return PumpResult::Handled;
    // At most one picture per refresh of the display: more would never be seen.
    auto due = [](SaverWindowQt* window) {
        return window && window->isExposed() && window->saver->View().NeedsPaint() &&
               PresentDue(window);
    };
    if (due(qtWindow)) {
        qtWindow->PaintNow();
        return PumpResult::Handled;
    }
    for (SaverWindowQt* window : others) {
        if (!due(window)) continue;
        window->PaintNow();
        return PumpResult::Handled;
    }
    return PumpResult::NoMessage;
}

bool WndIdle(int count) {
    // A host window that went away takes the saver with it; the host may
    // also have destroyed the saver's own window.
    if (count == 0 && saverWnd && hostId != 0) {
        int32_t w = 0;
        int32_t h = 0;
        if (!X11WindowSize(hostId, &w, &h) || !X11WindowSize(qtWindow->winId(), &w, &h)) {
            qtWindow->closePending = true;
        }
    }
    return false;
}

void WndWaitMessage(uint32_t ms) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || quitPending) return;
    if (qtWindow && qtWindow->closePending) return;
    for (const SaverWindowQt* window : others) {
        if (window->closePending) return;
    }
    if (!waitTimer) {
        waitTimer = new QTimer();
        waitTimer->setSingleShot(true);
        waitTimer->setTimerType(Qt::PreciseTimer);
    }
    // A picture held back to the display's refresh is shown once it is due.
    for (const SaverWindowQt* window : others) ms = std::min(ms, PresentWaitMs(window));
    ms = std::min(ms, PresentWaitMs(qtWindow));
    waitTimer->start(static_cast<int>(std::min<uint32_t>(ms, 1000)));
    dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    waitTimer->stop();
}
