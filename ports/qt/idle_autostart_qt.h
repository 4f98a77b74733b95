// The idle service's entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart/glimmora-idle.desktop): the desktop starts
// `glimmora --idle --theme <Theme>` at login, and the entry keeps the idle
// time (X-Glimmora-IdleMinutes), which the service reads each time it
// starts to wait.
#pragma once

#include <QString>

struct IdleAutostart {
    QString theme;   // the theme the service plays
    int minutes = 0; // the idle time; 0 when there is no entry
};

// The entry's path.
QString IdleAutostartPath();
// The entry as it is (minutes 0 when it is missing or not Glimmora's).
IdleAutostart ReadIdleAutostart();
// Writes the entry for `program` (replacing it whole, by a rename); false
// with `why` when it cannot.
bool WriteIdleAutostart(const QString& program, const IdleAutostart& entry, QString* why);
// Removes the entry when it is Glimmora's; false with `why` when it cannot.
bool RemoveIdleAutostart(QString* why);
// `text` as one argument of an entry's Exec line.
QString ExecArgument(const QString& text);

// The longest idle time the entry keeps: a day.
constexpr int MAX_IDLE_MINUTES = 1440;
