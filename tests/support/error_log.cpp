#include "support/error_log.h"

#include "base/error_sink.h"

ErrorLog::ErrorLog(ErrorSink& errors) {
    errors.show = [](void* user, const char* message) {
        static_cast<ErrorLog*>(user)->texts.emplace_back(message);
    };
    errors.user = this;
}
