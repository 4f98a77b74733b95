#include "app/app_state.h"
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/saver_window.h"
#include "display/ss_view.h"
#include "platform/window.h"
#include "ports/headless/headless_port.h"
#include "script/script_reader.h"
#include "support/app_fixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A window of the saver or the preview, created on the headless window system
// with no theme (the script does not exist).
class SaverWindowTest : public ContextTest {
  protected:
    void SetUp() override {
        ResetContext();
        port.windows.Reset();
        port.system.ClearMessages();
        view.SetSize(320, 240);
    }

    void Create(bool preview, bool exclusive = true) {
        run.previewMode = preview;
        run.exclusiveMode = preview ? false : exclusive;
        ctx.saverWindow =
            std::make_unique<CSaverWnd>(run, view, ctx.loop, port.windows); // the app owns it
        window = ctx.saverWindow.get();
        WindowLayout layout{};
        layout.right = 320;
        layout.bottom = 240;
        layout.child = preview;
        layout.topmost = run.exclusiveMode;
        ASSERT_TRUE(window->Create(layout));
        ASSERT_TRUE(ctx.loop.displayReady);
    }

    // Pumps every queued message; true when the quit message came.
    bool PumpAll() {
        for (int i = 0; i < 100; ++i) {
            PumpResult r = port.windows.PumpMessage();
            if (r == PumpResult::Quit) return true;
            if (r == PumpResult::NoMessage) return false;
        }
        return false;
    }

    CSaverWnd* window = nullptr;
};

TEST_F(SaverWindowTest, FirstMouseMoveIsTheReferenceAndOnePixelCloses) {
    Create(false);
    port.windows.PostInput(HeadlessInput::MouseMove, 100, 80);
    port.windows.PostInput(HeadlessInput::MouseMove, 100, 80);
    EXPECT_FALSE(PumpAll());
    EXPECT_TRUE(port.windows.WindowExists());
    EXPECT_EQ(window->firstMouseX, 100);
    EXPECT_EQ(window->firstMouseY, 80);

    port.windows.PostInput(HeadlessInput::MouseMove, 100, 81);
    EXPECT_TRUE(PumpAll());
    EXPECT_FALSE(port.windows.WindowExists());
    EXPECT_FALSE(ctx.loop.displayReady);
}

TEST_F(SaverWindowTest, APointerMovedByAMonitorChangeIsTheNewReference) {
    Create(false);
    port.windows.PostInput(HeadlessInput::MouseMove, 900, 500);
    EXPECT_FALSE(PumpAll());
    window->OnDisplayChange(); // the pointer's monitor went: it lands on another
    port.windows.PostInput(HeadlessInput::MouseMove, 799, 500);
    EXPECT_FALSE(PumpAll());
    EXPECT_EQ(window->firstMouseX, 799);
    port.windows.PostInput(HeadlessInput::MouseMove, 799, 501);
    EXPECT_TRUE(PumpAll());
}

TEST_F(SaverWindowTest, KeysButtonsAndDeactivationClose) {
    for (HeadlessInput input : {HeadlessInput::Key, HeadlessInput::SysKey, HeadlessInput::Button,
                                HeadlessInput::Deactivate, HeadlessInput::DeactivateApp}) {
        port.windows.Reset();
        Create(false);
        port.windows.PostInput(input);
        EXPECT_TRUE(PumpAll()) << static_cast<int>(input);
        EXPECT_FALSE(port.windows.WindowExists());
    }
}

TEST_F(SaverWindowTest, DebugModeStillClosesOnInputButShowsTheCursor) {
    Create(false, false);
    EXPECT_EQ(window->OnSetCursor(), CursorAnswer::NotHandled);
    port.windows.PostInput(HeadlessInput::Deactivate);
    EXPECT_TRUE(PumpAll());
}

TEST_F(SaverWindowTest, ExclusiveModeHidesTheCursorAndRefusesDeactivationOfTheFrame) {
    Create(false);
    EXPECT_EQ(window->OnSetCursor(), CursorAnswer::HideCursor);
    EXPECT_FALSE(window->OnNcActivate(false));
    EXPECT_TRUE(window->OnNcActivate(true));
}

TEST_F(SaverWindowTest, ScreenSaveAndCloseCommandsAreIgnored) {
    Create(false);
    EXPECT_FALSE(window->OnSysCommand(SC_SCREENSAVE_COMMAND));
    EXPECT_FALSE(window->OnSysCommand(SC_CLOSE_COMMAND));
    EXPECT_TRUE(window->OnSysCommand(0xF020)); // minimise: default processing
    port.windows.PostInput(HeadlessInput::SysCommand, SC_SCREENSAVE_COMMAND);
    EXPECT_FALSE(PumpAll());
    EXPECT_TRUE(port.windows.WindowExists());
}

TEST_F(SaverWindowTest, PreviewNeverClosesOnInput) {
    Create(true);
    for (HeadlessInput input : {HeadlessInput::Key, HeadlessInput::SysKey, HeadlessInput::Button,
                                HeadlessInput::Deactivate, HeadlessInput::DeactivateApp}) {
        port.windows.PostInput(input);
    }
    port.windows.PostInput(HeadlessInput::MouseMove, 1, 1);
    port.windows.PostInput(HeadlessInput::MouseMove, 50, 50);
    EXPECT_FALSE(PumpAll());
    EXPECT_TRUE(port.windows.WindowExists());
    EXPECT_TRUE(window->OnNcActivate(false));
    EXPECT_EQ(window->OnSetCursor(), CursorAnswer::NotHandled);

    port.windows.PostDestroy(); // the host takes the window down
    EXPECT_TRUE(PumpAll());
    EXPECT_FALSE(port.windows.WindowExists());
}

// The window of another monitor shares the run: its input ends the run by
// closing the run's own window, and activation moving between the run's
// windows is no loss.
TEST_F(SaverWindowTest, InputOnAnotherMonitorsWindowClosesTheRunWindow) {
    GlimmoraContext otherCtx(port.Services());
    otherCtx.run.exclusiveMode = true;
    struct Case {
        const char* name;
        void (*input)(CSaverWnd&);
        bool closes;
    };
    const Case cases[] = {
        {"key", [](CSaverWnd& w) { w.OnKeyDown(); }, true},
        {"button", [](CSaverWnd& w) { w.OnButtonDown(); }, true},
        {"deactivation", [](CSaverWnd& w) { w.OnActivate(false); }, true},
        {"application deactivation", [](CSaverWnd& w) { w.OnActivateApp(false); }, true},
        {"first mouse position", [](CSaverWnd& w) { w.OnMouseMove(-300, 20); }, false},
        {"activation to an own window", [](CSaverWnd& w) { w.OnActivate(false, true); }, false},
    };
    for (const Case& c : cases) {
        port.windows.Reset();
        Create(false);
        CSaverWnd other(otherCtx.run, otherCtx.view, otherCtx.loop, port.windows);
        other.runWindow = window;
        c.input(other);
        EXPECT_EQ(PumpAll(), c.closes) << c.name;
        EXPECT_EQ(port.windows.WindowExists(), !c.closes) << c.name;
    }
    port.windows.Reset();
    Create(false);
    EXPECT_TRUE(window->OnNcActivate(false, true));
    EXPECT_FALSE(window->OnNcActivate(false, false));
    window->OnActivate(false, true);
    EXPECT_FALSE(PumpAll());
    // Without a run window a window closes itself, which here is not the one that exists.
    CSaverWnd lone(otherCtx.run, otherCtx.view, otherCtx.loop, port.windows);
    lone.OnKeyDown();
    EXPECT_FALSE(PumpAll());
    EXPECT_TRUE(port.windows.WindowExists());
}

TEST_F(SaverWindowTest, CloseRequestsAfterDestructionHaveNoEffect) {
    Create(false);
    port.windows.PostInput(HeadlessInput::Key);
    port.windows.PostInput(HeadlessInput::MouseMove, 5, 5);
    port.windows.PostInput(HeadlessInput::MouseMove, 9, 9);
    EXPECT_TRUE(PumpAll());
    EXPECT_FALSE(PumpAll());
}

} // namespace
