// A measuring probe that scripts/bench preloads (LD_PRELOAD) into the panel and into the bare
// window, so that neither program carries any measuring code of its own. Once the application
// object exists it watches every event: it counts the paint events that reach each widget and
// stamps the moment the first frame of a window has been painted.
//
// It writes its report to the file named by KOV_PROBE_REPORT: once when the first frame is
// painted, and again on every SIGUSR1. The report's lines:
//   first_frame_us  T   wall-clock time (CLOCK_REALTIME, microseconds) of the first frame
//   paint_events    N   paint events delivered to widgets so far
//   paint WIDGET    N   of those, the ones delivered to WIDGET (class:objectName)
#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QMap>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

int ReportPipe[2] = {-1, -1};

void RequestReport(int) {
    const char byte = 'r';
    [[maybe_unused]] const ssize_t written = write(ReportPipe[1], &byte, 1);
}

long long NowMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

class TPaintProbe : public QObject {
public:
    explicit TPaintProbe(QString reportPath) : FReportPath(std::move(reportPath)) {}

    // The report on request, read on the application's own thread.
    void ListenForRequests() {
        if (pipe2(ReportPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            return;
        }
        auto* notifier = new QSocketNotifier(ReportPipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (read(ReportPipe[0], bytes, sizeof bytes) > 0) {
            }
            WriteReport();
        });
        std::signal(SIGUSR1, RequestReport);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !watched->isWidgetType()) {
            return false;
        }
        ++FPaintEvents;
        ++FPaintsByWidget[QByteArray(watched->metaObject()->className()) + ':' +
                          watched->objectName().toUtf8()];
        if (FFirstFrameUs == 0 && !FFirstFrameQueued &&
            static_cast<QWidget*>(watched)->isWindow()) {
            // The frame is on screen once this paint and the rest of its pass are done.
            FFirstFrameQueued = true;
            QTimer::singleShot(0, this, [this] {
                FFirstFrameUs = NowMicroseconds();
                WriteReport();
            });
        }
        return false;
    }

private:
    void WriteReport() const {
        QSaveFile file(FReportPath);
        if (!file.open(QIODevice::WriteOnly)) {
            return;
        }
        QByteArray text = "first_frame_us " + QByteArray::number(FFirstFrameUs) + '\n' +
                          "paint_events " + QByteArray::number(FPaintEvents) + '\n';
        for (auto it = FPaintsByWidget.cbegin(); it != FPaintsByWidget.cend(); ++it) {
            text += "paint " + it.key() + ' ' + QByteArray::number(it.value()) + '\n';
        }
        file.write(text);
        file.commit();
    }

    QString FReportPath;
    long long FFirstFrameUs = 0;
    bool FFirstFrameQueued = false;
    long long FPaintEvents = 0;
    QMap<QByteArray, long long> FPaintsByWidget;
};

void InstallProbe() {
    const QString reportPath = qEnvironmentVariable("KOV_PROBE_REPORT");
    if (reportPath.isEmpty()) {
        return;
    }
    auto* probe = new TPaintProbe(reportPath);
    probe->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
    // The notifier needs the event dispatcher, which is there once the loop runs.
    QTimer::singleShot(0, probe, [probe] { probe->ListenForRequests(); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
