// The one error reporter of the system. Every layer reports its failures
// here; the application decides how a message reaches the user (a message box
// captioned with the application title) and which script line an error
// belongs to.
#pragma once

#include <cstdint>

constexpr int MESSAGE_BUFFER_SIZE = 256;

struct ErrorSink {
    // Shows `message` to the user; installed by the application. Without it
    // messages are only recorded.
    void (*show)(void* user, const char* message) = nullptr;
    void* user = nullptr;
    // The script line being read, when a script is being read: the line that
    // an error is recorded against.
    const int32_t* line = nullptr;

    // The line of the last reported error; 0 while none was reported.
    int32_t errorLine = 0;
    // The last formatted message.
    char messageBuffer[MESSAGE_BUFFER_SIZE] = {};

    // Shows `message` and records the current script line in `errorLine`.
    void ReportError(const char* message);
    // Formats into `messageBuffer`, then reports it.
    void ReportErrorF(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Shows `message` without recording a line (failures outside the script).
    void ShowMessage(const char* message) const;
    // Forgets the last error; the installed outputs stay.
    void Clear();
};
