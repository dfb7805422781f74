#pragma once
#include "SimController.h"

#include <array>

// The four controllers behind the gateway, units 1 to 4 in order. They differ on purpose so that
// every branch of the panel's status view can be seen: model codes (0x22 is no known model),
// firmware versions, fitted outputs, configuration types (20 and 10 fix the heating mode),
// heating modes, and temperatures (unit 3 runs above 100 °C).
inline constexpr int FIRST_UNIT = 1;
inline constexpr int UNIT_COUNT = 4;

inline constexpr std::array<TControllerSetup, UNIT_COUNT> CONTROLLER_SETUPS{{
    // Unit 1: a cold sauna with every output fitted, ready to be switched on.
    {.ControllerType = 0x41, .FirmwareVersion = 0x123, .ConfigType = 30,
     .Light2Fitted = true, .AromaFitted = true, .VentFitted = true, .HeatMode = 0,
     .TempSet = 800, .TempMin = 400, .TempMax = 1100, .TempStep = 10,
     .WorkTimeSet = 180, .WorkTimeMin = 10, .WorkTimeMax = 360, .WorkTimeStep = 10,
     .TempAmbient = 210, .TempStart = 210,
     .HeaterOn = false, .Light1On = false, .Light2On = false, .AromaOn = false, .VentOn = false,
     .WorkTimerStart = 0},
    // Unit 2: cooling down after a session, fixed heating mode, no light 2 and no aroma.
    {.ControllerType = 0x32, .FirmwareVersion = 0x105, .ConfigType = 20,
     .Light2Fitted = false, .AromaFitted = false, .VentFitted = true, .HeatMode = 0,
     .TempSet = 700, .TempMin = 400, .TempMax = 900, .TempStep = 10,
     .WorkTimeSet = 90, .WorkTimeMin = 10, .WorkTimeMax = 240, .WorkTimeStep = 5,
     .TempAmbient = 220, .TempStart = 655,
     .HeaterOn = false, .Light1On = true, .Light2On = false, .AromaOn = false, .VentOn = true,
     .WorkTimerStart = 90},
    // Unit 3: an unknown model running hot in the steam mode, no vent.
    {.ControllerType = 0x22, .FirmwareVersion = 0x1A4, .ConfigType = 45,
     .Light2Fitted = true, .AromaFitted = true, .VentFitted = false, .HeatMode = 3,
     .TempSet = 1100, .TempMin = 600, .TempMax = 1200, .TempStep = 5,
     .WorkTimeSet = 240, .WorkTimeMin = 30, .WorkTimeMax = 480, .WorkTimeStep = 15,
     .TempAmbient = 230, .TempStart = 1012,
     .HeaterOn = true, .Light1On = true, .Light2On = true, .AromaOn = true, .VentOn = false,
     .WorkTimerStart = 25},
    // Unit 4: the smallest model, heater and light 1 only, fixed heating mode.
    {.ControllerType = 0x46, .FirmwareVersion = 0x005, .ConfigType = 10,
     .Light2Fitted = false, .AromaFitted = false, .VentFitted = false, .HeatMode = 2,
     .TempSet = 600, .TempMin = 300, .TempMax = 800, .TempStep = 20,
     .WorkTimeSet = 60, .WorkTimeMin = 15, .WorkTimeMax = 120, .WorkTimeStep = 15,
     .TempAmbient = 180, .TempStart = 180,
     .HeaterOn = false, .Light1On = true, .Light2On = false, .AromaOn = false, .VentOn = false,
     .WorkTimerStart = 0},
}};
