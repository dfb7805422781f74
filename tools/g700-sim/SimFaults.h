#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The faults injected for robustness runs. Counts are per connection, from 1; 0 or unset means
// the fault is off.
struct TFaultOptions {
    int DelayMs = 0;               // every answer goes out this late
    int DropEvery = 0;             // every Nth request is acted on, its answer never sent
    int ExceptionEvery = 0;        // every Nth request is not acted on and gets exception 4
    int CloseAfter = 0;            // the connection is closed after the Nth request
    std::optional<int> SplitGapMs; // every answer goes out as two segments this far apart
    int GarbageBytes = 0;          // this many stray bytes go out before every answer
    std::optional<int> StallAfter; // requests after the Nth get no answer at all
};

// What happens to one request.
struct TFaultDecision {
    bool Stall = false;     // no answer; the connection stays open
    bool Exception = false; // not acted on; answered with "server device failure"
    bool Drop = false;      // acted on; the answer is not sent
    bool Close = false;     // the connection is closed after it
};

TFaultDecision DecideFaults(const TFaultOptions& Faults, int RequestNumber);

// The same stray bytes every time, so that a test can recognise them.
std::vector<std::uint8_t> GarbageBytes(int Count);

// One line per fault that is switched on, for the start-up report.
std::vector<std::string> DescribeFaults(const TFaultOptions& Faults);
