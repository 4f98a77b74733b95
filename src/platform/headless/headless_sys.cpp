#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/sys.h"

#include <cstdio>

namespace {
std::vector<HeadlessMessage> messages;
bool echoMessages = false;
uint32_t virtualTime = 0;
} // namespace

void SysMessageBox(const char* caption, const char* text) {
    messages.push_back({caption, text});
    if (echoMessages) std::fprintf(stderr, "message: %s: %s\n", caption, text);
}

void SysLogMessage(const char* caption, const char* text) {
    messages.push_back({caption, text, true});
    if (echoMessages) std::fprintf(stderr, "log: %s: %s\n", caption, text);
}

uint32_t SysMilliseconds() {
    return virtualTime;
}

const std::vector<HeadlessMessage>& HeadlessMessages() {
    return messages;
}
void HeadlessClearMessages() {
    messages.clear();
}
void HeadlessEchoMessages(bool on) {
    echoMessages = on;
}
void HeadlessSetTime(uint32_t ms) {
    virtualTime = ms;
    HeadlessAudioClockSet();
}
void HeadlessAdvanceTime(uint32_t ms) {
    virtualTime += ms;
    HeadlessAudioClockAdvanced(); // the sound output plays what falls due
}
