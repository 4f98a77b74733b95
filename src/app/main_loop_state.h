// Clock state of the main loop that other threads read.
#pragma once

#include <atomic>
#include <cstdint>

// Milliseconds since the current section began, written by the main loop at
// the top of every pass and read by the mixer on the sound device's thread.
extern std::atomic<uint32_t> sectionTime;
