// The main window's cost: building it with its five image lists, the first paint of each page
// (every picture rendered once, at the size it is shown) and a repaint from the caches.
// Each reports the process's peak resident memory once it has run.
#include "BenchMain.h"
#include "KovMainForm.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int PageCount = 5;

double PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss); // kilobytes on Linux
}

void PaintPage(TKovMainForm& window, int page, QImage& canvas) {
    window.TabControl->setCurrentIndex(page);
    window.render(&canvas);
}

void BM_ConstructWindow(benchmark::State& state) {
    for (auto _ : state) {
        TKovMainForm window;
        benchmark::DoNotOptimize(window.ImageListSS);
    }
    state.counters["peak_rss_KiB"] = PeakResidentKiB();
}
BENCHMARK(BM_ConstructWindow)->Unit(benchmark::kMillisecond);

void BM_ConstructAndPaintEveryPage(benchmark::State& state) {
    QImage canvas(420, 884, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        TKovMainForm window;
        window.show();
        for (int page = 0; page < PageCount; ++page) {
            PaintPage(window, page, canvas);
        }
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.counters["peak_rss_KiB"] = PeakResidentKiB();
}
BENCHMARK(BM_ConstructAndPaintEveryPage)->Unit(benchmark::kMillisecond);

void BM_RepaintMainPage(benchmark::State& state) {
    QImage canvas(420, 884, QImage::Format_ARGB32_Premultiplied);
    TKovMainForm window;
    window.show();
    PaintPage(window, 0, canvas);
    for (auto _ : state) {
        window.render(&canvas);
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.counters["peak_rss_KiB"] = PeakResidentKiB();
}
BENCHMARK(BM_RepaintMainPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QApplication>(argc, argv);
}
