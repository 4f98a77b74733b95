#include "platform/dialogs.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_settings.h"
#include "script/script_reader.h"
#include "support/dialog_fixture.h"
#include "support/test_files.h"
#include "ui/config_dlg.h"
#include "ui/dialog_templates.h"
#include "ui/more_options_dlg.h"

#include <set>

namespace {

const char* const NO_ARGS[] = {"glimmora", nullptr};

class RunSettingsDialogTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        HeadlessResetDialogs();
        AddModule("Reef", {{"Fish", "Fish", "Few", "Many", 1, 10, 5}});
        AddModule("Night", {{"Stars", "Stars", "Dim", "Bright", 0, 100, 50}});
        settings.WriteSettings(); // what the store holds before the dialog opens
    }
};

TEST_F(RunSettingsDialogTest, OkWritesEverything) {
    HeadlessSetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetParamPosition(0, 80);
        dlg.SetBrightnessPosition(1);
        dlg.OnHScroll();
        dlg.SetSoundChecked(false);
        return DLG_OK;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS),
              DLG_OK);
    EXPECT_EQ(HeadlessDialogs().settingsRuns, 1);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_EQ(moduleTable[1].params[0].value, 80);
    EXPECT_EQ(moduleTable[0].params[0].value, 5);
    EXPECT_EQ(settings.Gamma, -2);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(RunSettingsDialogTest, CancelAfterChangingTheModuleWritesNothing) {
    HeadlessSetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetParamPosition(0, 80);
        dlg.OnHScroll();
        return DLG_CANCEL;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS),
              DLG_CANCEL);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_EQ(moduleTable[1].params[0].value, 50);
}

TEST_F(RunSettingsDialogTest, TestWritesEvenWhenTheDialogIsCancelledLater) {
    HeadlessSetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetSoundChecked(false);
        dlg.OnTest();
        dlg.OnSelChange(0); // changed after the test: never stored
        return DLG_CANCEL;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS),
              DLG_CANCEL);
    EXPECT_EQ(HeadlessDialogs().startedLines.size(), 1u);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(RunSettingsDialogTest, MoreOptionsVolumeSurvivesEscapeAndIsStoredByOk) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    HeadlessSetSettingsScript([this](CConfigDlg&) {
        CMoreOptionsDlg options(settings);
        options.OnInitDialog();
        options.OnHScroll(40);
        options.SetCheckedMode(1); // then Escape: no OnOK
        return DLG_OK;
    });
    RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS);
    ReloadSettings();
    EXPECT_EQ(settings.MasterVolume, 40);
    EXPECT_EQ(settings.PlayMode, 0);
}

TEST_F(RunSettingsDialogTest, RandomPlayThenCancelStoresNothing) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    HeadlessSetSettingsScript([this](CConfigDlg&) {
        CMoreOptionsDlg options(settings);
        options.OnInitDialog();
        options.SetCheckedMode(1);
        options.OnOK();
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(settings.PlayMode, 1); // in memory only
    ReloadSettings();
    EXPECT_EQ(settings.PlayMode, 0);
}

// OK that cannot store the settings says why and keeps the dialog open:
// the user may try again (which stores them) or cancel (which stores nothing).
TEST_F(RunSettingsDialogTest, OkThatCannotStoreSaysWhyAndKeepsTheDialogOpen) {
    HeadlessClearMessages();
    for (bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "retry" : "cancel");
        HeadlessSettingsClear();
        HeadlessSettingsFail(true);
        int rounds = 0;
        HeadlessSetSettingsScript([&rounds, retry](CConfigDlg& dlg) {
            if (++rounds == 1) {
                dlg.OnSelChange(1);
                return DLG_OK;
            }
            EXPECT_EQ(dlg.selection, 1); // the same dialog, as the user left it
            HeadlessSettingsFail(false);
            return retry ? DLG_OK : DLG_CANCEL;
        });
        EXPECT_EQ(
            RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS),
            retry ? DLG_OK : DLG_CANCEL);
        EXPECT_EQ(rounds, 2);
        ASSERT_EQ(HeadlessMessages().size(), 1u);
        EXPECT_EQ(HeadlessMessages()[0].text,
                  "The settings could not be saved: the settings of QV Dialogs cannot be stored "
                  "(test store)");
        EXPECT_FALSE(HeadlessMessages()[0].logged);
        HeadlessClearMessages();
        int32_t stored = -1;
        EXPECT_EQ(HeadlessSettingsGet(run.saverName, "Config", "ActiveModule", &stored), retry);
        EXPECT_EQ(stored, retry ? 1 : -1);
    }
}

TEST_F(RunSettingsDialogTest, TestThatCannotStoreStartsNoTestRun) {
    HeadlessSettingsFail(true);
    CConfigDlg dlg(settings, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.OnTest(), 0);
    EXPECT_TRUE(HeadlessDialogs().startedLines.empty()); // it would play the stored settings
    EXPECT_STREQ(dlg.TestCommandLine(), "");
    EXPECT_EQ(std::string(dlg.saveFailure).rfind("The settings could not be saved: ", 0), 0u);
    HeadlessSettingsFail(false);
    EXPECT_EQ(dlg.OnTest(), 1);
    EXPECT_STREQ(dlg.saveFailure, "");
    EXPECT_EQ(HeadlessDialogs().startedLines.size(), 1u);
}

class SettingsModeTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        HeadlessResetDialogs();
        HeadlessClearMessages();
        ResetContext();
    }

    void UseScript(const std::string& text) {
        std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s",
                      dir.Write("Reef.SS", text).c_str());
    }

    TempDir dir;
};

TEST_F(SettingsModeTest, ThemeScriptFillsTheDialog) {
    UseScript("ThemeName \"Coral Reef\"\n"
              "Module \"Shallows\"\n{\nSetup\n{\n"
              "#Fish \"Number of fish\" \"Few\" \"Many\" 1 20 10\n"
              "#Speed \"Speed\" \"Slow\" \"Fast\" 200 10 50\n"
              "}\n}\n"
              "Module \"Deep\"\n{\nSetup\n{\n}\n}\n");
    HeadlessSettingsSet(run.saverName, "Shallows", "Speed", 180);
    CConfigDlg* seen = nullptr;
    HeadlessSetSettingsScript([&seen](CConfigDlg& dlg) {
        seen = &dlg;
        EXPECT_STREQ(dlg.caption, "Coral Reef");
        EXPECT_EQ(dlg.ListCount(), 2);
        EXPECT_STREQ(dlg.ListEntry(1), "Deep");
        EXPECT_EQ(dlg.groups[0].position, 10);
        EXPECT_EQ(dlg.groups[1].rangeMin, 10);
        EXPECT_EQ(dlg.groups[1].position, 30); // 180 on a slider from 200 down to 10
        EXPECT_FALSE(dlg.groups[2].visible);
        dlg.OnSelChange(1);
        EXPECT_FALSE(dlg.groups[0].visible);
        return DLG_OK;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS),
              DLG_OK);
    ASSERT_NE(seen, nullptr);
    int32_t stored = -1;
    EXPECT_TRUE(HeadlessSettingsGet(run.saverName, "Config", "ActiveModule", &stored));
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(HeadlessSettingsGet(run.saverName, "Shallows", "Fish", &stored));
    EXPECT_EQ(stored, 10);
}

TEST_F(SettingsModeTest, SetupErrorStillOpensTheDialogWithTheModulesFound) {
    UseScript("Module \"Good\"\n{\nSetup\n{\n}\n}\n"
              "Module \"Bad\"\n{\nBackground 0\n");
    HeadlessSetSettingsScript([](CConfigDlg& dlg) {
        EXPECT_EQ(dlg.ListCount(), 2);
        EXPECT_STREQ(dlg.ListEntry(1), "Bad");
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(HeadlessDialogs().settingsRuns, 1);
    EXPECT_EQ(errorLine, 9);
    ASSERT_EQ(HeadlessMessages().size(), 1u);
}

TEST_F(SettingsModeTest, NoScriptOpensAnEmptyDialogAndReadsTheSettings) {
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", dir.File("missing.SS").c_str());
    HeadlessSettingsSet(run.saverName, "Config", "MasterVolume", 30);
    HeadlessSetSettingsScript([this](CConfigDlg& dlg) {
        EXPECT_EQ(dlg.ListCount(), 0);
        EXPECT_EQ(settings.MasterVolume, 30);
        EXPECT_EQ(dlg.OnTest(), 1);
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, run.scriptPath, run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(HeadlessDialogs().startedLines.size(), 1u);
    EXPECT_TRUE(HeadlessMessages().empty());
}

TEST(DialogTemplates, IdsAreUniqueAndGroupsFollowTheStride) {
    for (const DialogTemplate* t :
         {&configTemplate, &moreOptionsTemplate, &aboutTemplate, &splashTemplate}) {
        std::set<int> ids;
        for (int i = 0; i < t->itemCount; ++i) {
            const DialogItem& item = t->items[i];
            if (item.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(item.id).second) << item.id;
            }
            EXPECT_GE(item.x, 0);
            EXPECT_LE(item.x + item.width, t->width + 1) << item.id;
            EXPECT_LE(item.y + item.height, t->height) << item.id;
        }
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(FindDialogItem(configTemplate, IDC_PARAM_GROUP + 4 * k)->kind, ITEM_GROUP_BOX);
        EXPECT_EQ(FindDialogItem(configTemplate, IDC_PARAM_LEFT + 4 * k)->align, ALIGN_LEFT);
        EXPECT_EQ(FindDialogItem(configTemplate, IDC_PARAM_RIGHT + 4 * k)->align, ALIGN_RIGHT);
        EXPECT_EQ(FindDialogItem(configTemplate, IDC_PARAM_SLIDER + 4 * k)->kind, ITEM_SLIDER);
    }
    EXPECT_EQ(FindDialogItem(configTemplate, 4242), nullptr);
    EXPECT_EQ(FindDialogItem(splashTemplate, IDB_LOGO)->kind, ITEM_PICTURE);
}

} // namespace
