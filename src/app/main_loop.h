// The run loop: the section clock, one frame tick and one message per pass,
// idle work at most every 100 ms, and the mixer's start and stop.
#pragma once

#include "app/main_loop_state.h"

#include <cstdint>

extern bool displayReady; // the display exists; the tick runs only then

// Runs until the quit message and returns the process exit code.
int RunLoop();
// One pass of the loop; false once the quit message has been pumped.
bool RunLoopPass();
// Prepares the loop (mixer, clocks) and ends it (mixer shutdown); RunLoop calls
// both, tools that drive passes themselves call them around their passes.
void BeginRunLoop();
void EndRunLoop();
