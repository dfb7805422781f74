#include "SimLog.h"

#include <chrono>
#include <cstdio>

void TSimLog::Say(const std::string& Line) const {
    const std::int64_t Ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(FClock.Now().Real).count();
    std::printf("%6lld.%03lld %s\n", static_cast<long long>(Ms / 1000),
                static_cast<long long>(Ms % 1000), Line.c_str());
    std::fflush(stdout);
}
