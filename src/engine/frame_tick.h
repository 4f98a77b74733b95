// The engine's entry once per pass of the main loop: section control, the
// update of every feature and the on-screen text banner.
#pragma once

#include "engine/engine_state.h"

#include <cstdint>

// The product line shown in banner 0.
extern const char PRODUCT_LINE[];

// One pass at section time t.
void FrameTick(Engine& e, uint32_t t);
// After the pass at section time t: the earliest section time after t at
// which a pass may change anything (a feature, the section, the banner), so
// that the main loop can sleep until then: a start, the next tick after a
// start (what holds already acts then), a step of a fade, frame or movement,
// a condition's time, the end of a showing, the section's switch, the banner.
// Passes in between would change nothing; a pass before it, in a later
// millisecond than t, is harmless. 0xFFFFFFFF when nothing is pending.
uint32_t NextChangeTime(Engine& e, uint32_t t);
