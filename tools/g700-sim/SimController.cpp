#include "SimController.h"

#include "SaunaREG.h"

#include <algorithm>

namespace {
// The room temperature is kept in sixtieths of a tenth of a degree, so that a rate in tenths per
// minute is a whole number of these units per second.
constexpr std::int64_t FINE_PER_TENTH = 60;
constexpr std::int64_t MS_PER_SECOND = 1000;
constexpr std::int64_t SECONDS_PER_MINUTE = 60;

bool HeatModeSelectable(int ConfigType) {
    return ConfigType != CONFIG_TYPE_FIXED_A && ConfigType != CONFIG_TYPE_FIXED_B &&
           ConfigType != CONFIG_TYPE_FIXED_C;
}

std::uint16_t Word(std::int64_t Val) {
    return static_cast<std::uint16_t>(Val);
}

std::string OnOff(bool On) {
    return On ? "on" : "off";
}
} // namespace

TSimController::TSimController(const TControllerSetup& Setup, std::int64_t EditDelayMs,
                               TReport Report)
    : FSetup(Setup), FEditDelay(EditDelayMs),
      FReport(std::move(Report)), FOutputs{{{CMD_HEATER, BIT_HEATER, "heater", true},
                                            {CMD_LIGHT1, BIT_LIGHT1, "light 1", true},
                                            {CMD_LIGHT2, BIT_LIGHT2, "light 2", Setup.Light2Fitted},
                                            {CMD_AROMA, BIT_AROMA, "aroma", Setup.AromaFitted},
                                            {CMD_VENT, BIT_VENT, "vent", Setup.VentFitted}}} {
    FREG[REG_CONFIG_TYPE] = Word(Setup.ConfigType);
    FREG[REG_AROMA_AVAIL] = Setup.AromaFitted ? 1 : 0;
    FREG[REG_VENT_AVAIL] = Setup.VentFitted ? 1 : 0;
    FREG[REG_LIGHT2_AVAIL] = Setup.Light2Fitted ? 1 : 0;
    FREG[REG_HEAT_MODE] = Word(Setup.HeatMode);
    FREG[REG_TEMP_SET] = Word(Setup.TempSet);
    FREG[REG_WORK_TIME_SET] = Word(Setup.WorkTimeSet);
    FREG[REG_CONTROLLER_TYPE] = Word(Setup.ControllerType);
    FREG[REG_FIRMWARE_VERSION] = Word(Setup.FirmwareVersion);
    FBIT[BIT_HEATER] = Setup.HeaterOn;
    FBIT[BIT_LIGHT1] = Setup.Light1On;
    FBIT[BIT_LIGHT2] = Setup.Light2On;
    FBIT[BIT_AROMA] = Setup.AromaOn;
    FBIT[BIT_VENT] = Setup.VentOn;
    FTempFine = Setup.TempStart * FINE_PER_TENTH;
    FHeaterSeconds = Setup.WorkTimerStart * SECONDS_PER_MINUTE;
    PublishMeasurements();
}

void TSimController::AdvanceTo(const TSimTime& Now) {
    const std::int64_t Target = Now.ModelMs / MS_PER_SECOND;
    while (FModelSeconds < Target) {
        StepOneSecond();
        ++FModelSeconds;
    }
    if (FPendingEdit && Now.Real >= FPendingEdit->DueReal) {
        FillEditBlock(FPendingEdit->Kind);
        FPendingEdit.reset();
    }
}

bool TSimController::WriteREG(int Num, std::uint16_t Val, const TSimTime& Now) {
    if (Num == REG_COMMAND) {
        RunCommand(Val, Now);
        return true;
    }
    if (Num == REG_EDIT_VALUE) {
        FREG[REG_EDIT_VALUE] = Val;
        FReport("edit value set to " + std::to_string(Val));
        return true;
    }
    return false;
}

// The command register is cleared again once the command is taken, as the controller does
// when it has acted on it.
void TSimController::RunCommand(int Code, const TSimTime& Now) {
    FREG[REG_COMMAND] = 0;
    if (const TOutput* Output = FindOutput(Code)) {
        SwitchOutput(*Output);
        return;
    }
    switch (Code) {
    case CMD_HEAT_MODE:
        StepHeatMode();
        return;
    case CMD_EDIT_TEMP:
        StartEditLoad(EDIT_TEMP, Now);
        return;
    case CMD_EDIT_TIME:
        StartEditLoad(EDIT_TIME, Now);
        return;
    case CMD_STORE_TEMP:
        StoreEditValue(EDIT_TEMP);
        return;
    case CMD_STORE_TIME:
        StoreEditValue(EDIT_TIME);
        return;
    default:
        FReport("command " + std::to_string(Code) + ": unknown, ignored");
    }
}

const TSimController::TOutput* TSimController::FindOutput(int Command) const {
    const auto Found = std::find_if(FOutputs.begin(), FOutputs.end(),
                                    [Command](const TOutput& O) { return O.Command == Command; });
    return Found == FOutputs.end() ? nullptr : &*Found;
}

void TSimController::SwitchOutput(const TOutput& Output) {
    const std::string Head =
        "command " + std::to_string(Output.Command) + " (" + Output.Name + "): ";
    if (!Output.Fitted) {
        FReport(Head + "ignored, " + Output.Name + " not fitted");
        return;
    }
    const bool On = !FBIT[static_cast<std::size_t>(Output.Coil)];
    if (Output.Coil == BIT_HEATER)
        SetHeater(On);
    else
        FBIT[static_cast<std::size_t>(Output.Coil)] = On;
    FReport(Head + Output.Name + " " + OnOff(On));
}

void TSimController::StepHeatMode() {
    const std::string Head = "command " + std::to_string(CMD_HEAT_MODE) + " (heating mode): ";
    if (!HeatModeSelectable(FSetup.ConfigType)) {
        FReport(Head + "ignored, configuration type " + std::to_string(FSetup.ConfigType) +
                " has a fixed heating mode");
        return;
    }
    FREG[REG_HEAT_MODE] = Word((FREG[REG_HEAT_MODE] + 1) % 4);
    FReport(Head + "mode " + std::to_string(FREG[REG_HEAT_MODE]));
}

// The edit block reads 0 while the controller is still loading it, so that a reader that comes
// too early sees a value that differs from the setpoint and reads again.
void TSimController::StartEditLoad(TEditKind Kind, const TSimTime& Now) {
    for (int Num = EDIT_BLOCK_FIRST; Num < EDIT_BLOCK_FIRST + EDIT_BLOCK_COUNT; ++Num)
        FREG[static_cast<std::size_t>(Num)] = 0;
    FPendingEdit = TPendingEdit{Kind, Now.Real + FEditDelay};
    const bool Temp = Kind == EDIT_TEMP;
    FReport("command " + std::to_string(Temp ? CMD_EDIT_TEMP : CMD_EDIT_TIME) + " (edit " +
            (Temp ? "temperature" : "work time") + "): edit block loads in " +
            std::to_string(FEditDelay.count()) + " ms");
}

void TSimController::FillEditBlock(TEditKind Kind) {
    const bool Temp = Kind == EDIT_TEMP;
    FREG[REG_EDIT_VALUE] = FREG[Temp ? REG_TEMP_SET : REG_WORK_TIME_SET];
    FREG[REG_EDIT_MIN] = Word(Temp ? FSetup.TempMin : FSetup.WorkTimeMin);
    FREG[REG_EDIT_MAX] = Word(Temp ? FSetup.TempMax : FSetup.WorkTimeMax);
    FREG[REG_EDIT_STEP] = Word(Temp ? FSetup.TempStep : FSetup.WorkTimeStep);
    FReport(std::string("edit block loaded with the ") + (Temp ? "temperature" : "work time") +
            ": value " + std::to_string(FREG[REG_EDIT_VALUE]) + ", limits " +
            std::to_string(FREG[REG_EDIT_MIN]) + " to " + std::to_string(FREG[REG_EDIT_MAX]) +
            ", step " + std::to_string(FREG[REG_EDIT_STEP]));
}

// A value outside the setpoint's limits is stored as the nearest limit.
void TSimController::StoreEditValue(TEditKind Kind) {
    const bool Temp = Kind == EDIT_TEMP;
    const int Min = Temp ? FSetup.TempMin : FSetup.WorkTimeMin;
    const int Max = Temp ? FSetup.TempMax : FSetup.WorkTimeMax;
    const int Edited = FREG[REG_EDIT_VALUE];
    const std::uint16_t Stored = Word(std::clamp(Edited, Min, Max));
    FREG[Temp ? REG_TEMP_SET : REG_WORK_TIME_SET] = Stored;
    FREG[REG_EDIT_VALUE] = Stored;
    FReport("command " + std::to_string(Temp ? CMD_STORE_TEMP : CMD_STORE_TIME) + " (store " +
            (Temp ? "temperature" : "work time") + "): setpoint " + std::to_string(Stored) +
            (Stored == Edited ? "" : " (edit value " + std::to_string(Edited) + " limited)"));
}

// Switching the heater on starts a new session: the work timer counts from 0 again.
void TSimController::SetHeater(bool On) {
    FBIT[BIT_HEATER] = On;
    if (On)
        FHeaterSeconds = 0;
    PublishMeasurements();
}

// With the heater on the thermostat holds the room at the setpoint; without it the room drifts
// to ambient.
void TSimController::StepOneSecond() {
    const bool Heating = FBIT[BIT_HEATER];
    const std::int64_t Target =
        (Heating ? FREG[REG_TEMP_SET] : FSetup.TempAmbient) * FINE_PER_TENTH;
    if (FTempFine < Target)
        FTempFine = std::min(FTempFine + (Heating ? HEAT_RATE : COOL_RATE), Target);
    else
        FTempFine = std::max(FTempFine - COOL_RATE, Target);
    if (Heating) {
        ++FHeaterSeconds;
        if (FHeaterSeconds / SECONDS_PER_MINUTE >= FREG[REG_WORK_TIME_SET]) {
            FBIT[BIT_HEATER] = false;
            FReport("work time of " + std::to_string(FREG[REG_WORK_TIME_SET]) +
                    " min reached, heater off");
        }
    }
    PublishMeasurements();
}

void TSimController::PublishMeasurements() {
    FREG[REG_TEMP_ACT] = Word(FTempFine / FINE_PER_TENTH);
    FREG[REG_WORK_TIMER] = Word(FHeaterSeconds / SECONDS_PER_MINUTE);
}
