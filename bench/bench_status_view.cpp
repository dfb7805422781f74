// The status view's cost on every port event: the time of one PortTrans call, and how many
// widgets it makes repaint. With an unchanged image no widget should repaint.
#include "BenchMain.h"
#include "RepaintWatch.h"
#include "WindowRig.h"

#include "SaunaREG.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

// The window shown and drawn once with the image, so that only changes are left to paint.
void ShowSettled(WindowRig& Rig) {
    FillHeatingSauna(Rig.Sauna());
    Rig.Raise(PORT_COMPLETE);
    Rig.Window->show();
    QApplication::processEvents();
}

// The widgets that repaint once the events pending after the calls are processed.
int CountRepainted() {
    TRepaintWatch watch;
    QApplication::processEvents();
    return static_cast<int>(watch.Painted.size());
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

// One transaction as the poll shows it, an unchanged image: the Tx and Rx indicators change
// colour on every step and repaint alone.
void BM_PortTransOneTransaction(benchmark::State& state) {
    WindowRig rig;
    ShowSettled(rig);
    for (auto _ : state) {
        for (const TPortStatus step : {PORT_TRANS, PORT_REC, PORT_COMPLETE}) {
            rig.Window->Port->OnTrans(step);
        }
    }
    state.counters["widgets_repainted"] = CountRepainted();
}
BENCHMARK(BM_PortTransOneTransaction);

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
