#pragma once
#include "SimTime.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// What sets one controller apart from the others: its model, fitted outputs, limits and the
// state it starts in. Temperatures in tenths of a degree Celsius, times in minutes.
struct TControllerSetup {
    int ControllerType = 0;
    int FirmwareVersion = 0;
    int ConfigType = 0;
    bool Light2Fitted = false;
    bool AromaFitted = false;
    bool VentFitted = false;
    int HeatMode = 0;
    int TempSet = 0;
    int TempMin = 0;
    int TempMax = 0;
    int TempStep = 0;
    int WorkTimeSet = 0;
    int WorkTimeMin = 0;
    int WorkTimeMax = 0;
    int WorkTimeStep = 0;
    int TempAmbient = 0;
    int TempStart = 0;
    bool HeaterOn = false;
    bool Light1On = false;
    bool Light2On = false;
    bool AromaOn = false;
    bool VentOn = false;
    int WorkTimerStart = 0; // minutes the heater has already run when it starts on
};

// One sauna controller: its holding registers and coils, the command codes written into the
// command register, the edit block, and a small physical model of the room. With the heater on
// the room heats toward the setpoint and the work timer counts; at the set work time the heater
// goes off, and without heat the room cools toward ambient. The model moves in whole model
// seconds, so its state depends only on the model time it was advanced to.
class TSimController {
public:
    static constexpr int REG_COUNT = 120;
    static constexpr int BIT_COUNT = 256;
    // How fast the room warms with the heater on and cools without it, tenths of a degree per
    // model minute.
    static constexpr int HEAT_RATE = 20;
    static constexpr int COOL_RATE = 5;

    using TReport = std::function<void(const std::string&)>;

    TSimController(const TControllerSetup& Setup, std::int64_t EditDelayMs, TReport Report);

    // Runs the physical model up to the model time of Now, and fills the edit block once its
    // delay has passed in real time, never earlier.
    void AdvanceTo(const TSimTime& Now);

    std::uint16_t ReadREG(int Num) const { return FREG[static_cast<std::size_t>(Num)]; }
    bool ReadBIT(int Num) const { return FBIT[static_cast<std::size_t>(Num)]; }

    // Only the command register and the edit value take writes; false for any other register.
    bool WriteREG(int Num, std::uint16_t Val, const TSimTime& Now);

private:
    enum TEditKind { EDIT_TEMP, EDIT_TIME };
    struct TPendingEdit {
        TEditKind Kind;
        std::chrono::steady_clock::duration DueReal;
    };
    struct TOutput {
        int Command;
        int Coil;
        const char* Name;
        bool Fitted;
    };

    void RunCommand(int Code, const TSimTime& Now);
    const TOutput* FindOutput(int Command) const;
    void SwitchOutput(const TOutput& Output);
    void StepHeatMode();
    void StartEditLoad(TEditKind Kind, const TSimTime& Now);
    void FillEditBlock(TEditKind Kind);
    void StoreEditValue(TEditKind Kind);
    void SetHeater(bool On);
    void StepOneSecond();
    void PublishMeasurements();

    const TControllerSetup FSetup;
    const std::chrono::milliseconds FEditDelay;
    const TReport FReport;
    const std::array<TOutput, 5> FOutputs;
    std::array<std::uint16_t, REG_COUNT> FREG{};
    std::array<bool, BIT_COUNT> FBIT{};
    std::int64_t FTempFine = 0;      // room temperature in sixtieths of a tenth of a degree
    std::int64_t FHeaterSeconds = 0; // model seconds the heater has run since it went on
    std::int64_t FModelSeconds = 0;  // model seconds the room has been run through
    std::optional<TPendingEdit> FPendingEdit;
};
