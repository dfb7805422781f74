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

// When each request slot last had an answer accepted, on the link's clock in milliseconds, and
// which unit gave that answer. An age is worked out only when asked for.
class TPollFreshness {
public:
    // A slot is old 5 s after its last accepted answer.
    static constexpr std::int64_t STALE_AFTER_MS = 5000;

    // Slot SocketNum (1 to 30) has had an answer of unit Unit accepted at NowMs.
    void Answered(std::int32_t SocketNum, std::int32_t Unit, std::int64_t NowMs);
    // Unknown unless unit Unit answered the slot since it was last forgotten; old when that was
    // STALE_AFTER_MS before NowMs or longer, or the link went down since.
    TReadingAge Age(std::int32_t SocketNum, std::int32_t Unit, std::int64_t NowMs) const;
    // What was read came over a link that is gone: every answer is old until the slot is
    // answered again.
    void AgeAll() { FLinkLost.fill(true); }
    // Every slot is unknown until it is answered again.
    void ForgetAll() { FAnsweredBy.fill(0); }

private:
    std::array<std::int64_t, TDravonSockets::SOCKET_COUNT> FAnsweredAt{};
    // The unit that gave it; 0 before the first answer and after ForgetAll.
    std::array<std::int32_t, TDravonSockets::SOCKET_COUNT> FAnsweredBy{};
    // The link went down after that answer.
    std::array<bool, TDravonSockets::SOCKET_COUNT> FLinkLost{};
};
