// The display layer of the saver window.
#include "app/glimmora_context.h"
#include "app/saver_window.h"
#include "display/ss_view.h"

bool CDisplayWnd::Create(const WindowLayout& layout) {
    // The Create event has set `id` by the time this returns.
    return windows.Create(layout, *this) != 0;
}

void CDisplayWnd::SetRect(const WindowLayout& layout) {
    if (id) windows.SetRect(id, layout);
}

void CDisplayWnd::Destroy() {
    if (id) windows.Destroy(id);
}

bool CDisplayWnd::OnCreate() {
    if (!view.Init(this)) return false;
    loop.displayReady = true;
    return true;
}

void CDisplayWnd::OnPaint() {
    VidFrame frame{};
    VidRect rects[REGION_MAX_RECTS];
    const int count = view.Paint(&frame, rects);
    if (count > 0 && id) windows.Present(id, frame, rects, count);
}

void CDisplayWnd::OnFinalMessage() {
    loop.displayReady = false;
    id = 0;
}

bool CDisplayWnd::OnWindowEvent(const WindowEvent& event) {
    switch (event.type) {
    case WindowEventType::Create:
        id = event.window;
        if (OnCreate()) return true;
        id = 0;
        return false;
    case WindowEventType::Expose:
        view.Invalidate({event.area.left, event.area.top, event.area.right, event.area.bottom});
        return false;
    case WindowEventType::Paint: OnPaint(); return false;
    case WindowEventType::NeedsPaint: return view.NeedsPaint();
    case WindowEventType::Final: OnFinalMessage(); return false;
    default: return true;
    }
}
