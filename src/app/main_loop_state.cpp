#include "app/main_loop_state.h"

std::atomic<uint32_t> sectionTime{0};
uint32_t clockStart = 0;
