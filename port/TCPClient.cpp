#include "TCPClient.h"

#include <chrono>

std::int64_t TTCPClient::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
