#include "SimSignals.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t StopFlag = 0;
volatile std::sig_atomic_t FaultsOffFlag = 0;

void OnStopSignal(int) {
    StopFlag = 1;
}

void OnFaultsOffSignal(int) {
    FaultsOffFlag = 1;
}

void Handle(int Signal, void (*Handler)(int)) {
    struct sigaction Action {};
    Action.sa_handler = Handler;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = 0; // no SA_RESTART: a wait in progress returns at once
    sigaction(Signal, &Action, nullptr);
}
} // namespace

void InstallStopHandlers() {
    Handle(SIGINT, OnStopSignal);
    Handle(SIGTERM, OnStopSignal);
    Handle(SIGUSR1, OnFaultsOffSignal);
    std::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
    return StopFlag != 0;
}

bool FaultsOffRequested() {
    return FaultsOffFlag != 0;
}
