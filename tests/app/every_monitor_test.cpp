// A full-screen run on a desktop of three monitors (one left of and above the
// primary, at negative coordinates, one right of it, each of its own size) on
// the headless platform: a window and an engine per monitor, sound from the
// primary's alone, input on any window ends the run, monitors come and go.
#include "app/glimmora_context.h"
#include "app/main_loop.h"
#include "app/monitor_run.h"
#include "app/startup.h"
#include "platform/window.h"
#include "ports/headless/headless_port.h"
#include "support/app_fixture.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* SCRIPT = R"(ThemeName "Play"
Module "One"
{
Setup
{
}
Background
{
Color 0, 0, 255
}
Feature
{
Image "block.gif"
Start 100
Position 400, 300
}
}
)";

const SysMonitor LEFT = {11, -640, -100, 640, 480, false};
const SysMonitor PRIMARY = {22, 0, 0, 800, 600, true};
const SysMonitor RIGHT = {33, 800, 0, 1024, 768, false};

constexpr uint32_t BLUE = 0x0000FF;
constexpr uint32_t GREEN = 0x05FA23; // colour 5 of the test table
constexpr uint32_t BLACK = 0x000000;

class EveryMonitorTest : public ContextTest {
  protected:
    void SetUp() override {
        port.windows.Reset();
        port.audio.Reset();
        port.settings.Clear();
        port.system.ClearMessages();
        port.system.SetTime(0);
        port.shell.SetScreenSize(800, 600);
        port.shell.SetMonitors({LEFT, PRIMARY, RIGHT});
        dir.WriteBytes("block.gif", SolidGif(8, 8, 5));
    }

    void TearDown() override {
        if (port.windows.WindowExists()) CloseRunWindow();
        EndRunLoop(*saverRun);
        RestartRun();
        port.shell.SetMonitors({});
        port.audio.Reset();
    }

    bool Start(std::vector<std::string> options = {}) {
        args = {"QV Play", "/s", "-def", dir.Write("Play.SS", SCRIPT)};
        args.insert(args.end(), options.begin(), options.end());
        for (std::string& a : args) argv.push_back(a.data());
        std::filesystem::current_path(dir.Path());
        bool run = StartUp(*saverRun, static_cast<int>(argv.size()), argv.data());
        if (run) BeginRunLoop(*saverRun);
        return run;
    }

    bool PlayUntil(uint32_t ms) {
        while (now < ms) {
            if (!RunLoopPass(*saverRun)) return false;
            port.system.AdvanceTime(1);
            ++now;
        }
        return true;
    }

    // The context playing on the monitor with `id`, or none.
    GlimmoraContext* On(uintptr_t id) {
        if (!saverRun->monitors) return nullptr;
        for (int s = 1; s < MAX_MONITORS; ++s) {
            const MonitorSlot& slot = saverRun->monitors->layout.slots[s];
            if (slot.used && slot.monitor.id == id) return saverRun->monitors->others[s].get();
        }
        return nullptr;
    }

    static uint32_t Pixel(const GlimmoraContext& c, int32_t x, int32_t y) {
        return c.view.backBuffer[static_cast<size_t>(y) * c.view.bufferWidth + x] & 0xFFFFFF;
    }

    TempDir dir;
    std::vector<std::string> args;
    std::vector<char*> argv;
    uint32_t now = 0;
};

TEST_F(EveryMonitorTest, EachMonitorGetsItsWindowAndEngineAndOnlyThePrimaryPlaysSound) {
    ASSERT_TRUE(Start());
    const WindowLayout& lead = port.windows.Layout();
    EXPECT_EQ(lead.monitor, PRIMARY.id);
    EXPECT_FALSE(lead.secondary);
    EXPECT_EQ(lead.right - lead.left, 800);
    ASSERT_EQ(port.windows.SecondaryCount(), 2);
    const struct {
        SysMonitor monitor;
        int secondary;
    } cases[] = {{LEFT, 0}, {RIGHT, 1}};
    for (const auto& c : cases) {
        const WindowLayout* layout = port.windows.SecondaryLayout(c.secondary);
        ASSERT_NE(layout, nullptr);
        EXPECT_TRUE(layout->secondary && layout->topmost && layout->hideCursor);
        EXPECT_EQ(layout->monitor, c.monitor.id);
        EXPECT_EQ(layout->left, c.monitor.left);
        EXPECT_EQ(layout->top, c.monitor.top);
        EXPECT_EQ(layout->right, c.monitor.left + c.monitor.width);
        EXPECT_EQ(layout->bottom, c.monitor.top + c.monitor.height);
    }
    ASSERT_TRUE(PlayUntil(500));
    EXPECT_TRUE(ctx.loop.mixerStarted);
    EXPECT_EQ(Pixel(ctx, 400 + 4, 300 + 4), GREEN);
    uint32_t seeds[2] = {};
    for (const auto& c : cases) {
        GlimmoraContext* other = On(c.monitor.id);
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(other->settings.Sound);
        EXPECT_FALSE(other->loop.mixerStarted);
        EXPECT_EQ(other->view.bufferWidth, c.monitor.width);
        EXPECT_EQ(other->view.bufferHeight, c.monitor.height);
        // The feature at the centre of the design space lands at the centre.
        EXPECT_EQ(Pixel(*other, c.monitor.width / 2 + 2, c.monitor.height / 2 + 2), GREEN);
        EXPECT_EQ(Pixel(*other, 5, 5), BLUE);
        seeds[c.secondary] = other->engine.random.randomState;
    }
    EXPECT_NE(seeds[0], seeds[1]);
    EXPECT_NE(seeds[0], ctx.engine.random.randomState);
}

TEST_F(EveryMonitorTest, WithOtherMonitorsBlackTheyShowNothing) {
    port.settings.Set("QV Play", "Config", "OtherMonitors", 1);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PlayUntil(500));
    ASSERT_EQ(port.windows.SecondaryCount(), 2);
    for (const SysMonitor& m : {LEFT, RIGHT}) {
        GlimmoraContext* other = On(m.id);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->script.theme.featureCount, 0);
        // Every pixel, the banner's corner too.
        const CSSView& v = other->view;
        ASSERT_EQ(v.bufferWidth, m.width);
        const uint32_t* begin = v.backBuffer;
        const uint32_t* end = v.backBuffer + static_cast<size_t>(v.bufferWidth) * v.bufferHeight;
        EXPECT_TRUE(std::all_of(begin, end, [](uint32_t p) { return (p & 0xFFFFFF) == BLACK; }));
    }
    EXPECT_EQ(Pixel(ctx, 5, 5), BLUE); // the primary plays
}

TEST_F(EveryMonitorTest, DebugAndAGivenSizeKeepOneWindow) {
    for (const char* option : {"-debug", "-v640x480"}) {
        port.windows.Reset();
        RestartRun();
        argv.clear();
        ASSERT_TRUE(Start({option, "-"})) << option;
        EXPECT_EQ(port.windows.SecondaryCount(), 0) << option;
        EXPECT_EQ(saverRun->monitors, nullptr) << option;
        EXPECT_EQ(port.windows.Layout().monitor, uintptr_t{0}) << option;
        EndRunLoop(*saverRun);
    }
}

TEST_F(EveryMonitorTest, InputOnAnyMonitorEndsTheRunWithExitCodeZero) {
    const struct {
        const char* name;
        int secondary;
        HeadlessInput input;
    } cases[] = {{"key on the left", 0, HeadlessInput::Key},
                 {"click on the right", 1, HeadlessInput::Button},
                 {"key on the primary", -1, HeadlessInput::Key}};
    for (const auto& c : cases) {
        port.windows.Reset();
        RestartRun();
        argv.clear();
        now = 0;
        ASSERT_TRUE(Start()) << c.name;
        ASSERT_TRUE(PlayUntil(200)) << c.name;
        if (c.secondary < 0) {
            port.windows.PostInput(c.input);
        } else {
            port.windows.PostInputTo(c.secondary, HeadlessInput::MouseMove, 3, 3); // the reference
            port.windows.PostInputTo(c.secondary, c.input);
        }
        EXPECT_FALSE(PlayUntil(400)) << c.name;
        EndRunLoop(*saverRun);
        EXPECT_EQ(Finish(ctx), 0) << c.name;
        EXPECT_EQ(port.windows.SecondaryCount(), 0) << c.name;
    }
}

TEST_F(EveryMonitorTest, MonitorsComingAndGoingKeepTheRunPlaying) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(PlayUntil(200));
    SysMonitor newPrimary = RIGHT;
    newPrimary.primary = true;
    const struct {
        const char* name;
        std::vector<SysMonitor> monitors;
        int secondaries;
        int32_t leadLeft;
        int32_t leadWidth;
    } steps[] = {
        {"left removed", {PRIMARY, RIGHT}, 1, 0, 800},
        {"left back", {LEFT, PRIMARY, RIGHT}, 2, 0, 800},
        {"primary removed, right is primary", {LEFT, newPrimary}, 1, 800, 1024},
        {"primary back", {LEFT, PRIMARY, newPrimary}, 2, 800, 1024},
    };
    for (const auto& s : steps) {
        port.shell.SetMonitors(s.monitors);
        ASSERT_TRUE(PlayUntil(now + 300)) << s.name;
        EXPECT_EQ(port.windows.SecondaryCount(), s.secondaries) << s.name;
        EXPECT_EQ(port.windows.Layout().left, s.leadLeft) << s.name;
        EXPECT_EQ(ctx.view.bufferWidth, s.leadWidth) << s.name;
        EXPECT_TRUE(ctx.loop.displayReady) << s.name;
    }
    // The primary, back, plays again in a window of its own.
    GlimmoraContext* back = On(PRIMARY.id);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Pixel(*back, 400 + 2, 300 + 2), GREEN);
}

} // namespace
