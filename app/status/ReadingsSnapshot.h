#pragma once
// What the status view's readings are drawn from: the registers and coils they show, how each of
// them stands (live, old, unknown) and the sauna selected. Two equal snapshots draw the same
// readings, so a poll tick that changed none of it needs no drawing at all.

#include "PollFreshness.h"
#include "SaunaREG.h"

#include <array>
#include <cstdint>

class TDravonPort;

class TReadingsSnapshot {
public:
    // The readings of Port as they stand now.
    static TReadingsSnapshot Of(const TDravonPort& Port);

    bool operator==(const TReadingsSnapshot& Other) const = default;

private:
    static constexpr std::array<int, 11> REGISTERS{
        REG_TEMP_ACT,     REG_TEMP_SET,        REG_WORK_TIMER,      REG_WORK_TIME_SET,
        REG_LIGHT2_AVAIL, REG_AROMA_AVAIL,     REG_VENT_AVAIL,      REG_CONFIG_TYPE,
        REG_HEAT_MODE,    REG_CONTROLLER_TYPE, REG_FIRMWARE_VERSION};
    static constexpr std::array<int, 5> COILS{BIT_HEATER, BIT_LIGHT1, BIT_LIGHT2, BIT_VENT,
                                              BIT_AROMA};

    std::array<std::int32_t, REGISTERS.size()> FRegisters{};
    std::array<TReadingAge, REGISTERS.size()> FRegisterAges{};
    std::array<bool, COILS.size()> FCoils{};
    std::array<TReadingAge, COILS.size()> FCoilAges{};
    std::uint8_t FUnit = 0;
};
