// Where a theme's files live.
#pragma once

// "<drive>\Program Files\Tarnwell\Glimmora\<theme>" from the Windows folder.
void WindowsThemeFolder(const char* windowsDirectory, const char* theme, char* folder, int size);
// The first existing of $XDG_DATA_HOME/Tarnwell/Glimmora/<theme> (default
// ~/.local/share) and <dir>/Tarnwell/Glimmora/<theme> for each dir of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share); the first candidate
// when none exists.
void XdgThemeFolder(const char* theme, char* folder, int size);
