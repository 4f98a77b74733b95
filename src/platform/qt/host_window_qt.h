// Host windows of the X11 desktop: a window of another program that the saver
// draws into (the preview area of a settings program, or the window a screen
// saver daemon hands over), given by its X11 window id.
#pragma once

#include <cstdint>

// The client size of the X11 window `id`; false when there is no X11 display
// or `id` names no window.
bool X11WindowSize(uintptr_t id, int32_t* width, int32_t* height);

// The window a screen-saver daemon gave for a full saver run ("-root",
// "-window-id", $XSCREENSAVER_WINDOW), 0 for none. The saver then fills that
// window instead of opening its own, and input never ends it.
void QtSetEmbedHost(uintptr_t id);
uintptr_t QtEmbedHost();
// The root window of the default screen, 0 without an X11 display.
uintptr_t X11RootWindow();
