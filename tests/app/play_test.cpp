// End-to-end play on the headless platform: start-up from a command line, the
// run loop against the virtual clock, and what the window shows.
#include "app/app_state.h"
#include "app/main_loop.h"
#include "app/module_loader.h"
#include "app/startup.h"
#include "display/ss_view.h"
#include "engine/engine_state.h"
#include "platform/window.h"
#include "ports/headless/headless_port.h"
#include "script/script_reader.h"
#include "script/theme_records.h"
#include "settings/settings_store.h"
#include "support/app_fixture.h"
#include "support/gif_writer.h"
#include "support/test_files.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

// Every C++ allocation of the test program is counted, so that a test can
// assert that playing allocates nothing.
namespace {
std::atomic<long> allocations{0};
std::atomic<long> liveAllocations{0};

void* Allocate(std::size_t size) {
    ++allocations;
    ++liveAllocations;
    return std::malloc(size ? size : 1);
}
void Free(void* p) {
    if (!p) return;
    --liveAllocations;
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Free(p);
}
void operator delete[](void* p) noexcept {
    Free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Free(p);
}

namespace {

const char* PLAY_SCRIPT = R"(ThemeName "Play"
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
Start 1000
Position 100, 200
}
}
)";

class PlayTest : public ContextTest {
  protected:
    void SetUp() override {
        ResetContext();
        settings.ResetSettings();
        view.Reset();
        port.windows.Reset();
        port.windows.ResetVideo();
        port.audio.Reset();
        port.audio.KeepPlayed(false);
        port.settings.Clear();
        port.system.ClearMessages();
        port.system.SetTime(0);
        // Colour 5 of the test table: (5, 250, 35).
        dir.WriteBytes("block.gif", SolidGif(8, 8, 5));
    }

    void TearDown() override {
        if (port.windows.WindowExists()) {
            CloseRunWindow();
        }
        EndRunLoop(*saverRun);
        port.audio.Reset();
        ResetContext();
        view.Reset();
    }

    // Starts the saver on `script` in the theme folder, as "-def" would.
    bool Start(const std::string& script, const char* mode = "/s") {
        std::string path = dir.Write("Play.SS", script);
        args = {"QV Play", mode, "-def", path, "-v800x600", "-"};
        argv.clear();
        for (std::string& a : args) argv.push_back(a.data());
        std::filesystem::current_path(dir.Path());
        bool run = StartUp(*saverRun, static_cast<int>(argv.size()), argv.data());
        if (run) BeginRunLoop(*saverRun);
        return run;
    }

    // Starts the saver on the bundled demo theme, in its folder.
    bool StartDemo() {
        std::string folder = std::string(GLIMMORA_SOURCE_DIR) + "/themes/Aquarium";
        args = {"QV Aquarium", "/s", "-def", folder + "/Aquarium.SS"};
        argv.clear();
        for (std::string& a : args) argv.push_back(a.data());
        std::filesystem::current_path(folder);
        bool run = StartUp(*saverRun, static_cast<int>(argv.size()), argv.data());
        if (run) BeginRunLoop(*saverRun);
        return run;
    }

    // Runs passes of the loop, one virtual millisecond apart, up to `ms`.
    bool PlayUntil(uint32_t ms) {
        while (now < ms) {
            if (!RunLoopPass(*saverRun)) return false;
            port.system.AdvanceTime(step);
            now += step;
        }
        return true;
    }

    TempDir dir;
    std::vector<std::string> args;
    std::vector<char*> argv;
    uint32_t now = 0;
    uint32_t step = 1;
};

TEST_F(PlayTest, FeatureAppearsAtItsStartTimeOnTheBackground) {
    ASSERT_TRUE(Start(PLAY_SCRIPT));
    EXPECT_TRUE(port.windows.Layout().topmost);
    EXPECT_TRUE(port.windows.Layout().hideCursor);
    ASSERT_TRUE(PlayUntil(500));
    EXPECT_EQ(port.windows.ScreenPixel(104, 204), 0x0000FFu);
    EXPECT_EQ(port.windows.ScreenPixel(400, 100), 0x0000FFu);
    ASSERT_TRUE(PlayUntil(1500));
    EXPECT_EQ(port.windows.ScreenPixel(104, 204), 0x05FA23u);
    EXPECT_EQ(port.windows.ScreenPixel(100, 200), 0x05FA23u);
    EXPECT_EQ(port.windows.ScreenPixel(108, 208), 0x0000FFu);
}

TEST_F(PlayTest, InputEndsTheRunWithExitCodeZero) {
    ASSERT_TRUE(Start(PLAY_SCRIPT));
    ASSERT_TRUE(PlayUntil(100));
    port.windows.PostInput(HeadlessInput::MouseMove, 10, 10);
    ASSERT_TRUE(PlayUntil(200));
    port.windows.PostInput(HeadlessInput::MouseMove, 11, 10);
    EXPECT_FALSE(PlayUntil(300));
    EXPECT_FALSE(ctx.loop.displayReady);
    EndRunLoop(*saverRun);
    EXPECT_EQ(Finish(ctx), 0);
}

TEST_F(PlayTest, ScriptErrorEndsStartUpWithItsLine) {
    std::string script = PLAY_SCRIPT;
    script.replace(script.find("Start 1000"), 10, "Stat 1000");
    EXPECT_FALSE(Start(script));
    EXPECT_FALSE(port.windows.WindowExists());
    EXPECT_EQ(Finish(ctx), 14);
    ASSERT_EQ(port.system.Messages().size(), 1u);
    EXPECT_EQ(port.system.Messages()[0].caption, "QV Play");
    EXPECT_EQ(port.system.Messages()[0].text, "Invalid Keyword: Stat");
}

TEST_F(PlayTest, MissingScriptOpensAnEmptySaver) {
    args = {"QV Play", "/s", "-def", dir.File("absent.SS")};
    argv.clear();
    for (std::string& a : args) argv.push_back(a.data());
    ASSERT_TRUE(StartUp(*saverRun, static_cast<int>(argv.size()), argv.data()));
    EXPECT_TRUE(port.windows.WindowExists());
    EXPECT_TRUE(port.system.Messages().empty());
    EXPECT_TRUE(settings.Sound); // the settings were not read
}

// Where the platform lists the folders it searched (Linux), a saver whose
// theme is not there says so and ends with 1 instead of playing an empty
// screen; the settings dialog still opens on it.
TEST_F(PlayTest, MissingThemeIsReportedWithTheFoldersSearched) {
    port.shell.SetThemeRoot(dir.Path());
    port.shell.SetListsThemeFolders(true);
    args = {"QV Pond", "/s"};
    argv.clear();
    for (std::string& a : args) argv.push_back(a.data());
    EXPECT_FALSE(StartUp(*saverRun, static_cast<int>(argv.size()), argv.data()));
    EXPECT_FALSE(port.windows.WindowExists());
    EXPECT_EQ(Finish(ctx), 1);
    ASSERT_EQ(port.system.Messages().size(), 1u);
    EXPECT_EQ(port.system.Messages()[0].caption, "QV Pond");
    EXPECT_EQ(port.system.Messages()[0].text,
              "Can't find the theme \"Pond\": there is no Pond.SS in any of these folders:\n" +
                  dir.Path() + "/Pond"); // the headless port's folder, as it joins it

    dir.Write("Pond/Pond.SS", "Module \"A\"\n{\nSetup\n{\n}\nBackground\n{\nColor 0,60,90\n}\n}\n");
    ResetContext();
    EXPECT_TRUE(StartUp(*saverRun, static_cast<int>(argv.size()), argv.data()));
    EXPECT_TRUE(port.windows.WindowExists());
}

TEST_F(PlayTest, OverlongScriptPathIsReportedAndNothingStarts) {
    args = {"QV Play", "/s", "-def", dir.File(std::string(300, 'p') + ".SS")};
    argv.clear();
    for (std::string& a : args) argv.push_back(a.data());
    EXPECT_FALSE(StartUp(*saverRun, static_cast<int>(argv.size()), argv.data()));
    EXPECT_FALSE(port.windows.WindowExists());
    EXPECT_EQ(Finish(ctx), 1);
    ASSERT_EQ(port.system.Messages().size(), 1u);
    EXPECT_EQ(port.system.Messages()[0].text,
              "Can't find the script: its path is longer than 260 characters");
}

TEST_F(PlayTest, PreviewIsAChildWithoutSoundOrBanner) {
    ASSERT_TRUE(Start(PLAY_SCRIPT, "/p"));
    EXPECT_TRUE(run.previewMode);
    EXPECT_TRUE(port.windows.Layout().child);
    EXPECT_EQ(view.screenWidth, 153);
    EXPECT_EQ(view.screenHeight, 113);
    EXPECT_FALSE(port.audio.IsOpen());
    port.windows.PostInput(HeadlessInput::Key);
    ASSERT_TRUE(PlayUntil(20000));
    EXPECT_TRUE(port.windows.WindowExists());
}

TEST_F(PlayTest, SaverModeAdvancesTheModuleForTheNextActivation) {
    std::string script = PLAY_SCRIPT;
    script += "Module \"Two\"\n{\nSetup\n{\n}\n}\nModule \"Three\"\n{\nSetup\n{\n}\n}\n";
    port.settings.Set("QV Play", "Config", "PlayMode", 2);
    port.settings.Set("QV Play", "Config", "ActiveModule", 2);
    ASSERT_TRUE(Start(script));
    int32_t stored = -1;
    ASSERT_TRUE(port.settings.Get("QV Play", "Config", "ActiveModule", &stored));
    EXPECT_EQ(stored, 0);
    EXPECT_STREQ(theme.currentModule->name, "Three");
}

// The saver plays on; the failure goes to the log, never into a box over it.
TEST_F(PlayTest, SaverStartThatCannotStoreTheNextModuleLogsWhyAndPlaysOn) {
    std::string script = PLAY_SCRIPT;
    script += "Module \"Two\"\n{\nSetup\n{\n}\n}\n";
    port.settings.Fail(true); // reads give the defaults: play in turn
    ASSERT_TRUE(Start(script));
    port.settings.Fail(false);
    ASSERT_EQ(port.system.Messages().size(), 1u);
    EXPECT_TRUE(port.system.Messages()[0].logged);
    EXPECT_EQ(port.system.Messages()[0].caption, "QV Play");
    EXPECT_EQ(port.system.Messages()[0].text, "The settings could not be saved: the settings of QV "
                                              "Play cannot be stored (test store)");
    EXPECT_EQ(ctx.errors.errorLine, 0);
    ASSERT_TRUE(PlayUntil(1000));
    EXPECT_TRUE(port.windows.WindowExists());
}

TEST_F(PlayTest, TestRunWritesNothing) {
    std::string script = PLAY_SCRIPT;
    script += "Module \"Two\"\n{\nSetup\n{\n}\n}\n";
    port.settings.Set("QV Play", "Config", "PlayMode", 2);
    std::string path = dir.Write("Play.SS", script);
    std::filesystem::current_path(dir.Path());
    args = {"QV Play", "/s", "-def", path, "-test"};
    argv.clear();
    for (std::string& a : args) argv.push_back(a.data());
    ASSERT_TRUE(StartUp(*saverRun, static_cast<int>(argv.size()), argv.data()));
    int32_t stored = -1;
    EXPECT_FALSE(port.settings.Get("QV Play", "Config", "ActiveModule", &stored));
}

TEST_F(PlayTest, IdleWorkRunsAtMostEvery100Ms) {
    ASSERT_TRUE(Start(PLAY_SCRIPT));
    ASSERT_TRUE(PlayUntil(1000));
    // Passes at t = 0..999: idle work at 100, 200, ... 900.
    EXPECT_EQ(port.windows.IdleCalls(), 9);
}

TEST_F(PlayTest, PlayingTheDemoAllocatesNothing) {
    ASSERT_TRUE(StartDemo());
    ASSERT_TRUE(PlayUntil(1));
    long before = allocations.load();
    ASSERT_TRUE(PlayUntil(60000));
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_GT(port.windows.PresentCount(), 100);
}

TEST_F(PlayTest, AnHourOfPlayHoldsNoMoreMemoryThanTheFirstMinute) {
    ASSERT_TRUE(StartDemo());
    step = 10;
    const char* hours = std::getenv("GLIMMORA_SOAK_HOURS");
    uint64_t end = (hours ? std::strtoull(hours, nullptr, 10) : 1) * 3600000ull;
    ASSERT_TRUE(PlayUntil(60000));
    long afterMinute = liveAllocations.load();
    for (uint64_t t = 60000; t < end; t += 60000) {
        ASSERT_TRUE(PlayUntil(static_cast<uint32_t>(t + 60000)));
    }
    EXPECT_EQ(liveAllocations.load(), afterMinute);
}

} // namespace
