#include "PollFreshness.h"

namespace {
bool IsSlotNum(std::int32_t Num) {
    return Num >= 1 && Num <= TDravonSockets::SOCKET_COUNT;
}
} // namespace

void TPollFreshness::Answered(std::int32_t SocketNum, std::int32_t Unit, std::int64_t NowMs) {
    if (!IsSlotNum(SocketNum))
        return;
    const auto index = static_cast<std::size_t>(SocketNum - 1);
    FAnsweredAt[index] = NowMs;
    FAnsweredBy[index] = Unit;
    FLinkLost[index] = false;
}

TReadingAge TPollFreshness::Age(std::int32_t SocketNum, std::int32_t Unit,
                                std::int64_t NowMs) const {
    if (!IsSlotNum(SocketNum))
        return READING_LIVE;
    const auto index = static_cast<std::size_t>(SocketNum - 1);
    if (FAnsweredBy[index] == 0 || FAnsweredBy[index] != Unit)
        return READING_UNKNOWN;
    if (FLinkLost[index] || NowMs - FAnsweredAt[index] >= STALE_AFTER_MS)
        return READING_OLD;
    return READING_LIVE;
}
