#include "base/error_sink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(ErrorSinkTest, ShowsTheMessageAndRecordsTheLineBeingRead) {
    ErrorSink errors;
    std::vector<std::string> shown;
    errors.show = [](void* user, const char* message) {
        static_cast<std::vector<std::string>*>(user)->emplace_back(message);
    };
    errors.user = &shown;
    int32_t line = 7;
    errors.line = &line;
    errors.ReportErrorF("Syntax Error: %s", "Missing '{'");
    EXPECT_EQ(shown, std::vector<std::string>{"Syntax Error: Missing '{'"});
    EXPECT_EQ(errors.errorLine, 7);
    EXPECT_STREQ(errors.messageBuffer, "Syntax Error: Missing '{'");
}

TEST(ErrorSinkTest, CutsOverlongMessages) {
    ErrorSink errors;
    std::string huge(1000, 'n');
    errors.ReportErrorF("File Not Found: %s", huge.c_str());
    EXPECT_EQ(std::strlen(errors.messageBuffer), static_cast<size_t>(MESSAGE_BUFFER_SIZE - 1));
}

} // namespace
