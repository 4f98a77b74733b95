#ifdef GLIMMORA_HAVE_QT

// Before the Qt headers, whose "slots" keyword would hide the view's table.
#include "qt_dialog_fixture.h"

#include "ports/qt/about_dialog_qt.h"
#include "ports/qt/config_dialog_qt.h"
#include "ports/qt/more_options_dialog_qt.h"
#include "support/test_files.h"
#include "ui/about_dlg.h"
#include "ui/config_dlg.h"
#include "ui/splash_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <sys/stat.h>

// Catches what the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void Open(const QUrl& url) { urls << url; }
};

namespace {

const char* const NO_ARGS[] = {"glimmora", nullptr};

class QtDialogsTest : public QtDialogTest {
  protected:
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    }

    // Runs `action` as soon as the next modal dialog has opened.
    static void WhenModalOpens(std::function<void(QWidget*)> action) {
        QTimer::singleShot(0, [action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                WhenModalOpens(action);
                return;
            }
            action(modal);
        });
    }

    // The settings dialog as the program runs it; its result.
    int RunDialog() {
        return RunSettingsDialog(script, settings, dialogs, shell, run.scriptPath,
                                 run.mediaDirectory, 1, NO_ARGS);
    }

    // Opens More Options from the settings dialog and hands it to `action`,
    // which closes it; then OK in the settings dialog.
    static void InMoreOptionsThenOk(std::function<void(QtMoreOptionsDialog*)> action) {
        WhenModalOpens([action](QWidget* modal) {
            auto* dialog = qobject_cast<QtConfigDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            WhenModalOpens([dialog, action](QWidget* options) {
                auto* more = qobject_cast<QtMoreOptionsDialog*>(options);
                ASSERT_NE(more, nullptr);
                action(more);
                QTimer::singleShot(
                    0, [dialog] { QTest::mouseClick(dialog->okButton, Qt::LeftButton); });
            });
            QTest::mouseClick(dialog->moreOptions, Qt::LeftButton);
        });
    }

    void AddThreeModules() {
        AddModule("Two", {{"Fish", "Fish", "Few", "Many", 1, 10, 5},
                          {"Speed", "Speed", "Fast", "Slow", 10, 1, 3}});
        AddModule("Three", {{"Stars", "Stars", "Dim", "Bright", 0, 100, 50},
                            {"Moon", "Moon", "Off", "On", 0, 1, 1},
                            {"Owls", "Owls", "None", "Many", 0, 9, 3}});
        AddModule("None", {});
    }
};

TEST_F(QtDialogsTest, ControlsFollowTheTemplate) {
    AddThreeModules();
    std::snprintf(theme.themeName, sizeof(theme.themeName), "Coral Reef");
    CConfigDlg model(settings, shell, run.mediaDirectory, 1, NO_ARGS);
    QtConfigDialog dialog(model);
    EXPECT_EQ(dialog.windowTitle(), "Coral Reef");
    EXPECT_EQ(dialog.moduleList->count(), 3);
    EXPECT_EQ(dialog.moduleList->item(1)->text(), "Three");
    EXPECT_EQ(dialog.moduleList->currentRow(), 0);
    EXPECT_EQ(dialog.brightness->minimum(), 0);
    EXPECT_EQ(dialog.brightness->maximum(), 6);
    EXPECT_EQ(dialog.brightness->value(), 3);
    EXPECT_TRUE(dialog.sound->isChecked());
    EXPECT_EQ(dialog.sound->text(), "Sound");
    EXPECT_EQ(dialog.moreOptions->text(), "More Options...");
    EXPECT_EQ(dialog.testButton->text(), "Test Screen Saver");
    EXPECT_EQ(dialog.about->text(), "About");
    EXPECT_TRUE(dialog.okButton->isDefault());
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    EXPECT_TRUE(labels.contains("Brightness"));
    EXPECT_TRUE(labels.contains("This screen saver was created with"));
    bool logo = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull() && label->pixmap().width() == LOGO_WIDTH) logo = true;
    }
    EXPECT_TRUE(logo);
    // Laid out in proportion: the parameter groups stand right of the list,
    // one above the other, inside the dialog.
    QRect list = dialog.moduleList->geometry();
    EXPECT_GT(dialog.paramGroups[0]->geometry().left(), list.right());
    EXPECT_LT(dialog.paramGroups[0]->geometry().bottom(), dialog.paramGroups[1]->geometry().top());
    EXPECT_TRUE(dialog.rect().contains(dialog.okButton->geometry()));
    EXPECT_GT(dialog.width(), 243);
}

TEST_F(QtDialogsTest, ReversedSliderRunsFromLeftValueToRightValue) {
    AddModule("Reef", {{"Speed", "Speed", "Slow", "Fast", 10, 1, 3}});
    CConfigDlg model(settings, shell, run.mediaDirectory, 1, NO_ARGS);
    QtConfigDialog dialog(model);
    dialog.show();
    QSlider* slider = dialog.paramSliders[0];
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 10);
    EXPECT_EQ(slider->value(), 8);
    EXPECT_EQ(moduleTable[0].params[0].value, 3); // showing is not moving
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home); // thumb fully to the left
    EXPECT_EQ(moduleTable[0].params[0].value, 10);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(moduleTable[0].params[0].value, 1);
    QTest::keyClick(dialog.brightness, Qt::Key_End);
    EXPECT_EQ(settings.Gamma, 3);
    QTest::keyClick(dialog.brightness, Qt::Key_Home);
    EXPECT_EQ(settings.Gamma, -3);
}

TEST_F(QtDialogsTest, SwitchingModulesShowsAndHidesGroups) {
    AddThreeModules();
    CConfigDlg model(settings, shell, run.mediaDirectory, 1, NO_ARGS);
    QtConfigDialog dialog(model);
    dialog.show();
    EXPECT_TRUE(dialog.paramGroups[2]->isHidden()); // the first module has two parameters
    EXPECT_TRUE(dialog.paramSliders[2]->isHidden());
    EXPECT_TRUE(dialog.leftLabels[2]->isHidden());

    dialog.moduleList->setCurrentRow(1);
    EXPECT_EQ(settings.activeModule, 1);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(dialog.paramSliders[k]->isHidden());
    EXPECT_EQ(dialog.paramGroups[2]->title(), "Owls");
    EXPECT_EQ(dialog.leftLabels[2]->text(), "None");
    EXPECT_EQ(dialog.rightLabels[2]->text(), "Many");
    EXPECT_EQ(dialog.paramSliders[0]->maximum(), 100);
    EXPECT_EQ(dialog.paramSliders[0]->value(), 50);
    // Switching set ranges and positions, but moved nothing.
    EXPECT_EQ(moduleTable[0].params[0].value, 5);
    EXPECT_EQ(moduleTable[1].params[0].value, 50);

    dialog.moduleList->setCurrentRow(2);
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(dialog.paramGroups[k]->isHidden());
        EXPECT_TRUE(dialog.rightLabels[k]->isHidden());
    }
    dialog.moduleList->setCurrentRow(0);
    EXPECT_EQ(dialog.paramGroups[0]->title(), "Fish");
    EXPECT_EQ(dialog.paramSliders[1]->value(), 8);
}

TEST_F(QtDialogsTest, OkWritesTheSettings) {
    AddThreeModules();
    settings.WriteSettings(); // the stored state before the dialog
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<QtConfigDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->moduleList->setCurrentRow(1);
        dialog->paramSliders[2]->setValue(7);
        dialog->brightness->setValue(5);
        dialog->sound->setChecked(false);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    });
    EXPECT_EQ(RunDialog(), DLG_OK);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 1);
    EXPECT_EQ(moduleTable[1].params[2].value, 7);
    EXPECT_EQ(settings.Gamma, 2);
    EXPECT_FALSE(settings.Sound);
}

TEST_F(QtDialogsTest, EscapeWritesNothing) {
    AddThreeModules();
    settings.WriteSettings();
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<QtConfigDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->moduleList->setCurrentRow(1);
        dialog->paramSliders[0]->setValue(90);
        dialog->brightness->setValue(0);
        dialog->sound->setChecked(false);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(RunDialog(), DLG_CANCEL);
    ReloadSettings();
    EXPECT_EQ(settings.activeModule, 0);
    EXPECT_EQ(moduleTable[1].params[0].value, 50);
    EXPECT_EQ(settings.Gamma, 0);
    EXPECT_TRUE(settings.Sound);
}

TEST_F(QtDialogsTest, MoreOptionsVolumeIsLiveAndEscapeKeepsThePlayMode) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    InMoreOptionsThenOk([](QtMoreOptionsDialog* more) {
        EXPECT_EQ(more->windowTitle(), "More Options");
        EXPECT_TRUE(more->modeButtons[0]->isChecked());
        EXPECT_EQ(more->modeButtons[2]->text(), "Play modules sequentually");
        more->volume->setValue(40);
        more->modeButtons[1]->setChecked(true);
        QTest::keyClick(more, Qt::Key_Escape);
    });
    EXPECT_EQ(RunDialog(), DLG_OK);
    ReloadSettings();
    EXPECT_EQ(settings.MasterVolume, 40);
    EXPECT_EQ(settings.PlayMode, 0);
}

TEST_F(QtDialogsTest, MoreOptionsOkThenCancelledSettingsStoreNothing) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    int32_t playModeAfterOptions = -1;
    WhenModalOpens([this, &playModeAfterOptions](QWidget* modal) {
        auto* dialog = qobject_cast<QtConfigDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        WhenModalOpens([this, dialog, &playModeAfterOptions](QWidget* options) {
            auto* more = qobject_cast<QtMoreOptionsDialog*>(options);
            ASSERT_NE(more, nullptr);
            QTest::mouseClick(more->modeButtons[1], Qt::LeftButton);
            QTest::mouseClick(more->okButton, Qt::LeftButton);
            QTimer::singleShot(0, [this, dialog, &playModeAfterOptions] {
                playModeAfterOptions = settings.PlayMode;
                dialog->close(); // the close box
            });
        });
        QTest::mouseClick(dialog->moreOptions, Qt::LeftButton);
    });
    EXPECT_EQ(RunDialog(), DLG_CANCEL);
    EXPECT_EQ(playModeAfterOptions, 1);
    ReloadSettings();
    EXPECT_EQ(settings.PlayMode, 0);
}

TEST_F(QtDialogsTest, MoreOptionsOtherMonitorsBlackIsItsOwnChoiceStoredByOk) {
    settings.PlayMode = 0;
    settings.WriteSettings();
    InMoreOptionsThenOk([](QtMoreOptionsDialog* more) {
        EXPECT_TRUE(more->othersPlay->isChecked());
        EXPECT_EQ(more->othersBlack->text(), "black");
        QTest::mouseClick(more->othersBlack, Qt::LeftButton);
        EXPECT_FALSE(more->othersPlay->isChecked());
        EXPECT_TRUE(more->modeButtons[0]->isChecked()); // a group of its own
        QTest::mouseClick(more->okButton, Qt::LeftButton);
    });
    EXPECT_EQ(RunDialog(), DLG_OK);
    ReloadSettings();
    EXPECT_EQ(settings.OtherMonitors, OTHER_MONITORS_BLACK);
    EXPECT_EQ(settings.PlayMode, 0);
}

TEST_F(QtDialogsTest, MoreOptionsPictureSizeOriginalIsStoredByOk) {
    settings.WriteSettings();
    InMoreOptionsThenOk([](QtMoreOptionsDialog* more) {
        EXPECT_TRUE(more->pictureFit->isChecked());
        EXPECT_EQ(more->pictureFit->text(), "fit the screen");
        EXPECT_EQ(more->pictureOriginal->text(), "original");
        QTest::mouseClick(more->pictureOriginal, Qt::LeftButton);
        EXPECT_FALSE(more->pictureFit->isChecked());
        EXPECT_TRUE(more->othersPlay->isChecked()); // a group of its own
        QTest::mouseClick(more->okButton, Qt::LeftButton);
    });
    EXPECT_EQ(RunDialog(), DLG_OK);
    ReloadSettings();
    EXPECT_EQ(settings.PictureSize, PICTURE_SIZE_ORIGINAL);
    EXPECT_EQ(settings.OtherMonitors, OTHER_MONITORS_PLAY);
}

// Where another screen saver starts Glimmora, the idle service's controls are
// hidden and their band is dropped: the dialog is that much shorter and the
// text of what starts the saver still shows whole inside its group.
TEST_F(QtDialogsTest, MoreOptionsDropsTheIdleBandWhenTheServiceIsNotOffered) {
    headless.shell.SetSaverStarter(SaverStarter::Nothing, "", 0);
    CMoreOptionsDlg offered(settings, &headless.shell, "Reef");
    QtMoreOptionsDialog withIdle(offered);
    headless.shell.SetSaverStarter(SaverStarter::XScreenSaver, "XScreenSaver", 0);
    CMoreOptionsDlg notOffered(settings, &headless.shell, "Reef");
    QtMoreOptionsDialog without(notOffered);
    withIdle.show();
    without.show();
    EXPECT_TRUE(withIdle.idleStart->isVisible());
    EXPECT_FALSE(without.idleStart->isVisible());
    const int band = withIdle.startGroup->height() - without.startGroup->height();
    EXPECT_GT(band, without.idleStart->height());
    EXPECT_EQ(without.height(), withIdle.height() - band);
    const QRect group = without.startGroup->geometry();
    EXPECT_TRUE(group.contains(without.startText->geometry())) << group.bottom();
    EXPECT_LT(group.bottom(), without.height());
}

TEST_F(QtDialogsTest, UnknownPlayModeChecksNoButton) {
    settings.PlayMode = 7;
    CMoreOptionsDlg model(settings);
    QtMoreOptionsDialog dialog(model);
    for (QRadioButton* button : dialog.modeButtons) EXPECT_FALSE(button->isChecked());
    QTest::mouseClick(dialog.okButton, Qt::LeftButton);
    EXPECT_EQ(settings.PlayMode, 2);
}

TEST_F(QtDialogsTest, AboutShowsTheVersionAndOpensTheReadMe) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    std::snprintf(run.mediaDirectory, sizeof(run.mediaDirectory), "/themes/Aquarium");
    CAboutDlg model(shell, run.mediaDirectory);
    QtAboutDialog dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "About Glimmora");
    EXPECT_EQ(dialog.version->text(), "Screen Saver Engine Version 1.00g");
    QTest::mouseClick(dialog.readMe, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible()); // the dialog stays open
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), "/themes/Aquarium/readme.txt");

    run.mediaDirectory[0] = '\0'; // "-def": the current folder's read-me
    QTest::mouseClick(dialog.readMe, Qt::LeftButton);
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[1].toLocalFile(), QDir::current().absoluteFilePath("readme.txt"));
    QDesktopServices::unsetUrlHandler("file");
}

TEST_F(QtDialogsTest, TestButtonStartsTheSaverDetached) {
    // A stand-in program whose name has a blank, as saver files do; it
    // records the arguments it was started with.
    TempDir dir;
    std::string record = dir.File("args.txt");
    std::string program = dir.Write(
        "QV Reef.SCR", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + record +
                           ".part\"\nmv \"" + record + ".part\" \"" + record + "\"\n");
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    const char* const argv[] = {program.c_str(), "/c", "-def", "C:\\My Themes\\r.SS", nullptr};
    CConfigDlg model(settings, shell, run.mediaDirectory, 4, argv);
    QtConfigDialog dialog(model);
    dialog.show();
    QTest::mouseClick(dialog.testButton, Qt::LeftButton);
    EXPECT_EQ(std::string(model.TestCommandLine()),
              program + " -s -def \"C:\\My Themes\\r.SS\" -test");
    EXPECT_TRUE(dialog.isVisible()); // the dialog stays open

    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(QString::fromStdString(record)) && timer.elapsed() < 20000) {
        QTest::qWait(20);
    }
    EXPECT_EQ(ReadFileText(record), "-s\n-def\nC:\\My Themes\\r.SS\n-test\n");
}

TEST_F(QtDialogsTest, TestRunOfAMissingProgramIsNotStartedAndNotReported) {
    TempDir dir;
    std::string missing = dir.File("QV Gone.SCR");
    const char* const argv[] = {missing.c_str(), "/c", nullptr};
    CConfigDlg model(settings, shell, run.mediaDirectory, 2, argv);
    QtConfigDialog dialog(model);
    dialog.show();
    EXPECT_EQ(model.OnTest(), 0);
    EXPECT_TRUE(dialog.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(w == &dialog || !w->isVisible()) << "unexpected window";
    }
}

TEST_F(QtDialogsTest, SplashShowsTheLogoAndTheLoadingLine) {
    auto splashes = [] {
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowFlags().testFlag(Qt::SplashScreen)) found << w;
        }
        return found;
    };
    {
        CSplashDlg splash(dialogs);
        splash.Create();
        QList<QWidget*> shown = splashes();
        ASSERT_EQ(shown.size(), 1);
        QStringList texts;
        for (QLabel* label : shown[0]->findChildren<QLabel*>()) texts << label->text();
        EXPECT_TRUE(texts.contains("Loading Screen Saver..."));
    }
    EXPECT_TRUE(splashes().isEmpty());
}

} // namespace

#include "dialogs_qt_test.moc"

#endif
