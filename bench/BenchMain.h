#pragma once
#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside an application object of type App: Qt's timers,
// sockets and widgets need one, though no event loop runs.
template <typename App> int RunBenchmarks(int argc, char** argv) {
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
