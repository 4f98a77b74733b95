// The headless system services: a virtual millisecond clock that tests and
// tools move by hand, and message boxes captured instead of shown.
#pragma once

#include "platform/system.h"

#include <cstdint>
#include <string>
#include <vector>

class HeadlessAudio;

struct HeadlessMessage {
    std::string caption;
    std::string text;
    bool logged = false; // a LogMessage rather than a box
};

class HeadlessSystem : public SystemServices {
  public:
    void ShowMessageBox(const char* caption, const char* text) override;
    void LogMessage(const char* caption, const char* text) override;
    uint32_t Milliseconds() override { return virtualTime; }

    // Every message shown since the last clear, oldest first.
    const std::vector<HeadlessMessage>& Messages() const { return messages; }
    void ClearMessages() { messages.clear(); }
    // When set, messages are also printed as "message: <caption>: <text>"
    // (or "log: ...") on stderr.
    void EchoMessages(bool on) { echoMessages = on; }

    // Setting the clock jumps; advancing it also lets the sound output play
    // the buffers that fall due.
    void SetTime(uint32_t ms);
    void AdvanceTime(uint32_t ms);

    // The sound output the clock drives (the port's).
    HeadlessAudio* audio = nullptr;

  private:
    std::vector<HeadlessMessage> messages;
    bool echoMessages = false;
    uint32_t virtualTime = 0;
};
