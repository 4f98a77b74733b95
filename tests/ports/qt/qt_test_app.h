// The QApplication of the Qt tests: one per process, on the offscreen
// platform unless QT_QPA_PLATFORM names another, made when a test first needs
// it (the settings tests on a small disk need a process of one thread before).
#pragma once

class QApplication;

QApplication& TestApplication();
