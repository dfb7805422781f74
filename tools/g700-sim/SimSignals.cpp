#include "SimSignals.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t StopFlag = 0;

void OnStopSignal(int) {
    StopFlag = 1;
}
} // namespace

void InstallStopHandlers() {
    struct sigaction Action {};
    Action.sa_handler = OnStopSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = 0; // no SA_RESTART: a wait in progress returns at once
    sigaction(SIGINT, &Action, nullptr);
    sigaction(SIGTERM, &Action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
    return StopFlag != 0;
}
