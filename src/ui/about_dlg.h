// The About box and the engine's version text.
#pragma once

#include "base/paths.h"

constexpr int VERSION_LINE_LEN = 80;

// "1.00g" when `format` is nullptr; otherwise `format` with its "%s"
// replaced by the version. The result is cut to fit `out` (`size` bytes).
void VersionText(char* out, int size, const char* format);

class SystemShell;

class CAboutDlg {
  public:
    // `mediaDirectory`: the theme folder, empty when there is none; `shell`
    // opens the read-me.
    explicit CAboutDlg(SystemShell& shell, const char* mediaDirectory = "")
        : shell(shell), mediaDirectory(mediaDirectory) {}

    SystemShell& shell;
    const char* mediaDirectory;
    char versionLine[VERSION_LINE_LEN + 1] = "";
    char readMePath[PATH_LEN + 16] = "";

    // Sets the version line.
    void OnInitDialog();
    // "ReadMe": opens readme.txt of the theme folder (of the current folder
    // when there is none) with the desktop's viewer; the dialog stays open.
    void OnReadMe();
};
