// What start-up learns from the desktop: theme folder, screen and host window sizes.
#include "base/theme_folder.h"
#include "platform/qt/embed_host_qt.h"
#include "platform/qt/host_window_qt.h"
#include "platform/shell.h"

#include <QGuiApplication>
#include <QScreen>

// Saver files with short names exist only on Windows.
bool SysFindLongSaverName(const char*, char*, int) {
    return false;
}

void SysThemeFolder(const char* scriptName, char* folder, int size) {
    XdgThemeFolder(scriptName, folder, size);
}

void SysScreenSize(int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    // A run inside a host window plays at that window's size.
    if (QtEmbedHost() != 0 && X11WindowSize(QtEmbedHost(), width, height)) return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    *width = screen->geometry().width();
    *height = screen->geometry().height();
}

bool SysWindowClientSize(uintptr_t handle, int32_t* width, int32_t* height) {
    return X11WindowSize(handle, width, height);
}
