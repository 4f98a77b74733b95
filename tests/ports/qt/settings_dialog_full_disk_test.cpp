// The settings dialog of the desktop program over its real settings file on
// a full disk: OK says why the settings could not be saved, the dialog stays
// open, and the old file keeps every byte.
#ifdef GLIMMORA_HAVE_DESKTOP

// Before the Qt headers, whose "slots" keyword would hide the view's table.
#include "app/glimmora_context.h"

#include "ports/headless/headless_port.h"
#include "ports/qt/config_dialog_qt.h"
#include "ports/qt/dialogs_qt.h"
#include "ports/qt/settings_backend_qt.h"
#include "qt_test_app.h"
#include "scratch_disk.h"
#include "support/test_files.h"
#include "ui/config_dlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

const char* const NO_ARGS[] = {"glimmora", nullptr};

// Runs `action` on the modal widget of type T as soon as one is open, for
// up to 20 seconds; then closes every window, so that a test fails rather
// than hangs.
template <class T> void WhenModal(std::function<void(T*)> action, int tries = 2000) {
    QTimer::singleShot(10, [action, tries] {
        if (T* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(modal);
        } else if (tries > 0) {
            WhenModal<T>(action, tries - 1);
        } else {
            ADD_FAILURE() << "no such dialog opened";
            QApplication::closeAllWindows();
        }
    });
}

// A context whose settings and dialogs are the Qt port's, over the
// headless port's other services.
class SettingsDialogFullDiskTest : public ::testing::Test {
  protected:
    PortServices Services() {
        PortServices services = headless.Services();
        services.settings = &storage;
        services.dialogs = &dialogs;
        return services;
    }

    HeadlessPort headless;
    QtSettings storage;
    QtDialogs dialogs{0};
    GlimmoraContext ctx{Services()};
    RunConfig& run = ctx.run;
};

TEST_F(SettingsDialogFullDiskTest, OkSaysWhyAndTheOldFileKeepsEveryByte) {
    TempDir config;
    TempDir themeDir;
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    std::string why;
    SmallDisk disk;
    if (!disk.Mount(config.Path(), 64 * 1024, &why)) GTEST_SKIP() << "no small disk: " << why;
    const std::string old = "[Config]\nActiveModule=1\nSound=0\nGamma=0\nPlayMode=2\n"
                            "MasterVolume=100\n\n[Shallows]\nFish=7\n";
    std::string file = config.Write("Tarnwell/Glimmora/QV Reef.ini", old);
    ASSERT_TRUE(disk.FillUp(&why)) << why;

    // Qt only now: a user namespace takes a process of one thread.
    TestApplication();

    std::snprintf(run.saverName, sizeof(run.saverName), "QV Reef");
    std::string scriptFile =
        themeDir.Write("Reef.SS", "Module \"Shallows\"\n{\nSetup\n{\n"
                                  "#Fish \"Fish\" \"Few\" \"Many\" 1 20 10\n}\n}\n"
                                  "Module \"Deep\"\n{\nSetup\n{\n}\n}\n");
    std::snprintf(run.scriptPath, sizeof(run.scriptPath), "%s", scriptFile.c_str());

    QString shown;
    bool openBehindTheBox = false;
    bool openAfterwards = false;
    WhenModal<QtConfigDialog>([&](QtConfigDialog* dialog) {
        WhenModal<QMessageBox>([&, dialog](QMessageBox* box) {
            shown = box->text();
            openBehindTheBox = dialog->isVisible();
            box->button(QMessageBox::Ok)->click();
            QTimer::singleShot(0, [&, dialog] {
                openAfterwards = dialog->isVisible();
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
        });
        dialog->paramSliders[0]->setValue(12);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    });
    EXPECT_EQ(RunSettingsDialog(ctx.script, ctx.settings, dialogs, headless.shell, run.scriptPath,
                                run.mediaDirectory, 1, NO_ARGS),
              DLG_CANCEL);
    EXPECT_EQ(shown.toStdString(), "The settings could not be saved: cannot write " + file +
                                       ": No space left on device");
    EXPECT_TRUE(openBehindTheBox);
    EXPECT_TRUE(openAfterwards);
    EXPECT_EQ(ReadFileText(file), old);
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(config.Path() + "/Tarnwell/Glimmora")) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"QV Reef.ini"}); // no temporary file left
}

} // namespace

#endif
