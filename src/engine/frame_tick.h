// The engine's entry once per pass of the main loop: section control, the
// update of every feature and the on-screen text banner.
#pragma once

#include "engine/engine_state.h"

#include <cstdint>

// The product line shown in banner 0.
extern const char PRODUCT_LINE[];

// One pass at section time t.
void FrameTick(Engine& e, uint32_t t);
