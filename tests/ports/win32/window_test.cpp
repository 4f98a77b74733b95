// The Windows port's windows on a real (or Wine's) window system: messages
// reach the sink as events, its answers decide what the window does, the
// run's window ends the run, and a picture survives being covered.
#include "ports/win32/window_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t COLOUR = 0x336699; // 0x00RRGGBB
constexpr int32_t WIDTH = 64;
constexpr int32_t HEIGHT = 48;

// Records every event and answers `answer`, Create with `create`, NeedsPaint
// with `needsPaint`; a Paint presents the whole frame while `present` holds,
// else only the area the last Expose named, as a view that composes what was
// invalidated would.
class Recorder : public WindowEventSink {
  public:
    explicit Recorder(WindowSystem& windows) : windows(windows), pixels(WIDTH * HEIGHT, COLOUR) {}

    bool OnWindowEvent(const WindowEvent& event) override {
        events.push_back(event);
        switch (event.type) {
        case WindowEventType::Create: return create;
        case WindowEventType::NeedsPaint: return needsPaint;
        case WindowEventType::Expose: exposed = event.area; return false;
        case WindowEventType::Paint: {
            const VidRect all = {0, 0, WIDTH, HEIGHT};
            const VidRect& area = present ? all : exposed;
            if (area.left < area.right)
                windows.Present(event.window, {pixels.data(), WIDTH, HEIGHT}, &area, 1);
            exposed = {0, 0, 0, 0};
            needsPaint = false;
            return false;
        }
        default: return answer;
        }
    }

    int Count(WindowEventType type) const {
        int n = 0;
        for (const WindowEvent& e : events) n += e.type == type;
        return n;
    }

    WindowSystem& windows;
    std::vector<uint32_t> pixels;
    std::vector<WindowEvent> events;
    bool create = true;
    bool needsPaint = false;
    bool present = true;
    bool answer = true;
    VidRect exposed = {0, 0, 0, 0};
};

WindowLayout Layout(bool secondary = false) {
    WindowLayout layout{};
    layout.left = secondary ? 100 : 0;
    layout.right = layout.left + WIDTH;
    layout.bottom = HEIGHT;
    layout.secondary = secondary;
    layout.title = "QV Window Test";
    return layout;
}

// Pumps until no message waits; true when the quit message came.
bool PumpAll(Win32Windows& windows) {
    for (int i = 0; i < 1000; ++i) {
        switch (windows.PumpMessage()) {
        case PumpResult::Quit: return true;
        case PumpResult::NoMessage: return false;
        case PumpResult::Handled: break;
        }
    }
    return false;
}

COLORREF PixelOnScreen(WindowId window, int x, int y) {
    HWND handle = reinterpret_cast<HWND>(window);
    HDC dc = GetDC(handle);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(handle, dc);
    return c;
}

TEST(WindowTest, ARefusedCreateMakesNoWindowAndEndsNothing) {
    Win32Windows windows;
    Recorder sink(windows);
    sink.create = false;
    EXPECT_EQ(windows.Create(Layout(), sink), 0u);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].type, WindowEventType::Create);
    EXPECT_FALSE(PumpAll(windows));
    EXPECT_EQ(sink.Count(WindowEventType::Final), 0);

    sink.create = true; // the place is free again
    EXPECT_NE(windows.Create(Layout(), sink), 0u);
}

TEST(WindowTest, TheRunWindowsEndEndsTheRunAndASecondarysDoesNot) {
    Win32Windows windows;
    Recorder run(windows);
    Recorder other(windows);
    const WindowId id = windows.Create(Layout(), run);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(run.events.front().type, WindowEventType::Create);
    EXPECT_EQ(run.events.front().window, id);
    EXPECT_EQ(windows.Create(Layout(), other), 0u); // one run window at a time
    other.events.clear();
    const WindowId second = windows.Create(Layout(true), other);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(windows.Create(Layout(true), other), 0u); // one window per sink

    windows.Destroy(second);
    ASSERT_EQ(other.events.back().type, WindowEventType::Final);
    EXPECT_EQ(other.events.back().window, second);
    EXPECT_FALSE(PumpAll(windows));

    windows.PostClose(id);
    EXPECT_EQ(run.Count(WindowEventType::Final), 0); // not before the pump
    EXPECT_TRUE(PumpAll(windows));
    EXPECT_EQ(run.events.back().type, WindowEventType::Final);
    EXPECT_EQ(run.events.back().window, id);
    windows.PostClose(id); // gone: no effect
    windows.Destroy(id);
    EXPECT_EQ(run.Count(WindowEventType::Final), 1);
}

struct MessageCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool answer;
    WindowEventType type;
    LRESULT result; // -1: not checked (the default processing's)
};

TEST(WindowTest, MessagesBecomeEventsAndTheAnswersDecide) {
    const MessageCase cases[] = {
        {"screen saver command", WM_SYSCOMMAND, SC_SCREENSAVE, 0, false,
         WindowEventType::SysCommand, 0},
        {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, false, WindowEventType::SysCommand, 0},
        {"cursor hidden", WM_SETCURSOR, 0, HTCLIENT, true, WindowEventType::SetCursor, TRUE},
        {"cursor kept", WM_SETCURSOR, 0, HTCLIENT, false, WindowEventType::SetCursor, FALSE},
        {"deactivation refused", WM_NCACTIVATE, FALSE, 0, false, WindowEventType::NcActivate,
         FALSE},
        {"mouse", WM_MOUSEMOVE, 0, MAKELPARAM(12, 34), true, WindowEventType::MouseMove, -1},
        {"left button", WM_LBUTTONDOWN, 0, 0, true, WindowEventType::ButtonDown, -1},
        {"right button", WM_RBUTTONDOWN, 0, 0, true, WindowEventType::ButtonDown, -1},
        {"key", WM_KEYDOWN, VK_SPACE, 0, true, WindowEventType::KeyDown, -1},
        {"system key", WM_SYSKEYDOWN, VK_MENU, 0, true, WindowEventType::KeyDown, -1},
        {"application deactivated", WM_ACTIVATEAPP, FALSE, 0, true, WindowEventType::ActivateApp,
         -1},
        {"display change", WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600), true,
         WindowEventType::DisplayChange, -1},
    };
    Win32Windows windows;
    Recorder sink(windows);
    const WindowId id = windows.Create(Layout(), sink);
    ASSERT_NE(id, 0u);
    HWND handle = reinterpret_cast<HWND>(id);
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        sink.events.clear();
        sink.answer = c.answer;
        const LRESULT result = SendMessageA(handle, c.message, c.wParam, c.lParam);
        ASSERT_FALSE(sink.events.empty());
        const WindowEvent& e = sink.events.front();
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.window, id);
        if (c.result != -1) {
            EXPECT_EQ(result, c.result);
        }
        if (c.message == WM_SYSCOMMAND) {
            EXPECT_EQ(e.command, static_cast<uint32_t>(c.wParam));
        }
        if (c.message == WM_MOUSEMOVE) {
            EXPECT_EQ(e.x, 12);
            EXPECT_EQ(e.y, 34);
        }
        if (c.message == WM_NCACTIVATE || c.message == WM_ACTIVATEAPP) {
            EXPECT_FALSE(e.active);
        }
    }
    EXPECT_TRUE(IsWindow(handle)); // the refused close command left it
}

TEST(WindowTest, LosingTheActivationToAnotherWindowOfTheRunIsNoLoss) {
    Win32Windows windows;
    Recorder run(windows);
    Recorder other(windows);
    const WindowId id = windows.Create(Layout(), run);
    const WindowId second = windows.Create(Layout(true), other);
    ASSERT_NE(id, 0u);
    ASSERT_NE(second, 0u);
    HWND handle = reinterpret_cast<HWND>(id);
    for (LPARAM gaining : {static_cast<LPARAM>(second), LPARAM{0}}) {
        run.events.clear();
        SendMessageA(handle, WM_ACTIVATE, WA_INACTIVE, gaining);
        ASSERT_EQ(run.Count(WindowEventType::Activate), 1);
        EXPECT_FALSE(run.events.front().active);
        EXPECT_EQ(run.events.front().toOwnWindow, gaining != 0);
    }
}

// The sink composes only what changed; what another window uncovers comes
// back from the port's copy of the picture.
TEST(WindowTest, APictureIsShownWhenAskedForAndWhatIsUncoveredIsExposed) {
    Win32Windows windows;
    Recorder sink(windows);
    sink.needsPaint = true;
    const WindowId id = windows.Create(Layout(), sink);
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(PumpAll(windows));
    ASSERT_GE(sink.Count(WindowEventType::Paint), 1);
    EXPECT_EQ(PixelOnScreen(id, 10, 10), RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(PixelOnScreen(id, WIDTH - 1, HEIGHT - 1), RGB(0x33, 0x66, 0x99));

    // Something covered the window and went: it is painted over, and the
    // system asks for the area again, which the sink is told to draw.
    HWND handle = reinterpret_cast<HWND>(id);
    HDC dc = GetDC(handle);
    RECT all = {0, 0, WIDTH, HEIGHT};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(handle, dc);
    ASSERT_EQ(PixelOnScreen(id, 10, 10), RGB(0, 0, 0));
    sink.present = false;
    const int paints = sink.Count(WindowEventType::Paint);
    const int exposes = sink.Count(WindowEventType::Expose); // the first showing is one
    RECT uncovered = {0, 0, WIDTH / 2, HEIGHT};
    InvalidateRect(handle, &uncovered, FALSE);
    EXPECT_FALSE(PumpAll(windows));
    ASSERT_EQ(sink.Count(WindowEventType::Paint), paints + 1);
    ASSERT_EQ(sink.Count(WindowEventType::Expose), exposes + 1);
    WindowEvent expose{};
    for (const WindowEvent& e : sink.events)
        if (e.type == WindowEventType::Expose) expose = e;
    EXPECT_EQ(expose.area.right, WIDTH / 2);
    EXPECT_EQ(expose.area.bottom, HEIGHT);
    EXPECT_EQ(PixelOnScreen(id, 10, 10), RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(PixelOnScreen(id, WIDTH - 1, 10), RGB(0, 0, 0)); // not asked for
    windows.Destroy(id);
}

} // namespace
