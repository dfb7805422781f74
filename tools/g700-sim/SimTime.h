#pragma once
#include <cstdint>

// A moment of the simulator's run: real milliseconds since the start, and the model clock, which
// runs --time-scale times faster so that slow sauna effects can be watched in a demo.
struct TSimTime {
    std::int64_t RealMs = 0;
    std::int64_t ModelMs = 0;
};
