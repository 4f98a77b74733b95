#include "ui/about_dlg.h"

#include "platform/shell.h"

#include <cstdio>
#include <cstring>

namespace {
const char ENGINE_VERSION[] = "1.00g";
}

void VersionText(char* out, int size, const char* format) {
    if (size <= 0) return;
    const char* marker = format ? std::strstr(format, "%s") : nullptr;
    if (!format) {
        std::snprintf(out, static_cast<size_t>(size), "%s", ENGINE_VERSION);
    } else if (!marker) {
        std::snprintf(out, static_cast<size_t>(size), "%s", format);
    } else {
        std::snprintf(out, static_cast<size_t>(size), "%.*s%s%s", static_cast<int>(marker - format),
                      format, ENGINE_VERSION, marker + 2);
    }
}

void CAboutDlg::OnInitDialog() {
    VersionText(versionLine, sizeof(versionLine), "Screen Saver Engine Version %s");
}

void CAboutDlg::OnReadMe() {
    if (mediaDirectory && mediaDirectory[0] != '\0') {
        std::snprintf(readMePath, sizeof(readMePath), "%s%creadme.txt", mediaDirectory,
                      PATH_SEPARATOR);
    } else {
        std::snprintf(readMePath, sizeof(readMePath), "readme.txt");
    }
    shell.OpenFile(readMePath);
}
