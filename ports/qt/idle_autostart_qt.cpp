#include "ports/qt/idle_autostart_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>

namespace {

constexpr char MINUTES_KEY[] = "X-Glimmora-IdleMinutes=";
constexpr char THEME_KEY[] = "X-Glimmora-Theme=";

} // namespace

QString IdleAutostartPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/autostart/glimmora-idle.desktop";
}

IdleAutostart ReadIdleAutostart() {
    IdleAutostart entry;
    QFile file(IdleAutostartPath());
    if (!file.open(QIODevice::ReadOnly)) return entry;
    // An entry is a few lines: more is no entry of Glimmora's.
    for (int n = 0; n < 64 && !file.atEnd(); ++n) {
        const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
        if (line.startsWith(MINUTES_KEY)) {
            bool number = false;
            int minutes = line.mid(sizeof(MINUTES_KEY) - 1).toInt(&number);
            if (number && minutes >= 1 && minutes <= MAX_IDLE_MINUTES) entry.minutes = minutes;
        } else if (line.startsWith(THEME_KEY)) {
            entry.theme = line.mid(sizeof(THEME_KEY) - 1);
        }
    }
    if (entry.theme.isEmpty()) entry.minutes = 0;
    return entry;
}

QString ExecArgument(const QString& text) {
    // Reserved characters call for double quotes, inside which the quote, the
    // backquote, the dollar and the backslash are escaped by a backslash; then
    // every backslash and % of the value is doubled, as the entry's string
    // values and Exec's field codes want.
    static constexpr char RESERVED[] = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = text.isEmpty();
    for (QChar c : text) quote = quote || std::strchr(RESERVED, c.toLatin1()) != nullptr;
    QString arg;
    if (quote) arg += '"';
    for (QChar c : text) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) arg += '\\';
        arg += c;
    }
    if (quote) arg += '"';
    arg.replace("\\", "\\\\");
    arg.replace("%", "%%");
    return arg;
}

bool WriteIdleAutostart(const QString& program, const IdleAutostart& entry, QString* why) {
    const QString path = IdleAutostartPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = "cannot write " + path + ": " + file.errorString();
        return false;
    }
    const QString text = "[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Glimmora idle service\n"
                         "Comment=Plays Glimmora when the session has been idle for " +
                         QString::number(entry.minutes) +
                         " minutes\n"
                         "Exec=" +
                         ExecArgument(program) + " --idle --theme " + ExecArgument(entry.theme) +
                         "\n"
                         "NoDisplay=true\n"
                         "X-GNOME-Autostart-enabled=true\n" +
                         THEME_KEY + entry.theme + "\n" + MINUTES_KEY +
                         QString::number(entry.minutes) + "\n";
    file.write(text.toUtf8());
    if (!file.commit()) {
        *why = "cannot write " + path + ": " + file.errorString();
        return false;
    }
    return true;
}

bool RemoveIdleAutostart(QString* why) {
    const QString path = IdleAutostartPath();
    if (!QFile::exists(path) || ReadIdleAutostart().theme.isEmpty()) return true;
    if (QFile::remove(path)) return true;
    *why = "cannot remove " + path;
    return false;
}
