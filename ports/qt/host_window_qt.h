// Host windows of the X11 desktop: a window of another program that the saver
// draws into (the preview area of a settings program, or the window a screen
// saver daemon hands over), given by its X11 window id.
#pragma once

#include <cstdint>

// The client size of the X11 window `id`; false when there is no X11 display
// or `id` names no window.
bool X11WindowSize(uintptr_t id, int32_t* width, int32_t* height);

// The root window of the default screen, 0 without an X11 display.
uintptr_t X11RootWindow();
