// The run loop: the section clock, one frame tick and one message per pass,
// idle work at most every 100 ms, and the mixer's start and stop.
#pragma once

struct SaverRun;

// Runs until the quit message and returns the process exit code.
int RunLoop(SaverRun& run);
// One pass of the loop; false once the quit message has been pumped.
bool RunLoopPass(SaverRun& run);
// Prepares the loop (mixer, clocks) and ends it (mixer shutdown, the palette
// file of -exp256); RunLoop calls both, tools that drive passes themselves
// call them around their passes.
void BeginRunLoop(SaverRun& run);
void EndRunLoop(SaverRun& run);
