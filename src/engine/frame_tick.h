// The engine's entry once per pass of the main loop: section control, the
// update of every feature and the on-screen text banner.
#pragma once

#include "engine/engine_state.h"

#include <cstdint>

// The product line shown in banner 0.
extern const char PRODUCT_LINE[];

// One pass at section time t; `now` is the millisecond clock's value, which
// a section that begins in this pass (and the first pass) takes as its start.
void FrameTick(Engine& e, uint32_t t, uint32_t now);
// Starts the current section again from its beginning, as a change to it
// would start it; `now` is the millisecond clock's value, its new start.
void RestartSection(Engine& e, uint32_t now);
// After the pass at section time t: the earliest section time after t at
// which a pass may change anything (a feature, the section, the banner), so
// that the main loop can sleep until then: a start, the next tick after a
// start (what holds already acts then), a step of a fade, frame or movement,
// a condition's time, the end of a showing, the section's switch, the banner.
// Passes in between would change nothing; a pass before it, in a later
// millisecond than t, is harmless. 0xFFFFFFFF when nothing is pending.
uint32_t NextChangeTime(Engine& e, uint32_t t);
