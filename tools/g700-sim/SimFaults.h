#pragma once
#include "SimFrames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The faults injected for robustness runs. Counts are per connection, from 1; 0 or unset means
// the fault is off.
struct TFaultOptions {
    int DelayMs = 0;               // every answer goes out this late
    int LateEvery = 0;             // every Nth answer goes out LateByMs later still
    int LateByMs = 1500;           // how much later a late answer goes out
    int DropEvery = 0;             // every Nth request is acted on, its answer never sent
    int DropPercent = 0;           // any request's answer is dropped with this chance
    unsigned Seed = 1;             // of the random drops, so that a run can be repeated
    int ExceptionEvery = 0;        // every Nth request is not acted on and gets exception 4
    int CloseAfter = 0;            // the connection is closed after the Nth request
    std::optional<int> SplitGapMs; // every answer goes out as two segments this far apart
    std::optional<int> DribbleMs;  // every answer goes out a byte at a time, this far apart
    int DoubleEvery = 0;           // every Nth answer goes out twice
    int GarbageBytes = 0;          // this many stray bytes go out before every answer
    std::optional<int> StallAfter; // requests after the Nth get no answer at all
    int OtherIdEvery = 0;          // every Nth answer carries another transaction identifier
    int OtherUnitEvery = 0;        // every Nth answer comes from another unit, with its identifier
    int OtherProtocolEvery = 0;    // every Nth answer carries protocol identifier 1
};

// What happens to one request.
struct TFaultDecision {
    bool Stall = false;         // no answer; the connection stays open
    bool Exception = false;     // not acted on; answered with "server device failure"
    bool Drop = false;          // acted on; the answer is not sent
    bool Close = false;         // the connection is closed after it
    bool Late = false;          // the answer goes out LateByMs later
    bool Double = false;        // the answer goes out twice
    bool OtherId = false;       // the answer carries another transaction identifier
    bool OtherUnit = false;     // the answer comes from another unit
    bool OtherProtocol = false; // the answer carries protocol identifier 1
};

// Percentile is a draw from 0 to 99 for the random drop.
TFaultDecision DecideFaults(const TFaultOptions& Faults, int RequestNumber, int Percentile);

// The unit that answers in place of Unit: the next one of the four, after 4 the first.
std::uint8_t OtherUnit(std::uint8_t Unit);

// Gives the answer to a request for RequestUnit the identifier, protocol identifier and unit the
// decision asks for: another identifier is 32768 away from the request's, another protocol
// identifier is 1, another unit is OtherUnit(RequestUnit).
void Misaddress(TFrame& Answer, const TFaultDecision& Fault, std::uint8_t RequestUnit);

// The same stray bytes every time, so that a test can recognise them.
std::vector<std::uint8_t> GarbageBytes(int Count);

// One line per fault that is switched on, for the start-up report.
std::vector<std::string> DescribeFaults(const TFaultOptions& Faults);
