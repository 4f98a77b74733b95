// The Windows port's services on a real (or Wine's) Windows: the registry
// store, the shell's names, folders, monitors and programs, GDI text and the
// wave output.
#include "ports/win32/audio_win32.h"
#include "ports/win32/settings_win32.h"
#include "ports/win32/shell_win32.h"
#include "ports/win32/sys_win32.h"
#include "ports/win32/text_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char SAVER[] = "QV Registry Test";
const char KEY[] = "Software\\Tarnwell\\Glimmora\\QV Registry Test";

int32_t Read(const char* saver, const char* section, const char* name, int32_t defaultValue) {
    SettingsProfile profile;
    profile.saverName = saver;
    profile.Add(section, name, defaultValue);
    Win32Settings().ReadProfile(profile);
    return profile.values[0].value;
}

// Writes one value; the reason of a failure, or "" on success.
std::string Write(const char* saver, const char* section, const char* name, int32_t value) {
    SettingsProfile profile;
    profile.saverName = saver;
    profile.Add(section, name, value);
    char reason[SETTINGS_REASON_LEN] = {};
    if (Win32Settings().WriteProfile(profile, reason, sizeof(reason))) return "";
    return reason[0] ? reason : "(no reason)";
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, KEY); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, KEY); }

    static bool KeyExists(const std::string& section, DWORD* values) {
        HKEY key;
        std::string path = std::string(KEY) + "\\" + section;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, values, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return true;
    }
};

TEST_F(RegistryTest, AbsentValueGivesTheDefaultAndLeavesTheKeyPath) {
    EXPECT_EQ(Read(SAVER, "Config", "PlayMode", 2), 2);
    DWORD values = 99;
    ASSERT_TRUE(KeyExists("Config", &values));
    EXPECT_EQ(values, 0u);
}

TEST_F(RegistryTest, ValuesAreDwordsPerSection) {
    SettingsProfile profile;
    profile.saverName = SAVER;
    profile.Add("Config", "ActiveModule", 2);
    profile.Add("Config", "Gamma", -3);
    profile.Add("Coral Reef", "Fish", 5);
    char reason[SETTINGS_REASON_LEN] = {};
    ASSERT_EQ(Win32Settings().WriteProfile(profile, reason, sizeof(reason)), 1) << reason;
    EXPECT_EQ(Read(SAVER, "Config", "ActiveModule", 0), 2);
    EXPECT_EQ(Read(SAVER, "config", "gamma", 0), -3); // names ignore case
    EXPECT_EQ(Read(SAVER, "Coral Reef", "Fish", 1), 5);
    EXPECT_EQ(Read(SAVER, "Config", "Fish", 7), 7);

    HKEY key;
    std::string path = std::string(KEY) + "\\Config";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(
        RegQueryValueExA(key, "Gamma", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0xFFFFFFFDu);
}

TEST_F(RegistryTest, ValueOfAnotherTypeGivesTheDefault) {
    Read(SAVER, "Config", "Sound", 1); // makes the key
    HKEY key;
    std::string path = std::string(KEY) + "\\Config";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Sound", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    uint8_t one = 1;
    RegSetValueExA(key, "Gamma", 0, REG_BINARY, &one, 1);
    RegCloseKey(key);
    EXPECT_EQ(Read(SAVER, "Config", "Sound", 1), 1);
    EXPECT_EQ(Read(SAVER, "Config", "Sound", 0), 0);
    EXPECT_EQ(Read(SAVER, "Config", "Gamma", -1), -1);
}

TEST_F(RegistryTest, OverlongNamesAreRefusedSafely) {
    std::string longName(700, 'x');
    std::string why = Write(longName.c_str(), "Config", "Sound", 0);
    EXPECT_EQ(why.rfind("the registry key for \"Config\" of xxxxxxxx", 0), 0u) << why;
    EXPECT_EQ(Read(longName.c_str(), "Config", "Sound", 1), 1);
}

// The system's refusal is reported with its text, and what was stored
// before stays.
TEST_F(RegistryTest, AFailedWriteSaysWhyAndDeletesNothing) {
    ASSERT_EQ(Write(SAVER, "Config", "Gamma", 2), "");
    std::string section(300, 's'); // longer than a key's name may be
    SettingsProfile profile;
    profile.saverName = SAVER;
    profile.Add("Config", "Gamma", 3);
    profile.Add(section.c_str(), "Fish", 4);
    char reason[SETTINGS_REASON_LEN] = {};
    EXPECT_EQ(Win32Settings().WriteProfile(profile, reason, sizeof(reason)), 0);
    std::string text = reason;
    EXPECT_EQ(
        text.rfind("cannot open HKEY_CURRENT_USER\\" + std::string(KEY) + "\\" + section + ": ", 0),
        0u)
        << text;
    EXPECT_GT(text.size(), std::string(KEY).size() + section.size() + 40)
        << text; // the system's words
    EXPECT_EQ(text.find("error "), std::string::npos) << text;
    EXPECT_EQ(Read(SAVER, "Config", "Gamma", 0), 3);
    DWORD values = 0;
    EXPECT_TRUE(KeyExists("Config", &values));
    EXPECT_EQ(values, 1u);
}

// Every name reaches the registry as UTF-16, whatever the system's code page.
// A name of Windows-1252 characters is the key that the code page made of it
// on Western systems, so their settings stay where they were.
TEST(UnicodeRegistryTest, NamesCrossAsUtf16AndWesternKeysKeepTheirNames) {
    const wchar_t* key = L"Software\\Tarnwell\\Glimmora\\QV Oc\u00e9an \u6d77";
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    ASSERT_EQ(Write("QV Oc\xC3\xA9"
                    "an \xE6\xB5\xB7",
                    "R\xC3\xA9"
                    "cif",
                    "Tr\xC3\xA8s", 7),
              "");
    HKEY opened;
    const std::wstring section = std::wstring(key) + L"\\R\u00e9cif";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(opened, L"Tr\u00e8s", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(Read("QV Oc\xC3\xA9"
                   "an \xE6\xB5\xB7",
                   "R\xC3\xA9"
                   "cif",
                   "Tr\xC3\xA8s", 0),
              7);
    RegDeleteTreeW(HKEY_CURRENT_USER, key);

    if (GetACP() != 1252) GTEST_SKIP() << "the system's code page is " << GetACP();
    // A key made through the code page, as the settings of a Western system were.
    HKEY made;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarnwell\\Glimmora\\QV Caf\xE9\\Config",
                              0, nullptr, 0, KEY_SET_VALUE, nullptr, &made, nullptr),
              ERROR_SUCCESS);
    DWORD two = 2;
    RegSetValueExA(made, "PlayMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4);
    RegCloseKey(made);
    EXPECT_EQ(Read("QV Caf\xC3\xA9", "Config", "PlayMode", 0), 2);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwell\\Glimmora\\QV Caf\u00e9");
}

TEST(ShellTest, ThemeFolderIsOnTheWindowsDrive) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 2u);
    char folder[300];
    Win32Shell().ThemeFolder("Aquarium", folder, sizeof(folder));
    EXPECT_EQ(std::string(folder),
              std::string(windows, 2) + "\\Program Files\\Tarnwell\\Glimmora\\Aquarium");
}

TEST(ShellTest, ShortSaverNameFindsTheLongFile) {
    char system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    std::string longPath = std::string(system) + "\\QV Lookup Test.SCR";
    HANDLE file = CreateFileA(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH);
    std::string shortName = std::strrchr(shortPath, '\\') + 1;
    shortName = shortName.substr(0, shortName.rfind('.'));

    Win32Shell shell;
    char found[261];
    EXPECT_TRUE(shell.FindLongSaverName(shortName.c_str(), found, sizeof(found)));
    EXPECT_STREQ(found, "QV Lookup Test.SCR");
    EXPECT_TRUE(shell.FindLongSaverName("QV Lookup Test", found, sizeof(found)));
    char tiny[8];
    EXPECT_TRUE(shell.FindLongSaverName("QV Lookup Test", tiny, sizeof(tiny)));
    EXPECT_STREQ(tiny, "QV Look"); // cut, never overrun
    DeleteFileA(longPath.c_str());
    EXPECT_FALSE(shell.FindLongSaverName("QV Lookup Test", found, sizeof(found)));
    EXPECT_FALSE(shell.FindLongSaverName(std::string(400, 'Q').c_str(), found, sizeof(found)));

    // A name beyond any code page comes back as UTF-8.
    wchar_t wideSystem[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(wideSystem, MAX_PATH), 0u);
    const std::wstring wideLong = std::wstring(wideSystem) + L"\\QV \u6d77 Oc\u00e9an.SCR";
    file = CreateFileW(wideLong.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(shell.FindLongSaverName("QV \xE6\xB5\xB7 Oc\xC3\xA9"
                                        "an",
                                        found, sizeof(found)));
    EXPECT_STREQ(found, "QV \xE6\xB5\xB7 Oc\xC3\xA9"
                        "an.SCR");
    DeleteFileW(wideLong.c_str());
}

TEST(ShellTest, ScreenAndWindowSizes) {
    Win32Shell shell;
    int32_t width = 0;
    int32_t height = 0;
    shell.ScreenSize(&width, &height);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(shell.WindowClientSize(0, &width, &height));
    EXPECT_FALSE(shell.WindowClientSize(0x7FFF0001, &width, &height));
}

TEST(ShellTest, MonitorsListThePrimaryAtTheOrigin) {
    Win32Shell shell;
    SysMonitor monitors[8];
    const int count = shell.Monitors(monitors, 8);
    ASSERT_GE(count, 1);
    int primaries = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_NE(monitors[i].id, 0u);
        if (!monitors[i].primary) continue;
        ++primaries;
        EXPECT_EQ(monitors[i].left, 0);
        EXPECT_EQ(monitors[i].top, 0);
        EXPECT_EQ(monitors[i].width, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(monitors[i].height, GetSystemMetrics(SM_CYSCREEN));
    }
    EXPECT_EQ(primaries, 1);
    EXPECT_EQ(shell.Monitors(monitors, 0), 0); // no room, nothing written
}

// The arguments reach the program as they were given, one with a blank too.
TEST(ShellTest, StartDetachedQuotesArgumentsWithBlanks) {
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path = std::string(folder) + "QV start test.txt";
    DeleteFileA(path.c_str());
    const std::string command = "echo started>\"" + path + "\"";
    const char* argv[] = {"cmd.exe", "/c", command.c_str(), nullptr};
    Win32Shell shell;
    ASSERT_EQ(shell.StartDetached("", argv), 1);
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    for (int i = 0; i < 500 && attributes == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(20);
        attributes = GetFileAttributesA(path.c_str());
    }
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
    Sleep(100); // cmd may still hold the file
    DeleteFileA(path.c_str());

    // A line longer than Windows starts is refused, nothing started.
    const std::string huge(Win32Shell::COMMAND_LINE_LEN, 'x');
    const char* tooLong[] = {"cmd.exe", huge.c_str(), nullptr};
    EXPECT_EQ(shell.StartDetached("", tooLong), 0);
    const char* none[] = {nullptr};
    EXPECT_EQ(shell.StartDetached("", none), 0);
}

TEST(ClockTest, MillisecondsAdvance) {
    Win32System system;
    uint32_t start = system.Milliseconds();
    Sleep(30);
    uint32_t elapsed = system.Milliseconds() - start;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(TextTest, ArialMeasuresAndRendersInItsCell) {
    Win32Fonts fonts;
    VidFont* font = fonts.MakeFont(26, "Arial", false);
    ASSERT_NE(font, nullptr);
    int32_t width = 0;
    int32_t height = 0;
    fonts.MeasureText(font, "Glimmora 1.00g", &width, &height);
    EXPECT_EQ(height, 26);
    EXPECT_GT(width, 80);
    EXPECT_LT(width, 300);
    int32_t empty = -1;
    fonts.MeasureText(font, "", &empty, nullptr);
    EXPECT_EQ(empty, 0);

    // Rendered into a buffer with a guard row and column: the text covers
    // some pixels fully, leaves others clear and never writes past its size.
    const int32_t stride = width + 1;
    std::vector<uint8_t> coverage(static_cast<size_t>(stride) * (height + 1), 0x55);
    for (int32_t y = 0; y < height; ++y) {
        std::memset(&coverage[static_cast<size_t>(y) * stride], 0, static_cast<size_t>(width));
    }
    ASSERT_EQ(fonts.RenderText(font, "Glimmora 1.00g", coverage.data(), width, height, stride), 1);
    int full = 0;
    int clear = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t c = coverage[static_cast<size_t>(y) * stride + x];
            full += c >= 200;
            clear += c == 0;
        }
        EXPECT_EQ(coverage[static_cast<size_t>(y) * stride + width], 0x55);
    }
    for (int32_t x = 0; x < stride; ++x) {
        EXPECT_EQ(coverage[static_cast<size_t>(height) * stride + x], 0x55);
    }
    EXPECT_GT(full, 20);
    EXPECT_GT(clear, width * height / 2);
    EXPECT_EQ(fonts.RenderText(font, "x", coverage.data(), 0, height, stride), 0);
    fonts.FreeFont(font);

    int32_t defaultHeight = 0;
    fonts.MeasureText(nullptr, "Default", nullptr, &defaultHeight);
    EXPECT_GT(defaultHeight, 0);
}

// Text is UTF-8: "é" is one character, as wide as GDI draws it.
TEST(TextTest, Utf8TextIsMeasuredAsItsCharacters) {
    Win32Fonts fonts;
    VidFont* font = fonts.MakeFont(26, "Arial", false);
    ASSERT_NE(font, nullptr);
    int32_t accented = 0;
    fonts.MeasureText(font,
                      "R\xC3\xA9"
                      "cif",
                      &accented, nullptr);
    HFONT arial = CreateFontW(26, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, L"Arial");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, arial);
    SIZE size = {};
    GetTextExtentPoint32W(dc, L"R\u00e9cif", 5, &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(arial);
    EXPECT_EQ(accented, size.cx);
    fonts.FreeFont(font);
}

void CountDone(void* counter) {
    static_cast<std::atomic<int>*>(counter)->fetch_add(1);
}

TEST(WaveOutTest, PlaysQueuedBuffersThroughTheCallbackThread) {
    Win32Audio audio;
    std::atomic<int> buffersDone{0};
    if (!audio.Open(AUDIO_FORMAT_STEREO, 2756, CountDone, &buffersDone)) {
        GTEST_SKIP() << "no wave output device";
    }
    std::vector<uint8_t> blocks[2] = {std::vector<uint8_t>(5512, 0x80),
                                      std::vector<uint8_t>(5512, 0x80)};
    ASSERT_EQ(audio.Prepare(blocks[0].data(), 5512), 1);
    ASSERT_EQ(audio.Prepare(blocks[1].data(), 5512), 1);
    audio.Queue(blocks[0].data(), 5512);
    audio.Queue(blocks[1].data(), 5512);
    audio.Start();
    for (int i = 0; i < 300 && buffersDone.load() < 2; ++i) Sleep(10);
    audio.Close();
    EXPECT_EQ(buffersDone.load(), 2); // the two buffers, and no callback after closing
    Sleep(50);
    EXPECT_EQ(buffersDone.load(), 2);
}

} // namespace
