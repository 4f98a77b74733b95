// The messages an error sink shows, kept for a test to read instead of shown
// in message boxes: what tests of the layers below the application use.
#pragma once

#include <string>
#include <vector>

struct ErrorSink;

struct ErrorLog {
    // Makes `errors` show its messages here; the log must outlive its use.
    explicit ErrorLog(ErrorSink& errors);
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    std::vector<std::string> texts;
};
