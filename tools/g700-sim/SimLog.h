#pragma once
#include "SimClock.h"

#include <string>

// The simulator's report on stdout: one line per event, stamped with the seconds since start
// and flushed at once so that a watching test or demo sees it live.
class TSimLog {
public:
    explicit TSimLog(const TSimClock& Clock) : FClock(Clock) {}

    void Say(const std::string& Line) const;

private:
    const TSimClock& FClock;
};
