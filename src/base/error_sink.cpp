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

void ErrorSink::Clear() {
    errorLine = 0;
    messageBuffer[0] = '\0';
}
