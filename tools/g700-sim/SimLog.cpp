#include "SimLog.h"

#include <cstdio>

void TSimLog::Say(const std::string& Line) const {
    const std::int64_t Ms = FClock.Now().RealMs;
    std::printf("%6lld.%03lld %s\n", static_cast<long long>(Ms / 1000),
                static_cast<long long>(Ms % 1000), Line.c_str());
    std::fflush(stdout);
}
