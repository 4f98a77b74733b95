// Settings in an INI file per saver:
// $XDG_CONFIG_HOME/Tarnwell/Glimmora/<saverName>.ini (default ~/.config/...),
// one group per section ("Config", then one per module), 32-bit integers.
//
// Names are matched without regard to case, as the Windows registry does, so a
// theme that changes the case of a module name keeps its settings. QSettings
// writes through a temporary file that replaces the old one, so a crash never
// leaves half a file behind.
#include "platform/settings_backend.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>

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

// The text is kept byte for byte (Latin-1 maps each byte to one character);
// the separators of QSettings and the escape character are escaped here.
QString Encode(const char* text) {
    QString out;
    for (QChar c : QString::fromLatin1(text ? text : "")) {
        if (c == '%' || c == '/' || c == '\\') {
            out += QString::asprintf("%%%02X", c.unicode());
        } else {
            out += c;
        }
    }
    return out;
}

// The stored name that matches `wanted` without regard to (ASCII) case, or
// `wanted` itself when none does.
QString Match(const QStringList& names, const QString& wanted) {
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return name;
    }
    return wanted;
}

} // namespace

int32_t SettingsReadInt(const char* saverName, const char* section, const char* name,
                        int32_t defaultValue) {
    QSettings store(SettingsFile(saverName), QSettings::IniFormat);
    if (store.status() != QSettings::NoError) return defaultValue;
    store.beginGroup(Match(store.childGroups(), Encode(section)));
    QString key = Match(store.childKeys(), Encode(name));
    if (!store.contains(key)) return defaultValue;
    bool ok = false;
    int value = store.value(key).toString().trimmed().toInt(&ok);
    return ok ? static_cast<int32_t>(value) : defaultValue;
}

void SettingsWriteInt(const char* saverName, const char* section, const char* name, int32_t value) {
    QString path = SettingsFile(saverName);
    {
        // An unreadable file is replaced by a good one rather than left to block every write.
        QSettings check(path, QSettings::IniFormat);
        if (check.status() != QSettings::NoError) QFile::remove(path);
    }
    QSettings store(path, QSettings::IniFormat);
    store.beginGroup(Match(store.childGroups(), Encode(section)));
    store.setValue(Match(store.childKeys(), Encode(name)), static_cast<int>(value));
    store.endGroup();
    store.sync();
}
