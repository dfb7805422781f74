// The status view's cost on every port event: the time of one PortTrans call, and how many
// widgets it makes repaint. With an unchanged image no widget should repaint.
#include "BenchMain.h"
#include "WindowRig.h"

#include "SaunaREG.h"

#include <QApplication>
#include <QEvent>
#include <QSet>

#include <benchmark/benchmark.h>

namespace {

// Records every widget that receives a paint event.
class TPaintCounter : public QObject {
public:
    QSet<QObject*> Painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted.insert(watched);
        }
        return false;
    }
};

// The window shown and drawn once with the image, so that only changes are left to paint.
void ShowSettled(WindowRig& Rig) {
    FillHeatingSauna(Rig.Sauna());
    Rig.Raise(PORT_COMPLETE);
    Rig.Window->show();
    QApplication::processEvents();
}

// The widgets that repaint once the events pending after the calls are processed.
int CountRepainted() {
    TPaintCounter counter;
    qApp->installEventFilter(&counter);
    QApplication::processEvents();
    qApp->removeEventFilter(&counter);
    return static_cast<int>(counter.Painted.size());
}

void BM_PortTransUnchangedImage(benchmark::State& state) {
    WindowRig rig;
    ShowSettled(rig);
    for (auto _ : state) {
        rig.Window->Port->OnTrans(PORT_COMPLETE);
    }
    state.counters["widgets_repainted"] = CountRepainted();
}
BENCHMARK(BM_PortTransUnchangedImage);

// For comparison: a new temperature on every call repaints the digits that change, and what
// lies under them.
void BM_PortTransNewTemperature(benchmark::State& state) {
    WindowRig rig;
    ShowSettled(rig);
    std::int32_t temperature = 853;
    for (auto _ : state) {
        temperature = temperature == 853 ? 742 : 853;
        rig.Sauna().WriteTableREG(REG_TEMP_ACT, temperature);
        rig.Window->Port->OnTrans(PORT_COMPLETE);
    }
    state.counters["widgets_repainted"] = CountRepainted();
}
BENCHMARK(BM_PortTransNewTemperature);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QApplication>(argc, argv);
}
