// The clock state of the main loop, shared with the frame tick and the mixer.
#pragma once

#include <atomic>
#include <cstdint>

// Milliseconds since the current section began; written by the main loop once
// per pass, read by the mixer's thread to cut sounds that have a stop time.
extern std::atomic<uint32_t> sectionTime;
// Millisecond clock value at which the current section's clock started.
extern uint32_t clockStart;
