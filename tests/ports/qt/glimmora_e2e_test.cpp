// The glimmora program on a private X server: the full-screen saver on the
// demo theme, the input that ends it, the preview inside a host window and a
// theme script with an error.
#ifdef GLIMMORA_HAVE_DESKTOP

#include "scratch_disk.h"
#include "support/test_files.h"
#include "support/x_session.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

constexpr int SHOW_TIMEOUT_MS = 15000;
#define LSAN_SUPPRESSIONS GLIMMORA_SOURCE_DIR "/tests/ports/qt/lsan_system_libraries.supp"

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Pixels of the banner's olive colour, RGB(120, 120, 0), partly covering the
// darker scene: red and green alike and well above blue, not bright.
int OlivePixels(const RgbPicture& picture, int x0, int y0, int width, int height) {
    int count = 0;
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            uint32_t p = picture.Pixel(x, y);
            int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            count += g > b + 30 && r > b + 30 && std::abs(r - g) < 24 && r < 170;
        }
    }
    return count;
}

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.Running()) << "Xvfb could not be started";
        std::filesystem::create_directories(dir.File("data/Tarnwell/Glimmora"));
        std::filesystem::create_directory_symlink(std::string(GLIMMORA_SOURCE_DIR) +
                                                      "/themes/Aquarium",
                                                  dir.File("data/Tarnwell/Glimmora/Aquarium"));
        LinkProgram("QV Aquarium");
    }

    // The program under the name that selects the theme.
    void LinkProgram(const std::string& name) {
        std::filesystem::create_symlink(GLIMMORA_PROGRAM, dir.File(name));
    }

    bool Start(const std::string& name, const std::vector<std::string>& args) {
        std::vector<std::string> argv{dir.File(name)};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env{"DISPLAY=" + x.Display(),
                                     "XDG_DATA_HOME=" + dir.File("data"),
                                     "XDG_CONFIG_HOME=" + dir.File("config"),
                                     "XDG_DATA_DIRS=/nonexistent",
                                     "QT_QPA_PLATFORM=xcb",
                                     "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS};
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        return saver.Start(argv, env, dir.File("out.txt"), dir.File("err.txt"));
    }

    // The id of the visible window titled `title`, once it is shown.
    std::string WindowNamed(const std::string& title) {
        return WaitForOutput(x.Display(),
                             "xdotool search --onlyvisible --name '^" + title + "$' | head -1",
                             SHOW_TIMEOUT_MS);
    }

    // Waits for the saver's window and for its first pictures.
    std::string ShownSaver() {
        std::string id = WindowNamed("QV Aquarium");
        SleepMs(1500);
        return id;
    }

    std::string Xdo(const std::string& args) { return XCommand(x.Display(), "xdotool " + args); }

    // How many percent of the screenshot's area `width` x `height` at (x, y)
    // equal the headless render of the demo theme at that size (the one
    // check of the scripts too, scripts/lib/same-as-render); -1 on failure.
    int SameAsRender(const std::string& shot, int x, int y, int width, int height,
                     const std::string& options = "") {
        std::string area = std::to_string(width) + "x" + std::to_string(height) + "+" +
                           std::to_string(x) + "+" + std::to_string(y);
        std::string out = dir.File("same.txt");
        int status = RunCommand(
            "GLIMMORA_TOOL=" GLIMMORA_TOOL " " GLIMMORA_SOURCE_DIR "/scripts/lib/same-as-render '" +
            shot + "' " + area + " " GLIMMORA_SOURCE_DIR "/themes/Aquarium/Aquarium.SS " + options +
            " >" + out + " 2>&1");
        std::string said = ReadFileText(out);
        EXPECT_EQ(status, 0) << said;
        return status == 0 ? std::atoi(said.c_str()) : -1;
    }

    // The saver's window `title` (a pattern) shows the demo theme as the
    // headless render does, and a key ends it with 0.
    void ExpectDemoShownInWindow(const std::string& title) {
        ASSERT_NE(WindowNamed(title), "");
        SleepMs(1500);
        ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("shot.ppm")));
        EXPECT_GE(SameAsRender(dir.File("shot.ppm"), 0, 0, 800, 600), 80);
        Xdo("key a");
        EXPECT_EQ(saver.Wait(5000), 0);
    }

    XvfbServer x{800, 600};
    TempDir dir;
    std::vector<std::string> extraEnv;
    ChildProcess saver;
};

TEST_F(DesktopTest, SaverShowsTheDemoThemeAndAOnePixelMoveEndsIt) {
    ASSERT_TRUE(Start("QV Aquarium", {"/s"}));
    ASSERT_NE(ShownSaver(), "");
    EXPECT_TRUE(saver.Running());

    RgbPicture shot;
    ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("shot.ppm")));
    ASSERT_TRUE(ReadPpm(dir.File("shot.ppm"), &shot));
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600);
    // The background and the fixed decoration match the headless picture
    // pixel for pixel; only the swimming sprites are elsewhere.
    EXPECT_GE(SameAsRender(dir.File("shot.ppm"), 0, 0, 800, 600), 80);
    // The module's name shows in the banner at the bottom left, olive text
    // blended over the scene; elsewhere no such colour shows.
    EXPECT_GT(OlivePixels(shot, 0, 580, 80, 18), 40);
    EXPECT_EQ(OlivePixels(shot, 300, 300, 80, 18), 0);

    // Still pointer: nothing ends; one pixel of movement ends the run.
    SleepMs(300);
    EXPECT_TRUE(saver.Running());
    Xdo("mousemove_relative 1 0");
    EXPECT_EQ(saver.Wait(5000), 0);
    EXPECT_EQ(Xdo("search --onlyvisible --name '^QV Aquarium$'"), "");
    // Sound is on; without a sound device the run is silent and shows no message.
    EXPECT_EQ(ReadFileText(dir.File("err.txt")).find("QV Aquarium:"), std::string::npos)
        << ReadFileText(dir.File("err.txt"));
}

// The plain program name plays the demo theme, found in the data folders.
TEST_F(DesktopTest, ThePlainNamePlaysTheDemo) {
    LinkProgram("glimmora");
    ASSERT_TRUE(Start("glimmora", {"/s"}));
    ExpectDemoShownInWindow("glimmora");
}

// A theme that is not installed: a box names the folders searched; closing
// it ends the program with 1.
TEST_F(DesktopTest, AMissingThemeSaysWhereItWasLookedFor) {
    LinkProgram("QV Pond");
    ASSERT_TRUE(Start("QV Pond", {"/s"}));
    std::string box = WindowNamed("QV Pond");
    ASSERT_NE(box, "");
    EXPECT_NE(ReadFileText(dir.File("err.txt"))
                  .find("QV Pond: Can't find the theme \"Pond\": there is no Pond.SS in any of "
                        "these folders:\n" +
                        dir.File("data") + "/Tarnwell/Glimmora/Pond\n"),
              std::string::npos)
        << ReadFileText(dir.File("err.txt"));
    Xdo("windowfocus --sync " + box);
    Xdo("key Return");
    EXPECT_EQ(saver.Wait(5000), 1);
}

// "-def" with a script elsewhere than the current folder: its pictures and
// sounds are found beside it, and the saver plays what render shows.
TEST_F(DesktopTest, DefWithAPathPlaysTheThemeFromAnyFolder) {
    const std::string elsewhere = dir.File("elsewhere");
    std::filesystem::create_directories(elsewhere);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere);
    const bool started =
        Start("QV Aquarium",
              {"/s", "-def", std::string(GLIMMORA_SOURCE_DIR) + "/themes/Aquarium/Aquarium.SS"});
    std::filesystem::current_path(previous);
    ASSERT_TRUE(started);
    ASSERT_NE(ShownSaver(), "") << ReadFileText(dir.File("err.txt"));
    ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("shot.ppm")));
    EXPECT_GE(SameAsRender(dir.File("shot.ppm"), 0, 0, 800, 600), 80);
    Xdo("key a");
    EXPECT_EQ(saver.Wait(5000), 0) << ReadFileText(dir.File("err.txt"));
}

TEST_F(DesktopTest, AKeyEndsTheSaver) {
    ASSERT_TRUE(Start("QV Aquarium", {"-s"}));
    ASSERT_NE(ShownSaver(), "");
    Xdo("key a");
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, AClickEndsTheSaver) {
    ASSERT_TRUE(Start("QV Aquarium", {"/s"}));
    ASSERT_NE(ShownSaver(), "");
    Xdo("click 1");
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, DebugWindowIsSmallerWithCursorAndEndsWhenAnotherWindowIsActivated) {
    ASSERT_TRUE(Start("QV Aquarium", {"/s", "-debug", "-v400x300"}));
    std::string id = ShownSaver();
    ASSERT_NE(id, "");
    std::string geometry = Xdo("getwindowgeometry " + id);
    EXPECT_NE(geometry.find("Position: 0,0"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 400x300"), std::string::npos) << geometry;
    EXPECT_TRUE(saver.Running());

    ChildProcess other;
    ASSERT_TRUE(other.Start(
        {"/usr/bin/xmessage", "-geometry", "200x100+500+400", "-title", "Other", "other"},
        {"DISPLAY=" + x.Display()}, dir.File("other-out"), dir.File("other-err")));
    std::string otherId = WindowNamed("Other");
    ASSERT_NE(otherId, "");
    Xdo("windowfocus --sync " + otherId);
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, PreviewDrawsInsideTheHostWindowAndIgnoresInput) {
    // A host window of another program, 320 by 240 at (100, 80).
    ChildProcess host;
    ASSERT_TRUE(host.Start({"/usr/bin/xmessage", "-bw", "0", "-geometry", "320x240+100+80",
                            "-title", "PreviewHost", "host"},
                           {"DISPLAY=" + x.Display()}, dir.File("host-out"), dir.File("host-err")));
    std::string hostId = WindowNamed("PreviewHost");
    ASSERT_NE(hostId, "");
    std::string size = XCommand(x.Display(), "xdotool getwindowgeometry " + hostId);
    ASSERT_NE(size.find("320x240"), std::string::npos) << size;

    ASSERT_TRUE(Start("QV Aquarium", {"/p", hostId}));
    ASSERT_NE(ShownSaver(), "");
    ASSERT_TRUE(saver.Running());

    RgbPicture shot;
    ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("preview.ppm")));
    ASSERT_TRUE(ReadPpm(dir.File("preview.ppm"), &shot));
    // Inside the host's area the preview's picture; no banner there.
    EXPECT_GE(SameAsRender(dir.File("preview.ppm"), 100, 80, 320, 240, "--preview"), 80);
    // Outside it the screen is untouched.
    EXPECT_EQ(shot.Pixel(50, 40), shot.Pixel(700, 500));
    EXPECT_NE(shot.Pixel(50, 40), shot.Pixel(110, 90));

    // Movement, clicks and keys over the preview end nothing.
    Xdo("mousemove 200 150");
    Xdo("mousemove 210 160");
    Xdo("click 1");
    Xdo("key a");
    SleepMs(800);
    EXPECT_TRUE(saver.Running());

    // The host going away ends the preview, with exit code 0.
    host.Kill();
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, SettingsDialogCancelWritesNothingAndOkWritesTheFile) {
    std::string settings = dir.File("config/Tarnwell/Glimmora/QV Aquarium.ini");
    ASSERT_TRUE(Start("QV Aquarium", {}));
    std::string dialog = WindowNamed("Aquarium"); // captioned with the theme's name
    ASSERT_NE(dialog, "");
    Xdo("windowfocus --sync " + dialog);
    Xdo("key Escape");
    EXPECT_EQ(saver.Wait(5000), 0);
    EXPECT_FALSE(std::filesystem::exists(settings));

    ASSERT_TRUE(Start("QV Aquarium", {"/c"}));
    dialog = WindowNamed("Aquarium");
    ASSERT_NE(dialog, "");
    Xdo("windowfocus --sync " + dialog);
    Xdo("key Return");
    EXPECT_EQ(saver.Wait(5000), 0);
    EXPECT_NE(ReadFileText(settings).find("[Config]"), std::string::npos);
}

// Playing in turn, a start stores the next module. On a full disk that write
// fails: the saver plays on, says so on the error stream, and the settings
// file keeps every byte.
TEST_F(DesktopTest, SaverStartOnAFullDiskKeepsTheSettingsAndSaysSo) {
    std::string config = dir.File("config");
    std::filesystem::create_directories(config);
    std::string why;
    SmallDisk disk;
    if (!disk.Mount(config, 64 * 1024, &why)) GTEST_SKIP() << "no small disk: " << why;
    const std::string old = "[Config]\nActiveModule=1\nSound=0\nGamma=0\nPlayMode=2\n"
                            "MasterVolume=100\n\n[Coral%20Reef]\nFish=5\n";
    std::string settings = dir.Write("config/Tarnwell/Glimmora/QV Aquarium.ini", old);
    ASSERT_TRUE(disk.FillUp(&why)) << why;

    ASSERT_TRUE(Start("QV Aquarium", {"/s"}));
    ASSERT_NE(ShownSaver(), "");
    EXPECT_TRUE(saver.Running());
    std::string said = ReadFileText(dir.File("err.txt"));
    EXPECT_NE(said.find("QV Aquarium: The settings could not be saved: cannot write " + settings +
                        ": No space left on device\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(ReadFileText(settings), old);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(config + "/Tarnwell/Glimmora")) {
        EXPECT_EQ(entry.path().filename(), "QV Aquarium.ini");
        ++files;
    }
    EXPECT_EQ(files, 1);
    Xdo("mousemove_relative 1 0");
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, AScriptErrorOnLine12IsShownAndIsTheExitCode) {
    std::filesystem::create_directories(dir.File("data/Tarnwell/Glimmora/Broken"));
    dir.Write("data/Tarnwell/Glimmora/Broken/Broken.SS",
              "Module \"A\"\n{\nSetup\n{\n// 5\n// 6\n// 7\n// 8\n// 9\n// 10\n// 11\n"
              "#X \"a\"\n}\n}\n");
    LinkProgram("QV Broken");
    ASSERT_TRUE(Start("QV Broken", {"/s"}));
    // The message box is captioned with the program's name.
    std::string box = WindowNamed("QV Broken");
    ASSERT_NE(box, "");
    EXPECT_TRUE(saver.Running()); // waiting for the box to be closed
    EXPECT_NE(ReadFileText(dir.File("err.txt"))
                  .find("QV Broken: Syntax Error: Invalid parameter definition"),
              std::string::npos)
        << ReadFileText(dir.File("err.txt"));

    Xdo("windowfocus --sync " + box);
    Xdo("key Return");
    EXPECT_EQ(saver.Wait(5000), 12);
    EXPECT_EQ(Xdo("search --onlyvisible --name '^QV Broken$'"), "");
}

// A theme named with a dot, installed as a user installs it: the saver link
// "QV Reef.v2" plays the theme Reef.v2, its whole name, and no theme "Reef".
TEST_F(DesktopTest, AnInstalledThemeNamedReefV2PlaysUnderItsWholeName) {
    std::string source = dir.File("src/Reef.v2");
    std::filesystem::create_directories(source);
    for (const auto& entry :
         std::filesystem::directory_iterator(GLIMMORA_SOURCE_DIR "/themes/Aquarium")) {
        std::string name = entry.path().filename().string();
        std::filesystem::copy_file(entry.path(),
                                   source + "/" + (name == "Aquarium.SS" ? "Reef.v2.SS" : name));
    }
    ASSERT_EQ(RunCommand("HOME=" + dir.File("home") + " XDG_DATA_HOME=" + dir.File("data") + " " +
                         GLIMMORA_TOOL + " install-theme " + source + " >" +
                         dir.File("install.txt") + " 2>&1"),
              0)
        << ReadFileText(dir.File("install.txt"));
    ASSERT_TRUE(Start("home/.local/bin/QV Reef.v2", {"/s"}));
    ExpectDemoShownInWindow("QV Reef\\.v2");
}

// "-exp256": when the run ends, the loaded module's palette file is written
// into the current folder, between the two boxes that say so.
TEST_F(DesktopTest, Exp256WritesTheModulePaletteWhenTheRunEnds) {
    std::filesystem::current_path(dir.Path());
    ASSERT_TRUE(Start("QV Aquarium", {"/s", "-exp256"}));
    ASSERT_NE(ShownSaver(), "");
    Xdo("key a");
    for (const char* text :
         {"Glimmora: Palletizing, please wait...", "Glimmora: Palettizing completed"}) {
        for (int waited = 0; waited < SHOW_TIMEOUT_MS; waited += 100) {
            if (ReadFileText(dir.File("err.txt")).find(text) != std::string::npos) break;
            SleepMs(100);
        }
        std::string box = WindowNamed("Glimmora");
        ASSERT_NE(box, "") << text;
        Xdo("windowfocus --sync " + box);
        Xdo("key Return");
        SleepMs(500);
    }
    EXPECT_EQ(saver.Wait(5000), 0) << ReadFileText(dir.File("err.txt"));
    ASSERT_TRUE(std::filesystem::exists(dir.File("256COL00.PAL")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("256COL00.PAL")), 1028u);
}

TEST_F(DesktopTest, SoundPlaysThroughTheSoundServer) {
    // A private sound server whose only output is a null sink we can listen to.
    std::string runtime = dir.File("run");
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::string runtimeEnv = "XDG_RUNTIME_DIR=" + runtime;
    ChildProcess server;
    ASSERT_TRUE(server.Start(
        {"/usr/bin/pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
         "--load=module-null-sink sink_name=out", "--load=module-native-protocol-unix"},
        {runtimeEnv, "HOME=" + dir.Path()}, dir.File("pa-out"), dir.File("pa-err")));
    std::string pactl = runtimeEnv + " pactl";
    ASSERT_NE(WaitForOutput(x.Display(), pactl + " info | grep 'Default Sink: out'", 10000), "")
        << ReadFileText(dir.File("pa-err"));

    extraEnv.push_back(runtimeEnv);
    ASSERT_TRUE(Start("QV Aquarium", {"/s"}));
    ASSERT_NE(ShownSaver(), "");
    // 22 050 Hz 8-bit stereo, as the mixer makes it.
    EXPECT_NE(WaitForOutput(x.Display(), pactl + " list sink-inputs | grep 'u8 2ch 22050Hz'", 5000),
              "");
    std::string recording = dir.File("out.raw");
    XCommand(x.Display(), runtimeEnv +
                              " timeout 4 parec -d out.monitor --format=u8 --channels=2 "
                              "--rate=22050 --raw >" +
                              recording);
    std::vector<unsigned char> bytes = ReadFileBytes(recording);
    EXPECT_GT(bytes.size(), 22050u * 2 * 2);
    size_t sounding = 0;
    for (unsigned char b : bytes) sounding += b < 124 || b > 132;
    EXPECT_GT(sounding, bytes.size() / 20); // the theme's sounds, not silence

    Xdo("key a");
    EXPECT_EQ(saver.Wait(5000), 0);
}

// A screen-saver daemon's window: a full run plays inside it and input never
// ends it; the daemon ends it (here by taking the window away).
class DaemonTest : public DesktopTest {
  protected:
    void PlaysAndIgnoresInput(int width, int height) {
        ASSERT_NE(ShownSaver(), "");
        ASSERT_TRUE(saver.Running());
        RgbPicture shot;
        ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("daemon.ppm")));
        ASSERT_TRUE(ReadPpm(dir.File("daemon.ppm"), &shot));
        EXPECT_GE(SameAsRender(dir.File("daemon.ppm"), 0, 0, width, height), 70);
        EXPECT_GT(OlivePixels(shot, 0, height - 20, width / 8, 20), 10); // the banner shows

        Xdo("mousemove 100 100");
        Xdo("mousemove 120 130");
        Xdo("click 1");
        Xdo("key a");
        SleepMs(800);
        EXPECT_TRUE(saver.Running());
    }

    std::string StartHost() {
        EXPECT_TRUE(host.Start({"/usr/bin/xmessage", "-bw", "0", "-geometry", "400x300+0+0",
                                "-title", "DaemonWindow", "daemon"},
                               {"DISPLAY=" + x.Display()}, dir.File("host-out"),
                               dir.File("host-err")));
        return WindowNamed("DaemonWindow");
    }

    ChildProcess host;
};

TEST_F(DaemonTest, WindowIdInHexadecimal) {
    std::string hostId = StartHost();
    ASSERT_NE(hostId, "");
    char hex[32];
    std::snprintf(hex, sizeof(hex), "0x%lx", std::stoul(hostId));
    ASSERT_TRUE(Start("QV Aquarium", {"-window-id", hex}));
    PlaysAndIgnoresInput(400, 300);
    host.Kill();
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DaemonTest, WindowFromTheEnvironment) {
    std::string hostId = StartHost();
    ASSERT_NE(hostId, "");
    extraEnv.push_back("XSCREENSAVER_WINDOW=" + hostId);
    ASSERT_TRUE(Start("QV Aquarium", {}));
    PlaysAndIgnoresInput(400, 300);
    host.Kill();
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DaemonTest, RootWindow) {
    ASSERT_TRUE(Start("QV Aquarium", {"--root"}));
    PlaysAndIgnoresInput(800, 600);
}

// A daemon that runs an entry's "-root" as written and names its own window
// in the environment: the run plays in that window, not on the root.
TEST_F(DaemonTest, TheDaemonsWindowWinsOverRoot) {
    std::string hostId = StartHost();
    ASSERT_NE(hostId, "");
    extraEnv.push_back("XSCREENSAVER_WINDOW=" + hostId);
    ASSERT_TRUE(Start("QV Aquarium", {"-root"}));
    PlaysAndIgnoresInput(400, 300);
    RgbPicture shot;
    ASSERT_TRUE(Screenshot(x.Display(), "root", dir.File("outside.ppm")));
    ASSERT_TRUE(ReadPpm(dir.File("outside.ppm"), &shot));
    EXPECT_EQ(shot.Pixel(600, 500), shot.Pixel(790, 590)); // the root is left alone
    host.Kill();
    EXPECT_EQ(saver.Wait(5000), 0);
}

TEST_F(DesktopTest, UnknownDaemonWindowIsRefused) {
    ASSERT_TRUE(Start("QV Aquarium", {"-window-id", "0x7fffff01"}));
    EXPECT_EQ(saver.Wait(10000), 1);
    EXPECT_NE(ReadFileText(dir.File("err.txt")).find("no such window: 0x7fffff01"),
              std::string::npos);
}

} // namespace

#endif
