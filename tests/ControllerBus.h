#pragma once
// Four sauna controllers behind one scripted gateway, with the timing of real ones: a load
// command fills the edit block only some requests later (meanwhile the block reads zeros or
// keeps the previous load), a store command stores the edit value within the controller's
// limits, and every unit answers from its own registers.
#include "SaunaMX.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

class ControllerBus {
public:
    static constexpr int UNITS = 4;

    // Every unit a heating sauna (FillHeatingSauna) at 80 degrees, 40 to 110 in steps of one
    // degree, and 02:00 of work time, 00:30 to 10:30 in steps of ten minutes.
    ControllerBus();

    // The answer to one request; the gateway's clock moves one request on.
    QByteArray Answer(const QByteArray& Request);

    // The controller of unit 1 to 4.
    TSaunaMX& Unit(int Num) { return FUnits[static_cast<std::size_t>(Num - 1)].Registers; }
    // The limits and step a load command puts into the edit block of unit Num.
    void Limits(int Num, bool Temp, std::int32_t Min, std::int32_t Max, std::int32_t Step);

    // Requests the gateway serves between a load command and the filled edit block.
    int EditDelay = 0;
    // While loading, the block keeps the previous load's values instead of reading zeros.
    bool KeepOldBlock = false;

private:
    struct TLimits {
        std::int32_t Min;
        std::int32_t Max;
        std::int32_t Step;
    };
    struct TPendingLoad {
        bool Temp;
        long Due;
    };
    struct TUnit {
        TSaunaMX Registers;
        TLimits Temp{400, 1100, 10};
        TLimits Time{30, 630, 10};
        std::optional<TPendingLoad> Pending;
    };

    void Command(TUnit& Unit, std::int32_t Code);
    void FillDueBlocks();

    std::array<TUnit, UNITS> FUnits;
    long FServed = 0;
};
