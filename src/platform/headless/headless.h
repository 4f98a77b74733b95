// Controls of the headless platform for tests and tools: a virtual clock and
// captured message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HeadlessMessage {
    std::string caption;
    std::string text;
    bool logged = false; // SysLogMessage: no box
};

// Every message box shown (and message logged) since the last clear, oldest first.
const std::vector<HeadlessMessage>& HeadlessMessages();
void HeadlessClearMessages();
// When set, message boxes are also printed as "message: <caption>: <text>" on stderr.
void HeadlessEchoMessages(bool on);

// Setting the clock jumps; advancing it also lets the sound output play the
// buffers that fall due (headless_audio.h).
void HeadlessSetTime(uint32_t ms);
void HeadlessAdvanceTime(uint32_t ms);
