#pragma once
#include <string>

// Everything written to the process's standard error (file descriptor 2) while one lives,
// for a test to read as a person at the terminal would have seen it.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // What was written so far.
    std::string Text() const;

private:
    int FSaved = -1;
    int FCaptured = -1;
};
