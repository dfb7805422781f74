#pragma once
#include "KovMode.h"
#include "SaunaREG.h"
#include "SetpointPageLook.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

// One opening of a setpoint page: the sauna it was opened for, how far the controller has
// loaded the setpoint, and the operator's edit. Only this opening's load touches the page.
struct TEditSession {
    std::int32_t Opening = 0;
    TKovMode Mode = KOV_MODE_0;
    std::uint8_t Unit = 0;
    TSetpointState State = SETPOINT_LOADING;
    // The edit block as this opening holds it in the image.
    std::array<std::int32_t, EDIT_BLOCK_COUNT> Block{};
    // What the controller holds, as far as the page knows: unknown after a store that failed,
    // which may have reached the controller in part, whole, or not at all.
    std::optional<std::int32_t> Loaded{};
    // What the page shows and a store writes, and the controller's limits and step: the
    // block's own registers.
    std::int32_t Value() const { return Block[REG_EDIT_VALUE - EDIT_BLOCK_FIRST]; }
    std::int32_t Min() const { return Block[REG_EDIT_MIN - EDIT_BLOCK_FIRST]; }
    std::int32_t Max() const { return Block[REG_EDIT_MAX - EDIT_BLOCK_FIRST]; }
    std::int32_t Step() const { return Block[REG_EDIT_STEP - EDIT_BLOCK_FIRST]; }
    // The nearest value within the limits.
    std::int32_t Within(std::int32_t Val) const { return std::max(Min(), std::min(Val, Max())); }
    std::int32_t StoresPending = 0;
};
