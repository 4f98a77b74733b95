// The dialogs Windows makes from the portable tables: every control of every
// table exists with its class, text, style and place, and nothing else does;
// the splash shows and goes.
#include "ports/win32/dialog_template_win32.h"
#include "ports/win32/dialogs_win32.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct ChildList {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
    reinterpret_cast<ChildList*>(list)->windows.push_back(window);
    return TRUE;
}

INT_PTR CALLBACK NoProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The control's rectangle in pixels, as Windows converts it: place and size
// each from dialog units.
RECT UnitsRect(HWND dialog, const DialogItem& item) {
    RECT r = {item.x, item.y, item.width, item.height};
    MapDialogRect(dialog, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

class DialogTemplateTest : public ::testing::TestWithParam<const DialogTemplate*> {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

TEST_P(DialogTemplateTest, WindowsShowsExactlyTheTable) {
    const DialogTemplate& table = *GetParam();
    std::vector<WORD> layout = BuildDialogTemplate(table);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEA>(layout.data()),
                                             nullptr, NoProcedure, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    char text[256];
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_EQ(std::string(text), table.caption ? table.caption : "");
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = {0, 0, table.width, table.height};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    ChildList children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    ASSERT_EQ(static_cast<int>(children.windows.size()), table.itemCount);
    for (int i = 0; i < table.itemCount; ++i) {
        const DialogItem& item = table.items[i];
        SCOPED_TRACE(std::string("item ") + std::to_string(i) + " \"" + item.text + "\"");
        HWND control = children.windows[static_cast<size_t>(i)];
        const int id = item.kind == ITEM_PICTURE ? IDC_STATIC : item.id;
        EXPECT_EQ(static_cast<int>(static_cast<short>(GetDlgCtrlID(control))), id);
        char className[64];
        GetClassNameA(control, className, sizeof(className));
        EXPECT_STRCASEEQ(className, DialogItemClass(item.kind));
        if (item.kind != ITEM_PICTURE) {
            GetWindowTextA(control, text, sizeof(text));
            EXPECT_EQ(std::string(text), item.text);
        }
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        RECT expected = UnitsRect(dialog, item);
        EXPECT_EQ(place.left, expected.left);
        EXPECT_EQ(place.top, expected.top);
        // A picture takes its bitmap's size, a list box whole lines, a slider
        // its thumb's height; every other control keeps the table's size.
        if (item.kind != ITEM_PICTURE && item.kind != ITEM_LIST_BOX && item.kind != ITEM_SLIDER) {
            EXPECT_EQ(place.right, expected.right);
            EXPECT_EQ(place.bottom, expected.bottom);
        }
        const bool previousRadio = i > 0 && table.items[i - 1].kind == ITEM_RADIO;
        const bool radio = item.kind == ITEM_RADIO;
        const DWORD style = DialogItemStyle(item, radio && !previousRadio, !radio && previousRadio);
        EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & (WS_GROUP | WS_TABSTOP),
                  static_cast<LONG>(style & (WS_GROUP | WS_TABSTOP)));
    }
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(EveryDialog, DialogTemplateTest,
                         ::testing::Values(&configTemplate, &moreOptionsTemplate, &aboutTemplate,
                                           &splashTemplate));

TEST(SplashTest, ShowsOnceCentredAndGoes) {
    Win32Dialogs dialogs;
    dialogs.ShowSplash();
    HWND splash = dialogs.Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(IsWindowVisible(splash));
    dialogs.ShowSplash(); // already showing: the same window
    EXPECT_EQ(dialogs.Splash(), splash);
    RECT r;
    GetWindowRect(splash, &r);
    EXPECT_LE(std::abs(r.left + r.right - GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs(r.top + r.bottom - GetSystemMetrics(SM_CYSCREEN)), 1);
    dialogs.HideSplash();
    EXPECT_EQ(dialogs.Splash(), nullptr);
    EXPECT_FALSE(IsWindow(splash));
    dialogs.HideSplash(); // hidden already: nothing happens
}

} // namespace
