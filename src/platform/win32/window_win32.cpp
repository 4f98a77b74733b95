// The saver window with plain Win32: one window class with the transparent
// cursor and no background brush, a topmost popup or a child of the host's
// window, and the message pump of the main loop. Every message that matters
// goes to CSaverWnd, which decides what it does.
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"
#include "platform/window.h"

#include <windowsx.h>

namespace {

const char WINDOW_CLASS[] = "GlimmoraSaverWindow";

ATOM windowClass = 0;
CSaverWnd* saverObject = nullptr;

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

    switch (message) {
    case WM_CREATE:
        if (DefWindowProcA(window, message, wParam, lParam) == -1) return -1;
        Win32SetSaverWindow(window); // the view and VidPresent may need it already
        saverObject = wnd;
        if (!wnd->OnCreate()) {
            Win32SetSaverWindow(nullptr);
            saverObject = nullptr;
            return -1;
        }
        return 0;
    case WM_PAINT:
        if (live) {
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
    case WM_ACTIVATE: wnd->OnActivate(LOWORD(wParam) != WA_INACTIVE); break;
    case WM_ACTIVATEAPP: wnd->OnActivateApp(wParam != FALSE); break;
    case WM_MOUSEMOVE: wnd->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: wnd->OnButtonDown(); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: wnd->OnKeyDown(); break;
    case WM_NCDESTROY: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (live) {
            // The final hook: the display is gone; the object stays with the application.
            Win32SetSaverWindow(nullptr);
            saverObject = nullptr;
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

bool WndCreate(CSaverWnd* wnd, const WindowSpec& layout) {
    if (!wnd || Win32SaverWindow() || !RegisterWindowClass()) return false;
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

void WndDestroy(CSaverWnd* wnd) {
    if (wnd && wnd == saverObject && Win32SaverWindow()) DestroyWindow(Win32SaverWindow());
}

void WndPostClose(CSaverWnd*) {
    if (Win32SaverWindow()) PostMessageA(Win32SaverWindow(), WM_CLOSE, 0, 0);
}

PumpResult WndPumpMessage() {
    if (Win32SaverWindow()) InvalidateViewArea(Win32SaverWindow(), saverObject);
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
