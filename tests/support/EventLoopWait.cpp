#include "EventLoopWait.h"

#include <QEventLoop>
#include <QTimer>

bool RunEventsUntil(const std::function<bool()>& Done, std::chrono::milliseconds Limit) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + Limit;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (Done() || Clock::now() >= end)
            loop.quit();
    });
    check.start(1);
    if (!Done())
        loop.exec();
    return Done();
}
