#include "support/test_files.h"
#include "ui/config_dlg.h"
#include "ui/dialog_templates.h"
#include "ui/more_options_dlg.h"
#include "ui_fixture.h"

#include <set>

namespace {

const char* const NO_ARGS[] = {"glimmora", nullptr};

class RunSettingsDialogTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        port.dialogs.Reset();
        AddModule("Reef", {{"Fish", "Fish", "Few", "Many", 1, 10, 5}});
        AddModule("Night", {{"Stars", "Stars", "Dim", "Bright", 0, 100, 50}});
        settings.WriteSettings(); // what the store holds before the dialog opens
    }
};

TEST_F(RunSettingsDialogTest, OkWritesEverything) {
    port.dialogs.SetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetParamPosition(0, 80);
        dlg.SetBrightnessPosition(1);
        dlg.OnHScroll();
        dlg.SetSoundChecked(false);
        return DLG_OK;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                                run.mediaDirectory, 1, NO_ARGS),
              DLG_OK);
    EXPECT_EQ(port.dialogs.Log().settingsRuns, 1);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_EQ(moduleTable[1].params[0].value, 80);
    EXPECT_EQ(moduleTable[0].params[0].value, 5);
    EXPECT_EQ(settings.Gamma, -2);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(RunSettingsDialogTest, CancelAfterChangingTheModuleWritesNothing) {
    port.dialogs.SetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetParamPosition(0, 80);
        dlg.OnHScroll();
        return DLG_CANCEL;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                                run.mediaDirectory, 1, NO_ARGS),
              DLG_CANCEL);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_EQ(moduleTable[1].params[0].value, 50);
}

TEST_F(RunSettingsDialogTest, TestWritesEvenWhenTheDialogIsCancelledLater) {
    port.dialogs.SetSettingsScript([](CConfigDlg& dlg) {
        dlg.OnSelChange(1);
        dlg.SetSoundChecked(false);
        dlg.OnTest();
        dlg.OnSelChange(0); // changed after the test: never stored
        return DLG_CANCEL;
    });
    EXPECT_EQ(RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                                run.mediaDirectory, 1, NO_ARGS),
              DLG_CANCEL);
    EXPECT_EQ(port.shell.startedLines.size(), 1u);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(RunSettingsDialogTest, MoreOptionsVolumeSurvivesEscapeAndIsStoredByOk) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    port.dialogs.SetSettingsScript([this](CConfigDlg&) {
        CMoreOptionsDlg options(settings);
        options.OnInitDialog();
        options.OnHScroll(40);
        options.SetCheckedMode(1); // then Escape: no OnOK
        return DLG_OK;
    });
    RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                      run.mediaDirectory, 1, NO_ARGS);
    ReloadSettings();
    EXPECT_EQ(settings.MasterVolume, 40);
    EXPECT_EQ(settings.PlayMode, 0);
}

TEST_F(RunSettingsDialogTest, RandomPlayThenCancelStoresNothing) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    port.dialogs.SetSettingsScript([this](CConfigDlg&) {
        CMoreOptionsDlg options(settings);
        options.OnInitDialog();
        options.SetCheckedMode(1);
        options.OnOK();
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                      run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(settings.PlayMode, 1); // in memory only
    ReloadSettings();
    EXPECT_EQ(settings.PlayMode, 0);
}

// OK that cannot store the settings says why and keeps the dialog open:
// the user may try again (which stores them) or cancel (which stores nothing).
TEST_F(RunSettingsDialogTest, OkThatCannotStoreSaysWhyAndKeepsTheDialogOpen) {
    port.system.ClearMessages();
    for (bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "retry" : "cancel");
        port.settings.Clear();
        port.settings.Fail(true);
        int rounds = 0;
        port.dialogs.SetSettingsScript([this, &rounds, retry](CConfigDlg& dlg) {
            if (++rounds == 1) {
                dlg.OnSelChange(1);
                return DLG_OK;
            }
            EXPECT_EQ(dlg.selection, 1); // the same dialog, as the user left it
            port.settings.Fail(false);
            return retry ? DLG_OK : DLG_CANCEL;
        });
        EXPECT_EQ(RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                                    run.mediaDirectory, 1, NO_ARGS),
                  retry ? DLG_OK : DLG_CANCEL);
        EXPECT_EQ(rounds, 2);
        ASSERT_EQ(port.system.Messages().size(), 1u);
        EXPECT_EQ(port.system.Messages()[0].text,
                  "The settings could not be saved: the settings of QV Dialogs cannot be stored "
                  "(test store)");
        EXPECT_FALSE(port.system.Messages()[0].logged);
        port.system.ClearMessages();
        int32_t stored = -1;
        EXPECT_EQ(port.settings.Get(run.saverName, "Config", "ActiveModule", &stored), retry);
        EXPECT_EQ(stored, retry ? 1 : -1);
    }
}

TEST_F(RunSettingsDialogTest, TestThatCannotStoreStartsNoTestRun) {
    port.settings.Fail(true);
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.OnTest(), 0);
    EXPECT_TRUE(port.shell.startedLines.empty()); // it would play the stored settings
    EXPECT_STREQ(dlg.TestCommandLine(), "");
    EXPECT_EQ(std::string(dlg.saveFailure).rfind("The settings could not be saved: ", 0), 0u);
    port.settings.Fail(false);
    EXPECT_EQ(dlg.OnTest(), 1);
    EXPECT_STREQ(dlg.saveFailure, "");
    EXPECT_EQ(port.shell.startedLines.size(), 1u);
}

class SettingsModeTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        port.dialogs.Reset();
        port.system.ClearMessages();
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
    port.settings.Set(run.saverName, "Shallows", "Speed", 180);
    CConfigDlg* seen = nullptr;
    port.dialogs.SetSettingsScript([&seen](CConfigDlg& dlg) {
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
    EXPECT_EQ(RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                                run.mediaDirectory, 1, NO_ARGS),
              DLG_OK);
    ASSERT_NE(seen, nullptr);
    int32_t stored = -1;
    EXPECT_TRUE(port.settings.Get(run.saverName, "Config", "ActiveModule", &stored));
    EXPECT_EQ(stored, 1);
    EXPECT_TRUE(port.settings.Get(run.saverName, "Shallows", "Fish", &stored));
    EXPECT_EQ(stored, 10);
}

TEST_F(SettingsModeTest, SetupErrorStillOpensTheDialogWithTheModulesFound) {
    UseScript("Module \"Good\"\n{\nSetup\n{\n}\n}\n"
              "Module \"Bad\"\n{\nBackground 0\n");
    port.dialogs.SetSettingsScript([](CConfigDlg& dlg) {
        EXPECT_EQ(dlg.ListCount(), 2);
        EXPECT_STREQ(dlg.ListEntry(1), "Bad");
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                      run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(port.dialogs.Log().settingsRuns, 1);
    EXPECT_EQ(errorLine, 9);
    ASSERT_EQ(port.system.Messages().size(), 1u);
}

TEST_F(SettingsModeTest, NoScriptOpensAnEmptyDialogAndReadsTheSettings) {
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", dir.File("missing.SS").c_str());
    port.settings.Set(run.saverName, "Config", "MasterVolume", 30);
    port.dialogs.SetSettingsScript([this](CConfigDlg& dlg) {
        EXPECT_EQ(dlg.ListCount(), 0);
        EXPECT_EQ(settings.MasterVolume, 30);
        EXPECT_EQ(dlg.OnTest(), 1);
        return DLG_CANCEL;
    });
    RunSettingsDialog(script, settings, port.dialogs, port.shell, run.scriptPath,
                      run.mediaDirectory, 1, NO_ARGS);
    EXPECT_EQ(port.shell.startedLines.size(), 1u);
    EXPECT_TRUE(port.system.Messages().empty());
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

// Controls other than group boxes never lie over one another, however the
// dialogs grow.
TEST(DialogTemplates, ControlsDoNotOverlap) {
    for (const DialogTemplate* t :
         {&configTemplate, &moreOptionsTemplate, &aboutTemplate, &splashTemplate}) {
        for (int i = 0; i < t->itemCount; ++i) {
            const DialogItem& a = t->items[i];
            for (int j = i + 1; j < t->itemCount; ++j) {
                const DialogItem& b = t->items[j];
                if (a.kind == ITEM_GROUP_BOX || b.kind == ITEM_GROUP_BOX) continue;
                const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x ||
                                   a.y + a.height <= b.y || b.y + b.height <= a.y;
                EXPECT_TRUE(apart)
                    << t->caption << ": \"" << a.text << "\" and \"" << b.text << "\"";
            }
        }
    }
}

// Without the idle service the dialog drops the idle controls' band: only
// they lie in it, at the bottom of the "Starting" group.
TEST(DialogTemplates, TheIdleControlsBandHoldsOnlyThem) {
    const DialogItem* group = FindDialogItem(moreOptionsTemplate, IDC_START_GROUP);
    ASSERT_NE(group, nullptr);
    const int32_t band = group->y + group->height - IDLE_CONTROLS_HEIGHT;
    EXPECT_EQ(group->y + group->height + 4, moreOptionsTemplate.height);
    for (int i = 0; i < moreOptionsTemplate.itemCount; ++i) {
        const DialogItem& item = moreOptionsTemplate.items[i];
        const bool idle = item.id == IDC_IDLE_START || item.id == IDC_IDLE_MINUTES;
        if (idle) {
            EXPECT_GE(item.y, band) << item.id;
        } else if (item.id != IDC_START_GROUP) {
            EXPECT_LE(item.y + item.height, band) << item.id;
        }
    }
}

} // namespace
