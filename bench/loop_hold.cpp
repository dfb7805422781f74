// How long the port holds the event loop: the port with its real TCP client runs on its own timer
// against one kind of gateway on 127.0.0.1 at a time, and every event the application delivers
// is timed. The longest delivery is the longest the window would have been kept waiting.
//
//   loop_hold SIMULATOR [SECONDS]
//
// SIMULATOR is the gateway simulator's program; each gateway is polled for SECONDS (12 by
// default), past the port's start delay.
#include "DravonRTU.h"
#include "G700SimProcess.h"
#include "LoopbackPeers.h"
#include "PollSetQueue.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The application that times every event it delivers.
class TTimedApplication : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;

    bool notify(QObject* Receiver, QEvent* Event) override {
        const Clock::time_point start = Clock::now();
        const bool handled = QCoreApplication::notify(Receiver, Event);
        Longest = std::max(Longest, Clock::now() - start);
        ++Delivered;
        return handled;
    }

    Clock::duration Longest{};
    long Delivered = 0;
};

struct TGateway {
    const char* Name;
    std::vector<std::string> SimFlags; // empty with NeverAccepts
    bool NeverAccepts;
};

struct TResult {
    double LongestMs;
    long Events;
    int Answers;
};

TResult Poll(TTimedApplication& Application, const std::string& Simulator, const TGateway& Gateway,
             int Seconds) {
    std::unique_ptr<TG700SimProcess> sim;
    std::unique_ptr<UnansweringListener> listener;
    std::uint16_t tcpPort = 0;
    if (Gateway.NeverAccepts) {
        listener = std::make_unique<UnansweringListener>();
        listener->FillQueue();
        tcpPort = listener->Port();
    } else {
        sim = std::make_unique<TG700SimProcess>(Simulator, Gateway.SimFlags);
        tcpPort = static_cast<std::uint16_t>(sim->Port());
    }
    TDravonPort port;
    port.SetServerTCPIPNum(QStringLiteral("127.0.0.1"));
    port.SetServerTCPPortNum(tcpPort);
    port.SetSocketServerStart(true);
    int answers = 0;
    for (const std::int32_t slot : QueuePollSet(*port.Sockets, 1))
        port.Sockets->SetOnSocketEnd(slot, [&answers](std::int32_t) { ++answers; });
    port.Start();
    QEventLoop loop;
    // The start delay passes first; it holds nothing.
    QTimer::singleShot(TDravonPort::START_DELAY_TICKS * TDravonPort::TICK_MS, &loop, [&] {
        Application.Longest = {};
        Application.Delivered = 0;
        QTimer::singleShot(Seconds * 1000, &loop, &QEventLoop::quit);
    });
    loop.exec();
    const double longest =
        std::chrono::duration<double, std::milli>(Application.Longest).count();
    return {longest, Application.Delivered, answers};
}

} // namespace

int main(int argc, char** argv) {
    TTimedApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: loop_hold SIMULATOR [SECONDS]\n");
        return 2;
    }
    const std::string simulator = argv[1];
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    const TGateway gateways[] = {
        {"healthy", {}, false},
        {"silent (never answers)", {"--stall-after", "0"}, false},
        {"never accepts (full backlog)", {}, true},
        {"answers 800 ms late", {"--delay", "800"}, false},
        {"closes every connection", {"--close-after", "1"}, false},
    };
    std::printf("%-32s %12s %10s %8s\n", "Gateway", "Longest hold", "Events", "Answers");
    for (const TGateway& gateway : gateways) {
        const TResult result = Poll(application, simulator, gateway, seconds);
        std::printf("%-32s %9.1f ms %10ld %8d\n", gateway.Name, result.LongestMs, result.Events,
                    result.Answers);
        std::fflush(stdout);
    }
    return 0;
}
