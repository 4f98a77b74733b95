// Clock state of the main loop, shared with the frame tick and read by other threads.
#pragma once

#include <atomic>
#include <cstdint>

// Milliseconds since the current section began, written by the main loop at
// the top of every pass and read by the mixer on the sound device's thread.
extern std::atomic<uint32_t> sectionTime;
// Millisecond clock value at which the current section's clock started.
extern uint32_t clockStart;
