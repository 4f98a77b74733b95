#include "ports/win32/window_win32.h"

#include "ports/win32/resource.h"
#include "ports/win32/wide_text.h"

#include <windowsx.h>

#include <algorithm>

namespace {

const wchar_t WINDOW_CLASS[] = L"GlimmoraSaverWindow";

WindowEvent Event(WindowEventType type, WindowId window) {
    WindowEvent e{};
    e.type = type;
    e.window = window;
    return e;
}

// Cuts `r` to a picture of `width` by `height`; false when nothing is left.
bool Clip(VidRect& r, int32_t width, int32_t height) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, width);
    r.bottom = std::min(r.bottom, height);
    return r.left < r.right && r.top < r.bottom;
}

// Shows one rectangle of a picture at the same place in the window.
void ShowRect(HDC dc, const uint32_t* pixels, int32_t width, int32_t height, VidRect r) {
    if (!Clip(r, width, height)) return;
    // Describe just the rows to show as a top-down bitmap of its own, so the
    // source origin means the same whichever way the device counts rows.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(r.bottom - r.top);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // 0x00RRGGBB little-endian is blue, green, red, 0
    info.bmiHeader.biCompression = BI_RGB;
    const uint32_t* rows = pixels + static_cast<size_t>(r.top) * static_cast<size_t>(width);
    SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.right - r.left),
                      static_cast<DWORD>(r.bottom - r.top), r.left, 0, 0,
                      static_cast<UINT>(r.bottom - r.top), rows, &info, DIB_RGB_COLORS);
}

} // namespace

bool Win32Window::Ask(WindowEventType type) {
    return sink.OnWindowEvent(Event(type, Id()));
}

void Win32Window::Paint() {
    HDC dc = GetDC(handle);
    if (!dc) return;
    paintDC = dc;
    Ask(WindowEventType::Paint);
    paintDC = nullptr;
    ReleaseDC(handle, dc);
}

// A paint the system asks for: the part of the window that was uncovered (or
// invalidated) is drawn again with what changed meanwhile, through the
// paint's own context.
void Win32Window::OnPaintMessage() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle, &paint);
    if (dc) {
        WindowEvent expose = Event(WindowEventType::Expose, Id());
        const RECT& r = paint.rcPaint;
        expose.area = {r.left, r.top, r.right, r.bottom};
        sink.OnWindowEvent(expose);
        paintDC = dc;
        Ask(WindowEventType::Paint);
        paintDC = nullptr;
    }
    EndPaint(handle, &paint);
}

// One SetDIBitsToDevice per rectangle: only what changed crosses to the screen.
void Win32Window::Present(const VidFrame& frame, const VidRect* rects, int count) {
    HDC dc = paintDC;
    const bool own = !dc;
    if (own) dc = GetDC(handle);
    if (!dc) return;
    for (int i = 0; i < count; ++i) ShowRect(dc, frame.pixels, frame.width, frame.height, rects[i]);
    if (own) ReleaseDC(handle, dc);
}

LRESULT Win32Window::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    // The sink may end the window: nothing of the object is used after an event.
    const HWND window = handle;
    WindowEvent e = Event(WindowEventType::KeyDown, Id());
    switch (message) {
    case WM_CREATE:
        if (DefWindowProcW(window, message, wParam, lParam) == -1) return -1;
        created = true; // the sink may paint and present already
        if (Ask(WindowEventType::Create)) return 0;
        created = false;
        return -1;
    case WM_PAINT:
        if (!created) break;
        OnPaintMessage();
        return 0;
    case WM_SYSCOMMAND:
        e.type = WindowEventType::SysCommand;
        e.command = static_cast<uint32_t>(wParam);
        if (!sink.OnWindowEvent(e)) return 0;
        break;
    case WM_DESTROY:
        if (created && system.IsRunWindow(this)) PostQuitMessage(0);
        break;
    case WM_SETCURSOR:
        if (Ask(WindowEventType::SetCursor)) {
            SetCursor(nullptr);
            return TRUE;
        }
        return FALSE; // the cursor keeps the shape it had
    case WM_NCACTIVATE:
        e.type = WindowEventType::NcActivate;
        e.active = wParam != FALSE;
        if (!sink.OnWindowEvent(e)) return FALSE;
        break;
    case WM_ACTIVATE:
        // lParam: the window that gains the activation; one of the run's is no loss.
        e.type = WindowEventType::Activate;
        e.active = LOWORD(wParam) != WA_INACTIVE;
        e.toOwnWindow = system.Find(reinterpret_cast<HWND>(lParam)) != nullptr;
        sink.OnWindowEvent(e);
        break;
    case WM_ACTIVATEAPP:
        e.type = WindowEventType::ActivateApp;
        e.active = wParam != FALSE;
        sink.OnWindowEvent(e);
        break;
    case WM_MOUSEMOVE:
        e.type = WindowEventType::MouseMove;
        e.x = GET_X_LPARAM(lParam);
        e.y = GET_Y_LPARAM(lParam);
        sink.OnWindowEvent(e);
        break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: Ask(WindowEventType::ButtonDown); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: Ask(WindowEventType::KeyDown); break;
    case WM_DISPLAYCHANGE: Ask(WindowEventType::DisplayChange); break;
    case WM_DPICHANGED:
        // The program counts in physical pixels: a full-screen window keeps
        // covering its monitor and a preview its host's area, whatever the
        // monitor's scale. The rectangle Windows suggests is not taken.
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Windows::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* made = static_cast<Win32Window*>(create->lpCreateParams);
        made->handle = handle;
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (!window) return DefWindowProcW(handle, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        LRESULT result = DefWindowProcW(handle, message, wParam, lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        window->system.Gone(window);
        return result;
    }
    return window->Message(message, wParam, lParam);
}

bool Win32Windows::RegisterWindowClass() {
    if (classRegistered) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = Win32Instance();
    wc.hCursor = LoadCursorW(Win32Instance(), MAKEINTRESOURCEW(IDC_BLANK_CURSOR));
    wc.hbrBackground = nullptr; // the view paints every pixel
    wc.lpszClassName = WINDOW_CLASS;
    if (RegisterClassW(&wc)) {
        classRegistered = true;
        return true;
    }
    // Another object of the process made the class: its windows find their
    // objects through themselves, so the class serves this one as well.
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Win32Windows::~Win32Windows() {
    // The sinks may be gone by now: the windows go without telling them.
    auto quietly = [](Win32Window* window) {
        if (!window || !window->handle) return;
        SetWindowLongPtrW(window->handle, GWLP_USERDATA, 0);
        DestroyWindow(window->handle);
    };
    for (std::unique_ptr<Win32Window>& window : secondaries) quietly(window.get());
    quietly(run.get());
    if (classRegistered) UnregisterClassW(WINDOW_CLASS, Win32Instance());
}

Win32Window* Win32Windows::Find(HWND handle) {
    if (!handle) return nullptr;
    if (run && run->handle == handle) return run.get();
    for (std::unique_ptr<Win32Window>& window : secondaries) {
        if (window->handle == handle) return window.get();
    }
    return nullptr;
}

void Win32Windows::Forget(const Win32Window* window) {
    if (run.get() == window) {
        run.reset();
        return;
    }
    std::erase_if(secondaries,
                  [window](const std::unique_ptr<Win32Window>& w) { return w.get() == window; });
}

// The window's last message: its object goes, and a window that was made
// tells its sink; the sink's object stays with the application.
void Win32Windows::Gone(Win32Window* window) {
    WindowEventSink& sink = window->sink;
    const WindowId id = window->Id();
    const bool made = window->created;
    Forget(window);
    if (made) sink.OnWindowEvent(Event(WindowEventType::Final, id));
}

WindowId Win32Windows::Create(const WindowLayout& layout, WindowEventSink& sink) {
    if (!layout.secondary && run) return 0;
    for (const std::unique_ptr<Win32Window>& window : secondaries) {
        if (&window->sink == &sink) return 0;
    }
    if (!RegisterWindowClass()) return 0;
    auto made = std::make_unique<Win32Window>(*this, sink, layout.secondary);
    Win32Window* window = made.get();
    DWORD exStyle = layout.topmost ? WS_EX_TOPMOST : 0;
    DWORD style = WS_POPUP | WS_VISIBLE;
    HWND parent = nullptr;
    if (layout.secondary) {
        // Another monitor's window: a popup on that monitor that is shown
        // without taking the activation, so the run's own window keeps the
        // keyboard.
        exStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
        style = WS_POPUP;
        secondaries.push_back(std::move(made));
    } else {
        if (layout.child) {
            style = WS_CHILD | WS_VISIBLE;
            parent = layout.parent ? reinterpret_cast<HWND>(layout.parent) : GetDesktopWindow();
        }
        run = std::move(made);
    }
    HWND handle = CreateWindowExW(exStyle, WINDOW_CLASS, L"", style, layout.left, layout.top,
                                  layout.right - layout.left, layout.bottom - layout.top, parent,
                                  nullptr, Win32Instance(), window);
    if (!handle) {
        // A window that got as far as its last message is forgotten already.
        Forget(window);
        return 0;
    }
    if (layout.secondary) ShowWindow(handle, SW_SHOWNOACTIVATE);
    return reinterpret_cast<WindowId>(handle);
}

void Win32Windows::SetRect(WindowId id, const WindowLayout& layout) {
    Win32Window* window = Find(reinterpret_cast<HWND>(id));
    if (!window) return;
    SetWindowPos(window->handle, nullptr, layout.left, layout.top, layout.right - layout.left,
                 layout.bottom - layout.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Windows::Destroy(WindowId id) {
    if (Win32Window* window = Find(reinterpret_cast<HWND>(id))) DestroyWindow(window->handle);
}

void Win32Windows::PostClose(WindowId id) {
    if (Win32Window* window = Find(reinterpret_cast<HWND>(id)))
        PostMessageW(window->handle, WM_CLOSE, 0, 0);
}

void Win32Windows::Present(WindowId id, const VidFrame& frame, const VidRect* rects, int count) {
    Win32Window* window = Find(reinterpret_cast<HWND>(id));
    if (!window || !frame.pixels || frame.width <= 0 || frame.height <= 0 || !rects || count <= 0)
        return;
    window->Present(frame, rects, count);
}

// A waiting message comes first; with none, a window with something new to
// show paints it, as the system's paint message would come once the queue is
// empty.
PumpResult Win32Windows::PumpMessage() {
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return PumpResult::Quit;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return PumpResult::Handled;
    }
    Win32Window* due = nullptr;
    if (run && run->created && run->Ask(WindowEventType::NeedsPaint)) due = run.get();
    for (size_t i = 0; !due && i < secondaries.size(); ++i) {
        Win32Window* window = secondaries[i].get();
        if (window->created && window->Ask(WindowEventType::NeedsPaint)) due = window;
    }
    if (!due) return PumpResult::NoMessage;
    due->Paint();
    return PumpResult::Handled;
}

bool Win32Windows::Idle(int) {
    return false; // plain Win32 has no idle work of its own
}

void Win32Windows::WaitMessage(uint32_t ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}
