#pragma once
// Four sauna controllers behind one scripted gateway, with the timing of real ones: a load
// command zeroes the edit block and fills it only later (some requests later, some time later on
// the gateway's clock, or both; meanwhile the block reads zeros or keeps the previous load), a
// second load while one is pending replaces it, a store command stores the edit value within the
// controller's limits, and every unit answers from its own registers. Served through a scripted
// client, every request is acted on as it arrives and its answer may come late or never.
#include "SaunaMX.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class FakeTCPClient;

class ControllerBus {
public:
    static constexpr int UNITS = 4;

    // Every unit a heating sauna (FillHeatingSauna) at 80 degrees, 40 to 110 in steps of one
    // degree, and 02:00 of work time, 00:30 to 10:30 in steps of ten minutes.
    ControllerBus();

    // The answer to one request; the gateway's clock moves one request on.
    QByteArray Answer(const QByteArray& Request);
    // Answers Fake's requests from now on: each is acted on as it arrives, and its answer arrives
    // AnswerDelayMs later on Fake's clock, or never when that is negative.
    void Serve(FakeTCPClient& Fake);

    // The controller of unit 1 to 4.
    TSaunaMX& Unit(int Num) { return FUnits[static_cast<std::size_t>(Num - 1)].Registers; }
    const TSaunaMX& Unit(int Num) const {
        return FUnits[static_cast<std::size_t>(Num - 1)].Registers;
    }
    // The limits and step a load command puts into the edit block of unit Num.
    void Limits(int Num, bool Temp, std::int32_t Min, std::int32_t Max, std::int32_t Step);

    // Requests the gateway serves between a load command and the filled edit block.
    int EditDelay = 0;
    // Milliseconds on the served client's clock between a load command and the filled block.
    std::int64_t EditDelayMs = 0;
    // While loading, the block keeps the previous load's values instead of reading zeros.
    bool KeepOldBlock = false;
    // How late the answer to each request comes when served through a client (0 when unset); a
    // negative delay drops it.
    std::function<std::int64_t(const QByteArray& Request)> AnswerDelayMs;

private:
    struct TLimits {
        std::int32_t Min;
        std::int32_t Max;
        std::int32_t Step;
    };
    struct TPendingLoad {
        bool Temp;
        long DueServed;
        std::int64_t DueMs;
    };
    struct TUnit {
        TSaunaMX Registers;
        TLimits Temp{400, 1100, 10};
        TLimits Time{30, 630, 10};
        std::optional<TPendingLoad> Pending;
    };

    void Command(TUnit& Unit, std::int32_t Code);
    void FillDueBlocks();
    std::int64_t NowMs() const;

    std::array<TUnit, UNITS> FUnits;
    long FServed = 0;
    const FakeTCPClient* FClock = nullptr;
};
