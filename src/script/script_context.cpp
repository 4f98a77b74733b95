#include "script/script_context.h"

#include "base/error_sink.h"

#include <cstring>

int ScriptContext::ReportInvalidKeyword(const char* text) {
    int length = static_cast<int>(std::strcspn(text, "\r\n"));
    if (errors) errors->ReportErrorF("Invalid Keyword: %.*s", length, text);
    return 0;
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
    std::memset(&overflowModule, 0, sizeof(overflowModule));
}
