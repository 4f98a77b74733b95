// The settings dialog shows the theme's texts as they are written, whatever
// the system's code page: the caption, the module list and the parameter
// groups are read back from the controls in UTF-16.
#include "ports/win32/dialogs_win32.h"
#include "ports/win32/settings_win32.h"
#include "ports/win32/shell_win32.h"
#include "script/script_context.h"
#include "settings/settings_store.h"
#include "ui/config_dlg.h"
#include "ui/dialog_templates.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// What the dialog showed, read by the timer while it ran.
struct Shown {
    std::wstring caption;
    std::wstring firstModule;
    std::wstring group;
    std::wstring left;
    bool found = false;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

// The test's record of what showed: the timer procedure has no context of its own.
Shown shown;

void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    wchar_t text[256] = L"";
    GetWindowTextW(dialog, text, 256);
    shown.caption = text;
    HWND list = GetDlgItem(dialog, IDC_MODULE_LIST);
    if (SendMessageW(list, LB_GETTEXTLEN, 0, 0) < 255) {
        SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
        shown.firstModule = text;
    }
    shown.group = ItemText(dialog, IDC_PARAM_GROUP);
    shown.left = ItemText(dialog, IDC_PARAM_LEFT);
    shown.found = true;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

struct Script {
    const char* what;
    std::string bytes;
    std::wstring name; // of the theme and its module
};

// What the dialog shows of `script`, run modally until the timer has read it.
Shown ShowSettings(const std::string& script) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"Glimmora dialog test.SS";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return {};
    std::fwrite(script.data(), 1, script.size(), file);
    std::fclose(file);
    char utf8Path[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, utf8Path, sizeof(utf8Path), nullptr, nullptr);
    ScriptContext context;
    Win32Settings storage;
    SettingsStore settings;
    settings.saverName = "QV Dialog Test";
    settings.storage = &storage;
    Win32Shell shell;
    Win32Dialogs dialogs;
    const char* argv[] = {"glimmora.scr", "/c", nullptr};
    shown = Shown{};
    SetTimer(nullptr, 0, 100, ReadAndClose);
    const int result = RunSettingsDialog(context, settings, dialogs, shell, utf8Path, "", 2, argv);
    DeleteFileW(path.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarnwell\\Glimmora\\QV Dialog Test");
    return result == DLG_CANCEL ? shown : Shown{};
}

TEST(SettingsDialogText, TheThemesTextsShowAsWritten) {
    const std::string setup =
        "{\r\nSetup\r\n{\r\n#Speed \"Tr\xE8s vite\" \"Lent\xE9\" \"Vite\" 1, 5, "
        "3\r\n}\r\n}\r\n";
    const std::string utf8Setup = "{\r\nSetup\r\n{\r\n#Speed \"Tr\xC3\xA8s vite\" "
                                  "\"Lent\xC3\xA9\" \"Vite\" 1, 5, 3\r\n}\r\n}\r\n";
    const Script scripts[] = {
        // Windows-1252, as older themes are written.
        {"Windows-1252",
         "ThemeName \"R\xE9"
         "cif\"\r\nModule \"R\xE9"
         "cif\"\r\n" +
             setup,
         L"R\u00e9cif"},
        // UTF-8, with a character beyond every Western code page.
        {"UTF-8",
         "ThemeName \"R\xC3\xA9"
         "cif \xE6\xB5\xB7\"\r\nModule \"R\xC3\xA9"
         "cif \xE6\xB5\xB7\"\r\n" +
             utf8Setup,
         L"R\u00e9cif \u6d77"},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.what);
        const Shown seen = ShowSettings(script.bytes);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.caption, script.name);
        EXPECT_EQ(seen.firstModule, script.name);
        EXPECT_EQ(seen.group, L"Tr\u00e8s vite");
        EXPECT_EQ(seen.left, L"Lent\u00e9");
    }
}

} // namespace
