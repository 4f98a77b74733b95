#include "app/main_loop_state.h"

std::atomic<uint32_t> sectionTime{0};
