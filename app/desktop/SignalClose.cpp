#include "SignalClose.h"

#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int SIGNALS[] = {SIGTERM, SIGINT};

// The signal handler's end of the pipe to the event loop, and the loop's end.
int SignalWriteEnd = -1;
int SignalReadEnd = -1;

// Only async-signal-safe work here: one byte into the pipe.
void WakeEventLoop(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(SignalWriteEnd, &byte, 1);
}

void HandleSignals(void (*Handler)(int)) {
    struct sigaction action {};
    action.sa_handler = Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : SIGNALS) {
        sigaction(signal, &action, nullptr);
    }
}

} // namespace

TSignalClose::TSignalClose(QWidget& Window) : FWindow(&Window) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return; // the signals keep their default action and end the process at once
    }
    SignalWriteEnd = ends[0];
    SignalReadEnd = ends[1];
    FNotifier = std::make_unique<QSocketNotifier>(SignalReadEnd, QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, &TSignalClose::CloseWindow);
    HandleSignals(WakeEventLoop);
}

TSignalClose::~TSignalClose() {
    if (!FNotifier) {
        return;
    }
    HandleSignals(SIG_DFL);
    FNotifier.reset();
    close(SignalWriteEnd);
    close(SignalReadEnd);
    SignalWriteEnd = -1;
    SignalReadEnd = -1;
}

void TSignalClose::CloseWindow() {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = read(SignalReadEnd, &byte, 1);
    if (FWindow) {
        FWindow->close();
    }
}
