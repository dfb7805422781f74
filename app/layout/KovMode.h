#pragma once
#include <cstdint>

// Which page the operator last opened through the bottom bar.
enum TKovMode : std::uint8_t {
    KOV_MODE_0, // while the window is being built
    KOV_MODE_MAIN,
    KOV_MODE_SET_TEMP,
    KOV_MODE_SET_TIME,
    KOV_MODE_SET_PARAM,
    KOV_MODE_SETTINGS,
};
