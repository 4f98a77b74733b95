#include "script/script_context.h"

#include "base/error_sink.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int ScriptContext::ReportInvalidKeyword(const char* text) {
    int length = static_cast<int>(std::strcspn(text, "\r\n"));
    if (errors) errors->ReportErrorF("Invalid Keyword: %.*s", length, text);
    return 0;
}

void ScriptContext::Warn(const char* format, ...) const {
    if (!WantsWarnings()) return;
    char text[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    errors->WarnAt(reader.lineNumber, text);
}

bool ScriptContext::WantsWarnings() const {
    return errors && errors->WantsWarnings();
}

const FeatureSource& ScriptContext::FeatureSourceOf(int32_t index) const {
    static const FeatureSource none = {-1, ""};
    return index >= 0 && index < MAX_FEATURES ? sources[index] : none;
}

void ScriptContext::Reset() {
    reader.Reset();
    theme.ResetModuleContent();
    theme.ResetModuleTable();
    std::memset(sources, 0, sizeof(sources));
    std::memset(labelLines, 0, sizeof(labelLines));
    std::memset(&overflowModule, 0, sizeof(overflowModule));
}

void ScriptContext::ReportTo(ErrorSink& sink) {
    errors = &sink;
    reader.warnings = &sink;
    sink.line = &reader.lineNumber;
}
