#include "ports/qt/settings_backend_qt.h"

#include "settings/settings_ini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QString ConfigHome() {
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative paths are invalid there and must be ignored.
    if (home.isEmpty() || QDir::isRelativePath(home)) home = QDir::homePath() + "/.config";
    return home;
}

QString SettingsFile(const char* saverName) {
    QString name = QString::fromLocal8Bit(saverName ? saverName : "");
    name.replace('/', '_');
    return ConfigHome() + "/Tarnwell/Glimmora/" + name + ".ini";
}

// Reads the file into `ini`. False, with `why`, when it exists but cannot be
// read; a missing file reads as empty. Opened without waiting, so that a
// FIFO in its place cannot hang the program.
bool ReadFile(const QString& path, SettingsIni& ini, QString* why) {
    ini.Parse("", 0);
    int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        *why = "it is not a regular file";
        return false;
    }
    // One byte more than is read tells a file that is too long.
    std::vector<char> text(SETTINGS_INI_MAX_BYTES + 1);
    size_t got = 0;
    while (got < text.size()) {
        ssize_t n = read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) *why = QString::fromLocal8Bit(std::strerror(errno));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    ini.Parse(text.data(), got);
    return why->isEmpty();
}

void Say(char* reason, size_t size, const char* format, const QString& path, const QString& why) {
    std::snprintf(reason, size, format, path.toLocal8Bit().constData(),
                  why.toLocal8Bit().constData());
}

// Why the file at `path` must not be replaced; empty when it may be.
QString Refusal(const QString& path) {
    struct stat st;
    QByteArray name = QFile::encodeName(path);
    if (stat(name.constData(), &st) != 0) return QString(); // none yet
    if (!S_ISREG(st.st_mode)) return "is not a regular file";
    // No write permission for anyone means read-only, for the superuser too.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(name.constData(), W_OK) != 0) {
        return "is read-only";
    }
    return QString();
}

} // namespace

void QtSettings::ReadProfile(SettingsProfile& profile) {
    SettingsIni ini;
    QString why;
    ReadFile(SettingsFile(profile.saverName), ini, &why); // what could be read counts
    for (int i = 0; i < profile.count; ++i) {
        SettingsValue& v = profile.values[i];
        ini.Get(v.section, v.name, &v.value);
    }
}

int QtSettings::WriteProfile(const SettingsProfile& profile, char* reason, size_t reasonSize) {
    const QString path = SettingsFile(profile.saverName);
    QString refusal = Refusal(path);
    if (!refusal.isEmpty()) {
        Say(reason, reasonSize, "%s %s", path, refusal);
        return 0;
    }
    SettingsIni ini;
    QString why;
    if (!ReadFile(path, ini, &why)) {
        // What cannot be read cannot be kept: the file stays as it is.
        Say(reason, reasonSize, "cannot read %s: %s", path, why);
        return 0;
    }
    if (ini.truncated) {
        Say(reason, reasonSize, "%s is larger than a settings file can be (%s KB)", path,
            QString::number(SETTINGS_INI_MAX_BYTES / 1024));
        return 0;
    }
    for (int i = 0; i < profile.count; ++i) {
        const SettingsValue& v = profile.values[i];
        ini.Set(v.section, v.name, v.value);
    }
    const std::string text = ini.Text();

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::snprintf(reason, reasonSize, "cannot make the folder %s",
                      folder.toLocal8Bit().constData());
        return 0;
    }
    // The temporary file takes the old file's permissions; unless committed
    // it is removed with `file`.
    QSaveFile file(path);
    const qint64 size = static_cast<qint64>(text.size());
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(text.data(), size) == size && file.flush();
    if (written && fsync(file.handle()) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
    } else if (written && file.commit()) {
        return 1;
    } else {
        why = file.errorString();
    }
    Say(reason, reasonSize, "cannot write %s: %s", path, why);
    return 0;
}
