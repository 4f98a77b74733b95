#include "settings/settings_store.h"
#include "ui/about_dlg.h"
#include "ui/more_options_dlg.h"
#include "ui/splash_dlg.h"
#include "ui_fixture.h"

#include <cstring>

namespace {

class SmallDialogsTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        port.dialogs.Reset();
    }
};

TEST_F(SmallDialogsTest, MoreOptionsChecksThePlayModeButton) {
    for (int32_t mode = 0; mode < 3; ++mode) {
        settings.PlayMode = mode;
        CMoreOptionsDlg dlg(settings);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.checkedMode, mode);
        dlg.OnOK();
        EXPECT_EQ(settings.PlayMode, mode);
    }
}

TEST_F(SmallDialogsTest, OtherMonitorsButtonsFollowTheSettingAndOkStoresThem) {
    const struct {
        int32_t stored;
        bool checkedBlack;
        bool choose;
        int32_t afterOk;
    } cases[] = {{OTHER_MONITORS_PLAY, false, true, OTHER_MONITORS_BLACK},
                 {OTHER_MONITORS_BLACK, true, false, OTHER_MONITORS_PLAY},
                 {OTHER_MONITORS_BLACK, true, true, OTHER_MONITORS_BLACK}};
    for (const auto& c : cases) {
        settings.OtherMonitors = c.stored;
        CMoreOptionsDlg dlg(settings);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.othersBlack, c.checkedBlack);
        dlg.SetOthersBlack(c.choose);
        EXPECT_EQ(settings.OtherMonitors, c.stored); // nothing changes before OK
        dlg.OnOK();
        EXPECT_EQ(settings.OtherMonitors, c.afterOk);
    }
}

TEST_F(SmallDialogsTest, PictureSizeButtonsFollowTheSettingAndOkStoresThem) {
    const struct {
        int32_t stored;
        bool checkedFit;
        bool choose;
        int32_t afterOk;
    } cases[] = {{PICTURE_SIZE_FIT, true, false, PICTURE_SIZE_ORIGINAL},
                 {PICTURE_SIZE_ORIGINAL, false, true, PICTURE_SIZE_FIT},
                 {PICTURE_SIZE_ORIGINAL, false, false, PICTURE_SIZE_ORIGINAL}};
    for (const auto& c : cases) {
        settings.PictureSize = c.stored;
        CMoreOptionsDlg dlg(settings);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.pictureFit, c.checkedFit);
        dlg.SetPictureFit(c.choose);
        EXPECT_EQ(settings.PictureSize, c.stored); // nothing changes before OK
        dlg.OnOK();
        EXPECT_EQ(settings.PictureSize, c.afterOk);
    }
}

// What starts the screen saver is said in words; the idle service is offered
// only where no other screen saver starts Glimmora.
TEST_F(SmallDialogsTest, MoreOptionsSaysWhatStartsTheScreenSaver) {
    const struct {
        SaverStarter starter;
        const char* name;
        int32_t minutes;
        const char* text;
        bool offered;
        bool checked;
        int32_t shownMinutes;
    } cases[] = {
        {SaverStarter::System, "", 0, "Windows starts it as the screen saver.", false, false, 10},
        {SaverStarter::XScreenSaver, "XScreenSaver", 0,
         "XScreenSaver starts the screen saver: choose \"Glimmora\" in its settings "
         "(xscreensaver-settings).",
         false, false, 10},
        {SaverStarter::DesktopSaver, "mate-screensaver", 0,
         "The desktop's screen saver (mate-screensaver) starts it: choose \"Glimmora\" in its "
         "settings.",
         false, false, 10},
        {SaverStarter::IdleService, "", 25,
         "Glimmora's idle service starts it after 25 minutes without input.", true, true, 25},
        {SaverStarter::Nothing, "", 0,
         "Nothing starts Glimmora on this desktop: tick the box below to start it when the "
         "desktop is idle.",
         true, false, 10},
    };
    for (const auto& c : cases) {
        port.shell.SetSaverStarter(c.starter, c.name, c.minutes);
        CMoreOptionsDlg dlg(settings, &port.shell, "Reef");
        dlg.OnInitDialog();
        EXPECT_STREQ(dlg.startText, c.text);
        EXPECT_EQ(dlg.idleOffered, c.offered) << c.text;
        EXPECT_EQ(dlg.idleChecked, c.checked) << c.text;
        EXPECT_EQ(dlg.idleMinutes, c.shownMinutes) << c.text;
        dlg.OnOK(); // nothing changed: nothing is stored
    }
    EXPECT_TRUE(port.shell.idleStarts.empty());
}

TEST_F(SmallDialogsTest, OkTurnsTheIdleServiceOnOrOffForTheTheme) {
    port.shell.SetSaverStarter(SaverStarter::Nothing, "", 0);
    CMoreOptionsDlg dlg(settings, &port.shell, "Reef.v2");
    dlg.OnInitDialog();
    EXPECT_STREQ(dlg.IdleText(), "Start Glimmora after 10 minutes without input");
    dlg.SetIdleChecked(true);
    dlg.SetIdleMinutes(0); // held to the slider's range
    EXPECT_STREQ(dlg.IdleText(), "Start Glimmora after 1 minute without input");
    dlg.SetIdleMinutes(99);
    EXPECT_EQ(dlg.idleMinutes, 60);
    dlg.SetIdleMinutes(5);
    dlg.OnOK();
    EXPECT_STREQ(dlg.idleFailure, "");

    port.shell.SetSaverStarter(SaverStarter::IdleService, "", 5);
    CMoreOptionsDlg off(settings, &port.shell, "Reef.v2");
    off.OnInitDialog();
    off.SetIdleChecked(false);
    port.shell.FailIdleStart("cannot remove /home/u/.config/autostart/glimmora-idle.desktop");
    off.OnOK();
    EXPECT_STREQ(off.idleFailure, "The idle service could not be turned off: cannot remove "
                                  "/home/u/.config/autostart/glimmora-idle.desktop");
    const std::vector<std::pair<std::string, int32_t>> calls{{"Reef.v2", 5}, {"Reef.v2", 0}};
    EXPECT_EQ(port.shell.idleStarts, calls);
}

TEST_F(SmallDialogsTest, UnknownPlayModeChecksNoneAndOkStoresTheLastMode) {
    settings.PlayMode = 7;
    CMoreOptionsDlg dlg(settings);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.checkedMode, -1);
    dlg.SetCheckedMode(5); // no such button
    EXPECT_EQ(dlg.checkedMode, -1);
    dlg.OnOK();
    EXPECT_EQ(settings.PlayMode, 2);
}

TEST_F(SmallDialogsTest, ChoosingAModeChangesNothingUntilOk) {
    settings.PlayMode = 0;
    CMoreOptionsDlg dlg(settings);
    dlg.OnInitDialog();
    dlg.SetCheckedMode(1);
    EXPECT_EQ(settings.PlayMode, 0); // Escape ends here
    dlg.OnOK();
    EXPECT_EQ(settings.PlayMode, 1);
}

TEST_F(SmallDialogsTest, VolumeFollowsTheSliderAtOnce) {
    settings.MasterVolume = 150; // beyond the slider: shown at its end, kept until moved
    CMoreOptionsDlg dlg(settings);
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.volumePosition, 100);
    EXPECT_EQ(settings.MasterVolume, 150);
    dlg.OnHScroll(40);
    EXPECT_EQ(settings.MasterVolume, 40);
    dlg.OnHScroll(-3);
    EXPECT_EQ(settings.MasterVolume, 0);
    dlg.OnHScroll(101);
    EXPECT_EQ(settings.MasterVolume, 100);
}

TEST_F(SmallDialogsTest, VersionText) {
    char text[64];
    VersionText(text, sizeof(text), nullptr);
    EXPECT_STREQ(text, "1.00g");
    VersionText(text, sizeof(text), "v%s!");
    EXPECT_STREQ(text, "v1.00g!");
    VersionText(text, sizeof(text), "100%d");
    EXPECT_STREQ(text, "100%d"); // only "%s" is replaced; nothing else is a format
    char tiny[4];
    VersionText(tiny, sizeof(tiny), "Version %s");
    EXPECT_STREQ(tiny, "Ver");

    CAboutDlg about(port.shell, run.mediaDirectory);
    about.OnInitDialog();
    EXPECT_STREQ(about.versionLine, "Screen Saver Engine Version 1.00g");
}

TEST_F(SmallDialogsTest, ReadMeOpensTheThemeFoldersFile) {
    std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "/themes/Aquarium");
    CAboutDlg about(port.shell, run.mediaDirectory);
    about.OnInitDialog();
    about.OnReadMe();
    std::string expected = std::string("/themes/Aquarium") + PATH_SEPARATOR + "readme.txt";
    ASSERT_EQ(port.shell.openedFiles.size(), 1u);
    EXPECT_EQ(port.shell.openedFiles[0], expected);
    about.OnReadMe(); // the dialog stays open; each press opens it again
    EXPECT_EQ(port.shell.openedFiles.size(), 2u);
}

TEST_F(SmallDialogsTest, ReadMeWithoutThemeFolderOpensTheCurrentFoldersFile) {
    run.mediaDirectory[0] = '\0'; // after "-def"
    CAboutDlg about(port.shell, run.mediaDirectory);
    about.OnReadMe();
    EXPECT_EQ(port.shell.openedFiles.at(0), "readme.txt");
}

TEST_F(SmallDialogsTest, ReadMeWithTheLongestFolderFits) {
    std::memset(run.mediaDirectory, 'd', PATH_LEN);
    run.mediaDirectory[PATH_LEN] = '\0';
    CAboutDlg about(port.shell, run.mediaDirectory);
    about.OnReadMe();
    const std::string& path = port.shell.openedFiles.at(0);
    EXPECT_EQ(path.size(), static_cast<size_t>(PATH_LEN) + 11);
    EXPECT_EQ(path.substr(PATH_LEN + 1), "readme.txt");
}

TEST_F(SmallDialogsTest, SplashShowsOnceAndHidesAtTheLatestWhenDestroyed) {
    {
        CSplashDlg splash(port.dialogs);
        EXPECT_FALSE(port.dialogs.Log().splashVisible);
        splash.Create();
        splash.Create();
        EXPECT_TRUE(splash.IsVisible());
        EXPECT_TRUE(port.dialogs.Log().splashVisible);
        EXPECT_EQ(port.dialogs.Log().splashShows, 1);
    }
    EXPECT_FALSE(port.dialogs.Log().splashVisible);
    EXPECT_EQ(port.dialogs.Log().splashHides, 1);

    CSplashDlg splash(port.dialogs);
    splash.Create();
    splash.DestroyWindow();
    splash.DestroyWindow();
    EXPECT_EQ(port.dialogs.Log().splashHides, 2);
    CSplashDlg never(port.dialogs); // a splash that was never created hides nothing
}

} // namespace
