// Controls of the headless platform for tests and tools: a virtual clock and
// captured message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HeadlessMessage {
    std::string caption;
    std::string text;
};

// Every message box shown since the last clear, oldest first.
const std::vector<HeadlessMessage>& HeadlessMessages();
void HeadlessClearMessages();
// When set, message boxes are also printed as "message: <caption>: <text>" on stderr.
void HeadlessEchoMessages(bool on);

void HeadlessSetTime(uint32_t ms);
void HeadlessAdvanceTime(uint32_t ms);
