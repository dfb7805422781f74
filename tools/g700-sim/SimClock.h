#pragma once
#include "SimTime.h"

#include <chrono>

// The simulator's time since it started, and the faster model clock derived from it.
class TSimClock {
public:
    explicit TSimClock(int TimeScale)
        : FStart(std::chrono::steady_clock::now()), FTimeScale(TimeScale) {}

    TSimTime Now() const {
        const auto Real = std::chrono::steady_clock::now() - FStart;
        return {Real,
                std::chrono::duration_cast<std::chrono::milliseconds>(Real).count() * FTimeScale};
    }

private:
    const std::chrono::steady_clock::time_point FStart;
    const std::int64_t FTimeScale;
};
