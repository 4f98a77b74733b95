// Where a theme's files live.
#pragma once

// "<drive>\Program Files\Tarnwell\Glimmora\<theme>" from the Windows folder.
void WindowsThemeFolder(const char* windowsDirectory, const char* theme, char* folder, int size);
// The first existing of $XDG_DATA_HOME/Tarnwell/Glimmora/<theme> (default
// ~/.local/share) and <dir>/Tarnwell/Glimmora/<theme> for each dir of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share), then of `ownDataDir`
// (the program's own installation's data folder, "<prefix>/share", when
// given); the first candidate when none exists.
void XdgThemeFolder(const char* theme, char* folder, int size, const char* ownDataDir = nullptr);
// The folders XdgThemeFolder searches, one a line, in its order; a list too
// long for `size` ends with a line "...". Always true.
bool XdgThemeFolders(const char* theme, char* list, int size, const char* ownDataDir = nullptr);
