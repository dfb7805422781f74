// Time per tick of the poll engine serving the poll set from a scripted gateway.
#include "BenchMain.h"
#include "DravonRTU.h"
#include "FakeTCPClient.h"
#include "ModbusReplies.h"
#include "SaunaREG.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_PollSetTick(benchmark::State& state) {
    auto client = std::make_unique<FakeTCPClient>();
    FakeTCPClient& fake = *client;
    TDravonPort port(std::move(client));
    TSaunaMX controller;
    fake.SetConnected(true);
    fake.Responder = [&](const QByteArray& request) {
        // Keep only the last request, so memory stays flat however long the run.
        fake.Written.clear();
        return ReplyFromController(controller, request);
    };
    for (const TPollBlock& block : POLL_SET) {
        if (block.Coils)
            port.Sockets->AddReadRBBlock(1, block.First, block.Count, SOCKET_MODE_MULTI);
        else
            port.Sockets->AddReadRWBlock(1, block.First, block.Count, SOCKET_MODE_MULTI);
    }
    port.SetSocketServerStart(true);
    for (int tick = 0; tick < TDravonPort::START_DELAY_TICKS; ++tick)
        port.SocketTimerTick();
    for (auto _ : state) {
        fake.Advance(TDravonPort::TICK_MS);
        port.SocketTimerTick();
        benchmark::DoNotOptimize(port.Status());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PollSetTick);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv);
}
