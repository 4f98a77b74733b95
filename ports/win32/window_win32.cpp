// The saver window with plain Win32: one window class with the transparent
// cursor and no background brush, a topmost popup or a child of the host's
// window, and the message pump of the main loop. A run over several monitors
// adds a popup on each other monitor, which never takes the activation. Every
// message that matters goes to the window's CSaverWnd, which decides what it does.
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/shell.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"
#include "platform/window.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

namespace {

const char WINDOW_CLASS[] = "GlimmoraSaverWindow";

ATOM windowClass = 0;
CSaverWnd* saverObject = nullptr;

// The other monitors' windows.
struct OtherWindow {
    HWND window;
    CSaverWnd* object;
};
std::vector<OtherWindow> others;
bool creatingOther = false; // the window being created is another monitor's

std::vector<OtherWindow>::iterator FindOther(HWND window) {
    return std::find_if(others.begin(), others.end(),
                        [window](const OtherWindow& o) { return o.window == window; });
}

std::vector<OtherWindow>::iterator FindOther(const CSaverWnd* wnd) {
    return std::find_if(others.begin(), others.end(),
                        [wnd](const OtherWindow& o) { return o.object == wnd; });
}

bool IsOwnWindow(HWND window) {
    return window && (window == Win32SaverWindow() || FindOther(window) != others.end());
}

RECT ToRect(const ViewRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The area the view has to redraw joins the window's update region, so the
// paint that follows covers both.
void InvalidateViewArea(HWND window, CSaverWnd* wnd) {
    if (!wnd) return;
    CSSView& view = wnd->View();
    if (!view.NeedsPaint()) return;
    RECT area = ToRect(view.updateRegion.Bounds());
    InvalidateRect(window, &area, FALSE);
}

void Paint(HWND window, CSaverWnd* wnd) {
    RECT exposed;
    if (GetUpdateRect(window, &exposed, FALSE)) {
        wnd->View().Invalidate(ViewRect{exposed.left, exposed.top, exposed.right, exposed.bottom});
    }
    InvalidateViewArea(window, wnd);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    Win32SetPaintDC(dc);
    wnd->OnPaint();
    Win32SetPaintDC(nullptr);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* wnd = reinterpret_cast<CSaverWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!wnd) return DefWindowProcA(window, message, wParam, lParam);
    // Only the window that finished its creation is the saver window.
    const bool live = window == Win32SaverWindow();
    const bool other = !live && FindOther(window) != others.end();

    switch (message) {
    case WM_CREATE:
        if (DefWindowProcA(window, message, wParam, lParam) == -1) return -1;
        if (creatingOther) {
            others.push_back({window, wnd});
            if (wnd->OnCreate()) return 0;
            others.pop_back();
            return -1;
        }
        Win32SetSaverWindow(window); // the view and VidPresent may need it already
        saverObject = wnd;
        if (!wnd->OnCreate()) {
            Win32SetSaverWindow(nullptr);
            saverObject = nullptr;
            return -1;
        }
        return 0;
    case WM_PAINT:
        if (live || other) {
            Paint(window, wnd);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (!wnd->OnSysCommand(static_cast<uint32_t>(wParam))) return 0;
        break;
    case WM_DESTROY:
        if (live) PostQuitMessage(0);
        break;
    case WM_SETCURSOR:
        if (wnd->OnSetCursor() == CursorAnswer::HideCursor) {
            SetCursor(nullptr);
            return TRUE;
        }
        return FALSE; // the cursor keeps the shape it had
    case WM_NCACTIVATE:
        if (!wnd->OnNcActivate(wParam != FALSE)) return FALSE;
        break;
    case WM_ACTIVATE:
        // lParam: the window that gains the activation; one of the run's is no loss.
        wnd->OnActivate(LOWORD(wParam) != WA_INACTIVE, IsOwnWindow(reinterpret_cast<HWND>(lParam)));
        break;
    case WM_ACTIVATEAPP: wnd->OnActivateApp(wParam != FALSE); break;
    case WM_MOUSEMOVE: wnd->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: wnd->OnButtonDown(); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: wnd->OnKeyDown(); break;
    case WM_DISPLAYCHANGE: wnd->OnDisplayChange(); break;
    case WM_NCDESTROY: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (live) {
            // The final hook: the display is gone; the object stays with the application.
            Win32SetSaverWindow(nullptr);
            saverObject = nullptr;
            wnd->OnFinalMessage();
        } else if (other) {
            others.erase(FindOther(window));
            wnd->OnFinalMessage();
        }
        return result;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
    if (windowClass) return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Win32Instance();
    wc.hCursor = LoadCursorA(Win32Instance(), MAKEINTRESOURCEA(IDC_BLANK_CURSOR));
    wc.hbrBackground = nullptr; // the view paints every pixel
    wc.lpszClassName = WINDOW_CLASS;
    windowClass = RegisterClassA(&wc);
    return windowClass != 0;
}

} // namespace

namespace {

// Another monitor's window: a topmost popup on that monitor that is shown
// without taking the activation, so the run's own window keeps the keyboard.
bool CreateOther(CSaverWnd* wnd, const WindowSpec& layout) {
    DWORD exStyle = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | (layout.topmost ? WS_EX_TOPMOST : 0);
    creatingOther = true;
    HWND window = CreateWindowExA(exStyle, WINDOW_CLASS, "", WS_POPUP, layout.left, layout.top,
                                  layout.right - layout.left, layout.bottom - layout.top, nullptr,
                                  nullptr, Win32Instance(), wnd);
    creatingOther = false;
    if (!window) return false;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return true;
}

} // namespace

int SysMonitors(SysMonitor* monitors, int capacity) {
    struct List {
        SysMonitor* monitors;
        int capacity;
        int count;
    } list{monitors, capacity, 0};
    auto add = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto* l = reinterpret_cast<List*>(data);
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (l->count >= l->capacity) return FALSE;
        if (!GetMonitorInfoA(monitor, &info)) return TRUE;
        const RECT& r = info.rcMonitor;
        l->monitors[l->count++] = {reinterpret_cast<uintptr_t>(monitor),
                                   r.left,
                                   r.top,
                                   r.right - r.left,
                                   r.bottom - r.top,
                                   (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&list));
    return list.count;
}

bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout) {
    if (!wnd || FindOther(wnd) != others.end() || !RegisterWindowClass()) return false;
    if (layout.secondary) return CreateOther(wnd, layout);
    if (Win32SaverWindow()) return false;
    DWORD exStyle = layout.topmost ? WS_EX_TOPMOST : 0;
    DWORD style = (layout.child ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    HWND parent = nullptr;
    if (layout.child)
        parent = layout.parent ? reinterpret_cast<HWND>(layout.parent) : GetDesktopWindow();
    HWND window = CreateWindowExA(exStyle, WINDOW_CLASS, "", style, layout.left, layout.top,
                                  layout.right - layout.left, layout.bottom - layout.top, parent,
                                  nullptr, Win32Instance(), wnd);
    if (!window) {
        Win32SetSaverWindow(nullptr);
        saverObject = nullptr;
        return false;
    }
    return true;
}

void WndSetRect(CSaverWnd* wnd, const WindowSpec& layout) {
    auto found = FindOther(wnd);
    HWND window = found != others.end()       ? found->window
                  : wnd && wnd == saverObject ? Win32SaverWindow()
                                              : nullptr;
    if (!window) return;
    SetWindowPos(window, nullptr, layout.left, layout.top, layout.right - layout.left,
                 layout.bottom - layout.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == saverObject && Win32SaverWindow()) DestroyWindow(Win32SaverWindow());
    auto found = FindOther(wnd);
    if (wnd && found != others.end()) DestroyWindow(found->window);
}

void WndPostClose(CSaverWnd* wnd) {
    auto found = FindOther(wnd);
    if (wnd && found != others.end()) {
        PostMessageA(found->window, WM_CLOSE, 0, 0);
    } else if (Win32SaverWindow()) {
        PostMessageA(Win32SaverWindow(), WM_CLOSE, 0, 0);
    }
}

PumpResult WndPumpMessage() {
    if (Win32SaverWindow()) InvalidateViewArea(Win32SaverWindow(), saverObject);
    for (const OtherWindow& o : others) InvalidateViewArea(o.window, o.object);
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return PumpResult::NoMessage;
    if (msg.message == WM_QUIT) return PumpResult::Quit;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return PumpResult::Handled;
}

bool WndIdle(int) {
    return false; // plain Win32 has no idle work of its own
}

void WndWaitMessage(uint32_t ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}
