#include "PollFreshness.h"

namespace {
bool IsSlotNum(std::int32_t Num) {
    return Num >= 1 && Num <= TDravonSockets::SOCKET_COUNT;
}
} // namespace

void TPollFreshness::Answered(std::int32_t SocketNum) {
    if (IsSlotNum(SocketNum))
        FAnsweredAt[static_cast<std::size_t>(SocketNum - 1)] = FRunningTicks;
}

bool TPollFreshness::Stale(std::int32_t SocketNum) const {
    return IsSlotNum(SocketNum) &&
           FRunningTicks - FAnsweredAt[static_cast<std::size_t>(SocketNum - 1)] >=
               STALE_AFTER_TICKS;
}
