// The saver window and the message pump on Qt. The window is a raster QWindow:
// a frameless full-screen window, a child of a host window (preview, or the
// window a screen-saver daemon gives), or a small top-level preview. Its input
// goes to CSaverWnd, which decides what ends the run.
#include "app/app_state.h"
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/qt/embed_host_qt.h"
#include "platform/qt/host_window_qt.h"
#include "platform/qt/saver_window_qt.h"
#include "platform/window.h"

#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QCursor>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

constexpr qint64 DEFAULT_REFRESH_HZ = 60;

class SaverWindowQt : public QWindow {
  public:
    SaverWindowQt(CSaverWnd* owner, QWindow* parent, bool forwardInput)
        : QWindow(parent), saver(owner), store(this), inputEnds(forwardInput) {
        setSurfaceType(QSurface::RasterSurface);
    }

    void Present(const QImage& image, const QRect& rect);
    // Losing activation counts only after the window has had it: focus that
    // moves at start (from the splash, say) is no loss.
    bool WasActive() const { return wasActive; }

  protected:
    bool event(QEvent* e) override;
    void exposeEvent(QExposeEvent* e) override;

  private:
    void Deactivated();

    CSaverWnd* saver;
    QBackingStore store;
    bool inputEnds; // input reaches the saver's rules (not in a daemon's window)
    bool wasActive = false;
    bool firstShow = true;
};

CSaverWnd* saverWnd = nullptr;
SaverWindowQt* qtWindow = nullptr;
QWindow* hostWindow = nullptr; // the foreign parent, when there is one
uintptr_t hostId = 0;
bool grabKeyboard = false;
bool closePending = false;
bool quitPending = false;
QElapsedTimer presentClock;
qint64 lastPresentNs = 0;
qint64 refreshNs = 1000000000 / DEFAULT_REFRESH_HZ;
QTimer* waitTimer = nullptr;
int presentCount = 0; // pictures shown, reported for benchmarks

void SaverWindowQt::Present(const QImage& image, const QRect& rect) {
    if (!isExposed()) return;
    if (store.size() != size()) store.resize(size());
    QRect target = rect.intersected(QRect(QPoint(0, 0), size()));
    if (target.isEmpty()) return;
    QRegion region(target);
    store.beginPaint(region);
    {
        QPainter painter(store.paintDevice());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(target.topLeft(), image, target);
    }
    store.endPaint();
    store.flush(region);
    ++presentCount;
}

void SaverWindowQt::Deactivated() {
    if (!wasActive || !inputEnds) return;
    saver->OnNcActivate(false);
    saver->OnActivate(false);
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
        if (saver->OnSysCommand(SC_CLOSE_COMMAND)) closePending = true;
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
        if (grabKeyboard) setKeyboardGrabEnabled(true);
        // A window that appears under the pointer learns where it is at once:
        // that first position is the one later movement is measured from.
        QPoint p = mapFromGlobal(QCursor::pos());
        if (inputEnds && QRect(QPoint(0, 0), size()).contains(p)) saver->OnMouseMove(p.x(), p.y());
    }
    saver->View().InvalidateAll();
    saver->OnPaint();
    lastPresentNs = presentClock.nsecsElapsed();
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
    closePending = false;
    CSaverWnd* owner = saverWnd;
    saverWnd = nullptr;
    owner->OnFinalMessage(); // the application owns the object
}

bool PresentDue() {
    return presentClock.nsecsElapsed() - lastPresentNs >= refreshNs;
}

} // namespace

void QtWindowPresent(const QImage& image, const QRect& rect) {
    if (qtWindow) qtWindow->Present(image, rect);
}

bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout) {
    if (!wnd || saverWnd) return false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
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
    auto* window = new SaverWindowQt(wnd, parent, embed == 0);
    QRect rect(layout.left, layout.top, layout.right - layout.left, layout.bottom - layout.top);
    if (!parent) {
        Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
        if (layout.topmost) flags |= Qt::WindowStaysOnTopHint;
        window->setFlags(flags);
        if (!layout.child) {
            QScreen* screen = QGuiApplication::primaryScreen();
            if (screen) {
                window->setScreen(screen);
                rect.translate(screen->geometry().topLeft());
            }
        }
    }
    window->setGeometry(rect);
    window->setTitle(QString::fromLocal8Bit(wnd->Title()));
    if (layout.hideCursor) window->setCursor(QCursor(Qt::BlankCursor));

    saverWnd = wnd;
    qtWindow = window;
    hostWindow = parent;
    hostId = parentId;
    grabKeyboard = layout.topmost && !parent;
    closePending = false;
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
    lastPresentNs = 0;
    QScreen* screen = window->screen();
    qreal hz = screen ? screen->refreshRate() : 0;
    if (hz < 1 || hz > 1000) hz = DEFAULT_REFRESH_HZ;
    refreshNs = static_cast<qint64>(1e9 / hz);

    if (embed == 0 && !layout.child) {
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

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == saverWnd) DestroyNow();
}

void WndPostClose(CSaverWnd* wnd) {
    if (wnd && wnd == saverWnd) closePending = true;
}

PumpResult WndPumpMessage() {
    if (quitPending) {
        quitPending = false;
        return PumpResult::Quit;
    }
    if (closePending) {
        DestroyNow();
        return PumpResult::Handled;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher->processEvents(QEventLoop::AllEvents)) return PumpResult::Handled;
    if (qtWindow && qtWindow->isExposed() && saverWnd->View().NeedsPaint() && PresentDue()) {
        // At most one picture per refresh of the display: more would never be seen.
        lastPresentNs = presentClock.nsecsElapsed();
        saverWnd->OnPaint();
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
            closePending = true;
        }
    }
    return false;
}

void WndWaitMessage(uint32_t ms) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || quitPending || closePending) return;
    if (!waitTimer) {
        waitTimer = new QTimer();
        waitTimer->setSingleShot(true);
        waitTimer->setTimerType(Qt::PreciseTimer);
    }
    waitTimer->start(static_cast<int>(std::min<uint32_t>(ms, 1000)));
    dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    waitTimer->stop();
}
