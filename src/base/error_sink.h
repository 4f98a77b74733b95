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
    // A failure outside the script (a script that cannot be found) was shown.
    bool failedOutsideScript = false;
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
    // Shows `message` for a failure outside the script, which the exit status
    // then reports.
    void ReportFailure(const char* message);

    // Receives warnings: what a theme loads with although its author would not
    // want it (something dropped, or read otherwise than written). The saver
    // installs none; the theme checker reports them.
    void (*warn)(void* user, int32_t line, const char* text) = nullptr;
    void* warnUser = nullptr;
    bool WantsWarnings() const {
        return warn != nullptr;
    }
    // A warning on the script line being read.
    void WarnF(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // A warning on script line `at` (0: the script as a whole).
    void WarnAt(int32_t at, const char* text) const;
    // Forgets the last error; the installed outputs stay.
    void Clear();
};

// The exit status of a run whose error was on script line `line` (0: none).
// Windows keeps the whole number; POSIX keeps 8 bits, so from line 255 on the
// status is 255: a wrapped value could read as success.
int ExitStatusForLine(int32_t line);
// The exit status of a run: its error's line, 1 for a failure outside the
// script, 0 without either.
int ExitStatus(const ErrorSink& errors);
