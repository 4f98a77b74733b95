#include "base/error_sink.h"

#include <cstdarg>
#include <cstdio>

void ErrorSink::ReportError(const char* message) {
    ShowMessage(message);
    errorLine = line ? *line : 0;
}

void ErrorSink::ReportErrorF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(messageBuffer, sizeof(messageBuffer), format, args);
    va_end(args);
    ReportError(messageBuffer);
}

void ErrorSink::ShowMessage(const char* message) const {
    if (show) show(user, message);
}

void ErrorSink::ReportFailure(const char* message) {
    ShowMessage(message);
    failedOutsideScript = true;
}

void ErrorSink::Clear() {
    errorLine = 0;
    failedOutsideScript = false;
    messageBuffer[0] = '\0';
}

void ErrorSink::WarnF(const char* format, ...) {
    if (!warn) return;
    char text[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    WarnAt(line ? *line : 0, text);
}

void ErrorSink::WarnAt(int32_t at, const char* text) const {
    if (warn) warn(warnUser, at, text);
}

int ExitStatusForLine(int32_t line) {
    if (line <= 0) return line == 0 ? 0 : 1;
#ifdef _WIN32
    return line;
#else
    return line < 255 ? line : 255;
#endif
}

int ExitStatus(const ErrorSink& errors) {
    if (errors.errorLine != 0) return ExitStatusForLine(errors.errorLine);
    return errors.failedOutsideScript ? 1 : 0;
}
