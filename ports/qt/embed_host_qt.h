// The window a screen-saver daemon gave for a full saver run ("-root",
// "-window-id", $XSCREENSAVER_WINDOW), 0 for none. The saver then fills that
// window instead of opening its own, input never ends it, and nothing else
// (splash, message boxes) opens windows of its own.
#pragma once

#include <cstdint>

void QtSetEmbedHost(uintptr_t id);
uintptr_t QtEmbedHost();
