#include "ports/headless/headless_system.h"

#include "ports/headless/headless_audio.h"

#include <cstdio>

void HeadlessSystem::ShowMessageBox(const char* caption, const char* text) {
    messages.push_back({caption, text});
    if (echoMessages) std::fprintf(stderr, "message: %s: %s\n", caption, text);
}

void HeadlessSystem::LogMessage(const char* caption, const char* text) {
    messages.push_back({caption, text, true});
    if (echoMessages) std::fprintf(stderr, "log: %s: %s\n", caption, text);
}

void HeadlessSystem::SetTime(uint32_t ms) {
    virtualTime = ms;
    if (audio) audio->ClockSet();
}

void HeadlessSystem::AdvanceTime(uint32_t ms) {
    virtualTime += ms;
    if (audio) audio->ClockAdvanced(); // the sound output plays what falls due
}
