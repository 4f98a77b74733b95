#include "ports/qt/saver_window_qt.h"

#include "ports/qt/window_qt.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

SaverWindowQt::SaverWindowQt(QtWindows& windows, WindowEventSink& sink, WindowId id,
                             QWindow* parent, bool inputEnds)
    : QWindow(parent), id(id), windows(windows), sink(sink), store(this), inputEnds(inputEnds) {
    setSurfaceType(QSurface::RasterSurface);
}

bool SaverWindowQt::Send(WindowEventType type) {
    WindowEvent event{};
    event.type = type;
    return Send(event);
}

bool SaverWindowQt::Send(WindowEvent event) {
    event.window = id;
    return sink.OnWindowEvent(event);
}

void SaverWindowQt::SendMouseMove(QPoint position) {
    WindowEvent event{};
    event.type = WindowEventType::MouseMove;
    event.x = position.x();
    event.y = position.y();
    Send(event);
}

QRegion SaverWindowQt::Present(const QImage& image, const QRegion& changed) {
    if (!isExposed()) return QRegion();
    if (store.size() != size()) store.resize(size());
    // Only the changed rectangles are copied and flushed, not their bounding box.
    QRegion region = changed.intersected(QRect(QPoint(0, 0), size()));
    if (region.isEmpty()) return region;
    store.beginPaint(region);
    {
        QPainter painter(store.paintDevice());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : region) painter.drawImage(rect.topLeft(), image, rect);
    }
    store.endPaint();
    store.flush(region);
    return region;
}

void SaverWindowQt::Deactivated() {
    if (!wasActive || !inputEnds) return;
    // The focus has moved on already: to another window of the run, it is no loss.
    WindowEvent event{};
    event.type = WindowEventType::NcActivate;
    event.active = false;
    event.toOwnWindow = windows.IsOwnWindow(QGuiApplication::focusWindow());
    Send(event);
    event.type = WindowEventType::Activate;
    Send(event);
}

bool SaverWindowQt::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::FocusIn: wasActive = true; break;
    case QEvent::FocusOut: Deactivated(); break;
    case QEvent::KeyPress:
        if (inputEnds) Send(WindowEventType::KeyDown);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (inputEnds) Send(WindowEventType::ButtonDown);
        return true;
    case QEvent::MouseMove:
        if (inputEnds) SendMouseMove(static_cast<QMouseEvent*>(e)->position().toPoint());
        return true;
    case QEvent::Enter:
        // The pointer crossing into the window tells where it is, as a move would.
        if (inputEnds) SendMouseMove(static_cast<QEnterEvent*>(e)->position().toPoint());
        return true;
    case QEvent::Close: {
        // A close command from the window manager is the system's close
        // command; the saver's rules may refuse it.
        WindowEvent command{};
        command.type = WindowEventType::SysCommand;
        command.command = SC_CLOSE_COMMAND;
        if (Send(command)) windows.PostClose(id);
        e->ignore();
        return true;
    }
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
        if (inputEnds && QRect(QPoint(0, 0), size()).contains(p)) SendMouseMove(p);
    }
    // All of the window is composed and shown again.
    WindowEvent expose{};
    expose.type = WindowEventType::Expose;
    expose.area = {0, 0, width(), height()};
    Send(expose);
    windows.PaintNow(*this);
}
