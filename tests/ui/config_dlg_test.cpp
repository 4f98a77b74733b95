#include "ui/config_dlg.h"
#include "ui_fixture.h"

#include <climits>
#include <string>
#include <vector>

namespace {

const char* const NO_ARGS[] = {"glimmora", nullptr};

class ConfigDlgTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        port.dialogs.Reset();
    }
};

TEST_F(ConfigDlgTest, ReversedRangeRunsFromLeftValueToRightValue) {
    AddModule("Reef", {{"Speed", "Speed", "Slow", "Fast", 10, 1, 3}});
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    const ParamGroupView& g = dlg.groups[0];
    ASSERT_TRUE(g.visible);
    EXPECT_EQ(g.rangeMin, 1);
    EXPECT_EQ(g.rangeMax, 10);
    EXPECT_EQ(g.position, 8);

    dlg.SetParamPosition(0, g.rangeMin); // thumb fully to the left
    dlg.OnHScroll();
    EXPECT_EQ(moduleTable[0].params[0].value, 10);
    dlg.SetParamPosition(0, g.rangeMax);
    dlg.OnHScroll();
    EXPECT_EQ(moduleTable[0].params[0].value, 1);
}

TEST_F(ConfigDlgTest, PlainRangeShowsTheValueAndClampsOutsiders) {
    AddModule("Reef", {{"Fish", "Number of fish", "Few", "Many", 1, 10, 4},
                       {"Bubbles", "Bubbles", "None", "Lots", 0, 50, 99},
                       {"Depth", "Depth", "Deep", "Shallow", 200, 10, -5}});
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_STREQ(dlg.groups[0].caption, "Number of fish");
    EXPECT_STREQ(dlg.groups[0].leftLabel, "Few");
    EXPECT_STREQ(dlg.groups[0].rightLabel, "Many");
    EXPECT_EQ(dlg.groups[0].position, 4);
    EXPECT_EQ(dlg.groups[1].position, 50); // stored values have no range limit
    EXPECT_EQ(dlg.groups[2].rangeMin, 10); // 200 at the left end, 10 at the right
    EXPECT_EQ(dlg.groups[2].rangeMax, 200);
    EXPECT_EQ(dlg.groups[2].position, 200); // -5 lies beyond the right end
    // Showing the controls changes no value; only moving a slider does.
    EXPECT_EQ(moduleTable[0].params[1].value, 99);
    dlg.OnHScroll();
    EXPECT_EQ(moduleTable[0].params[1].value, 50);
    EXPECT_EQ(moduleTable[0].params[2].value, 10);
}

TEST_F(ConfigDlgTest, ExtremeRangesDoNotOverflow) {
    AddModule("Wide", {{"A", "A", "", "", INT32_MAX, INT32_MIN, 0},
                       {"B", "B", "", "", INT32_MAX, INT32_MAX - 2, INT32_MIN}});
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.groups[0].position, -1);
    EXPECT_EQ(dlg.groups[1].position, INT32_MAX); // a value far beyond the right end
    dlg.SetParamPosition(0, INT32_MIN);
    dlg.SetParamPosition(1, INT32_MAX);
    dlg.OnHScroll();
    EXPECT_EQ(moduleTable[0].params[0].value, INT32_MAX);
    EXPECT_EQ(moduleTable[0].params[1].value, INT32_MAX - 2);
}

TEST_F(ConfigDlgTest, SwitchingModulesShowsAndHidesGroupsAndKeepsValues) {
    AddModule("Two", {{"Fish", "Fish", "Few", "Many", 1, 10, 5},
                      {"Speed", "Speed", "Slow", "Fast", 1, 5, 2}});
    AddModule("Three", {{"Stars", "Stars", "Dim", "Bright", 0, 100, 50},
                        {"Moon", "Moon", "Off", "On", 0, 1, 1},
                        {"Owls", "Owls", "None", "Many", 0, 9, 3}});
    AddModule("Gap", {{nullptr, "", "", "", 0, 0, 0}, {"Wind", "Wind", "Calm", "Storm", 0, 3, 1}});
    settings.activeModule = 1;
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    ASSERT_EQ(dlg.ListCount(), 3);
    EXPECT_STREQ(dlg.ListEntry(0), "Two");
    EXPECT_STREQ(dlg.ListEntry(2), "Gap");
    EXPECT_EQ(dlg.selection, 1);
    EXPECT_TRUE(dlg.groups[2].visible);
    EXPECT_STREQ(dlg.groups[2].caption, "Owls");

    dlg.OnSelChange(0);
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_EQ(theme.currentModule, &moduleTable[0]);
    EXPECT_TRUE(dlg.groups[0].visible);
    EXPECT_TRUE(dlg.groups[1].visible);
    EXPECT_FALSE(dlg.groups[2].visible);
    dlg.SetParamPosition(0, 9);
    dlg.OnHScroll();

    dlg.OnSelChange(1);
    EXPECT_TRUE(dlg.groups[2].visible);
    EXPECT_STREQ(dlg.groups[2].caption, "Owls");
    EXPECT_STREQ(dlg.groups[2].rightLabel, "Many");
    EXPECT_EQ(dlg.groups[0].position, 50);

    dlg.OnSelChange(2);
    EXPECT_FALSE(dlg.groups[0].visible);
    EXPECT_TRUE(dlg.groups[1].visible);
    EXPECT_FALSE(dlg.groups[2].visible);

    dlg.OnSelChange(0);
    EXPECT_EQ(dlg.groups[0].position, 9); // the moved value is kept in memory
    EXPECT_EQ(moduleTable[0].params[0].value, 9);
}

TEST_F(ConfigDlgTest, SelectionOutsideTheListIsIgnored) {
    AddModule("Only", {{"Fish", "Fish", "Few", "Many", 1, 10, 5}});
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    dlg.OnSelChange(-1);
    dlg.OnSelChange(1);
    dlg.OnSelChange(MAX_MODULES);
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_EQ(theme.currentModule, &moduleTable[0]);
    EXPECT_TRUE(dlg.groups[0].visible);
}

TEST_F(ConfigDlgTest, AnySliderRefreshesGammaAndEveryNamedValue) {
    AddModule("Reef", {{"Fish", "Fish", "Few", "Many", 1, 10, 5},
                       {nullptr, "", "", "", 0, 0, 0},
                       {"Speed", "Speed", "Fast", "Slow", 9, 0, 3}});
    moduleTable[0].params[1].value = 77; // an unnamed slot is never touched
    settings.Gamma = 2;
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.brightnessPosition, 5);
    dlg.SetParamPosition(0, 7);
    dlg.SetParamPosition(2, 2);
    dlg.SetBrightnessPosition(0);
    dlg.OnHScroll();
    EXPECT_EQ(settings.Gamma, -3);
    EXPECT_EQ(moduleTable[0].params[0].value, 7);
    EXPECT_EQ(moduleTable[0].params[1].value, 77);
    EXPECT_EQ(moduleTable[0].params[2].value, 7);
    dlg.SetBrightnessPosition(6);
    dlg.OnHScroll();
    EXPECT_EQ(settings.Gamma, 3);
    dlg.SetBrightnessPosition(3);
    dlg.OnHScroll();
    EXPECT_EQ(settings.Gamma, 0);
    dlg.SetBrightnessPosition(40); // beyond the slider's end
    dlg.OnHScroll();
    EXPECT_EQ(settings.Gamma, 3);
}

TEST_F(ConfigDlgTest, InitialisationLoadsTheSettings) {
    AddModule("A", {});
    AddModule("B", {});
    std::snprintf(theme.themeName, sizeof(theme.themeName), "Coral Reef");
    settings.activeModule = 1;
    settings.Gamma = -9; // stored values have no range limit; the slider stops at its end
    settings.Sound = false;
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_STREQ(dlg.caption, "Coral Reef");
    EXPECT_EQ(dlg.brightnessPosition, 0);
    EXPECT_FALSE(dlg.soundChecked);
    EXPECT_EQ(dlg.selection, 1);
    EXPECT_EQ(theme.currentModule, &moduleTable[1]);
    EXPECT_EQ(settings.Gamma, -9); // nothing changes until the user acts
}

TEST_F(ConfigDlgTest, NoModulesMeansAnEmptyListAndNoGroups) {
    moduleTable[0].params[0].name[0] = 'X'; // a stale record beyond moduleCount
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.ListCount(), 0);
    EXPECT_EQ(dlg.selection, -1);
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_STREQ(dlg.caption, "");
    for (const ParamGroupView& g : dlg.groups) EXPECT_FALSE(g.visible);
    dlg.SetBrightnessPosition(4);
    dlg.OnHScroll();
    EXPECT_EQ(settings.Gamma, 1);
    EXPECT_EQ(dlg.OnTest(), 1);
    EXPECT_STREQ(dlg.TestCommandLine(), "glimmora -s -test");
}

TEST_F(ConfigDlgTest, OkTakesBrightnessAndSound) {
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    dlg.SetBrightnessPosition(1); // moved without a scroll message reaching the dialog
    dlg.SetSoundChecked(false);
    EXPECT_EQ(dlg.OnOK(), DLG_OK);
    EXPECT_EQ(settings.Gamma, -2);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(ConfigDlgTest, TestCommandDropsTheModeAndQuotesBlanks) {
    const char* const argv[] = {"QV Reef.SCR", "/c", "-def", "C:\\My Themes\\r.SS", nullptr};
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 4, argv);
    dlg.OnInitDialog();
    dlg.SetSoundChecked(false);
    EXPECT_EQ(dlg.OnTest(), 1);
    EXPECT_STREQ(dlg.TestCommandLine(), "QV Reef.SCR -s -def \"C:\\My Themes\\r.SS\" -test");
    EXPECT_FALSE(settings.Sound); // taken from the check box before the settings are stored
    const HeadlessShell& log = port.shell;
    ASSERT_EQ(log.startedLines.size(), 1u);
    EXPECT_EQ(log.startedLines[0], dlg.TestCommandLine());
    std::vector<std::string> expected = {"QV Reef.SCR", "-s", "-def", "C:\\My Themes\\r.SS",
                                         "-test"};
    EXPECT_EQ(log.startedArgs[0], expected);

    // Each press starts another independent run.
    EXPECT_EQ(dlg.OnTest(), 1);
    EXPECT_EQ(log.startedLines.size(), 2u);
}

TEST_F(ConfigDlgTest, TestCommandOfAProgramStartedWithoutMode) {
    const char* const argv[] = {"/usr/bin/QV Reef", nullptr};
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, argv);
    dlg.OnInitDialog();
    dlg.OnTest();
    EXPECT_STREQ(dlg.TestCommandLine(), "/usr/bin/QV Reef -s -test"); // the program is not quoted
    EXPECT_EQ(port.shell.startedArgs[0][0], "/usr/bin/QV Reef");
}

TEST_F(ConfigDlgTest, OverlongTestCommandStartsNothing) {
    std::string huge(TEST_COMMAND_LEN, 'x');
    const char* const argv[] = {"QV Reef.SCR", "/c", huge.c_str(), nullptr};
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 3, argv);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.OnTest(), 0);
    EXPECT_STREQ(dlg.TestCommandLine(), "");
    EXPECT_TRUE(port.shell.startedLines.empty());

    std::vector<const char*> many(TEST_ARGS_MAX + 2, "-debug");
    many[0] = "QV Reef.SCR";
    many.push_back(nullptr);
    CConfigDlg crowded(settings, port.shell, run.mediaDirectory, static_cast<int>(many.size()) - 1,
                       many.data());
    EXPECT_EQ(crowded.OnTest(), 0);
    EXPECT_TRUE(port.shell.startedLines.empty());
}

TEST_F(ConfigDlgTest, FailedStartIsNotReported) {
    port.shell.FailProcessStart(true);
    CConfigDlg dlg(settings, port.shell, run.mediaDirectory, 1, NO_ARGS);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.OnTest(), 0);
    EXPECT_STREQ(dlg.TestCommandLine(), "glimmora -s -test");
}

} // namespace
