#pragma once
#include "SocketRTU.h"

#include <array>
#include <cstdint>

// How a reading of the selected sauna stands.
enum TReadingAge : std::uint8_t {
    READING_UNKNOWN, // no answer of the slot's unit since the start, the link's start or a sauna
                     // change
    READING_OLD,     // answered once, but not lately, or the link went down since
    READING_LIVE,    // answered lately over the link that stands now
};

// How long each request slot has gone without an accepted answer, in running ticks of the poll
// engine (a tick that blocked on the network counts the intervals it held), and which unit gave
// that answer. A tick costs one addition; an age is worked out only when asked for.
class TPollFreshness {
public:
    // A slot is old after this many running ticks (5 s) without an accepted answer.
    static constexpr std::int32_t STALE_AFTER_TICKS = 50;

    void CountRunningTicks(std::int32_t Ticks) { FRunningTicks += Ticks; }
    // Slot SocketNum (1 to 30) has had an answer of unit Unit accepted in this tick.
    void Answered(std::int32_t SocketNum, std::int32_t Unit);
    // Unknown unless unit Unit answered the slot since it was last forgotten; old when that was
    // STALE_AFTER_TICKS ago or more, or the link went down since.
    TReadingAge Age(std::int32_t SocketNum, std::int32_t Unit) const;
    // What was read came over a link that is gone: every answer is old until the slot is
    // answered again.
    void AgeAll() { FLinkLost.fill(true); }
    // Every slot is unknown until it is answered again.
    void ForgetAll() { FAnsweredBy.fill(0); }

private:
    std::int32_t FRunningTicks = 0;
    // The running tick of each slot's last accepted answer.
    std::array<std::int32_t, TDravonSockets::SOCKET_COUNT> FAnsweredAt{};
    // The unit that gave it; 0 before the first answer and after ForgetAll.
    std::array<std::int32_t, TDravonSockets::SOCKET_COUNT> FAnsweredBy{};
    // The link went down after that answer.
    std::array<bool, TDravonSockets::SOCKET_COUNT> FLinkLost{};
};
