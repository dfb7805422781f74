#pragma once
#include <chrono>
#include <cstdint>

// A moment of the simulator's run: the real time since the start, in the full precision of the
// monotonic clock, and the model clock in milliseconds, which runs --time-scale times faster so
// that slow sauna effects can be watched in a demo.
struct TSimTime {
    std::chrono::steady_clock::duration Real{};
    std::int64_t ModelMs = 0;
};
