#pragma once
#include "SocketRTU.h"

#include <array>
#include <cstdint>

// How long each request slot has gone without an accepted answer, in running ticks of the poll
// engine (a tick that blocked on the network counts the intervals it held), and which unit gave
// that answer. A tick costs one addition; an age is worked out only when asked for.
class TPollFreshness {
public:
    // A slot is stale after this many running ticks (5 s) without an accepted answer.
    static constexpr std::int32_t STALE_AFTER_TICKS = 50;

    void CountRunningTicks(std::int32_t Ticks) { FRunningTicks += Ticks; }
    // Slot SocketNum (1 to 30) has had an answer of unit Unit accepted in this tick.
    void Answered(std::int32_t SocketNum, std::int32_t Unit);
    // Stale unless unit Unit answered the slot less than STALE_AFTER_TICKS ago.
    bool Stale(std::int32_t SocketNum, std::int32_t Unit) const;
    // Every slot is stale until it is answered again: what was read came over a link that is
    // gone.
    void ForgetAll() { FAnsweredBy.fill(0); }

private:
    std::int32_t FRunningTicks = 0;
    // The running tick of each slot's last accepted answer.
    std::array<std::int32_t, TDravonSockets::SOCKET_COUNT> FAnsweredAt{};
    // The unit that gave it; 0 before the first answer and after ForgetAll.
    std::array<std::int32_t, TDravonSockets::SOCKET_COUNT> FAnsweredBy{};
};
