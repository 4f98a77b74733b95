// The Qt tests' main. Their QApplication is made when a test first needs it
// and goes when the tests have run, before the process ends.
#include "qt_test_app.h"

#include <gtest/gtest.h>

#ifdef GLIMMORA_HAVE_QT

#include <QApplication>
#include <memory>

namespace {

int appArgc = 1;
char appName[] = "glimmora-tests";
char* appArgv[] = {appName, nullptr};
std::unique_ptr<QApplication> application;

} // namespace

QApplication& TestApplication() {
    if (!application) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(appArgc, appArgv);
    }
    return *application;
}

#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef GLIMMORA_HAVE_QT
    application.reset();
#endif
    return result;
}
