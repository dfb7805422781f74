#include "SimGateway.h"

#include "SimPresets.h"

#include <modbus.h>

#include <algorithm>

namespace {
// A block inside the map whose size Modbus allows for one read.
enum TBlockCheck { BLOCK_OK, BLOCK_BAD_COUNT, BLOCK_OUTSIDE };

TBlockCheck CheckBlock(int First, int Count, int MaxCount, int MapSize) {
    if (Count < 1 || Count > MaxCount)
        return BLOCK_BAD_COUNT;
    return First + Count <= MapSize ? BLOCK_OK : BLOCK_OUTSIDE;
}

std::string Describe(const TModbusRequest& Req) {
    return "function " + std::to_string(Req.Function) + " at " + std::to_string(Req.Address) +
           (Req.Function == MODBUS_FC_WRITE_SINGLE_REGISTER ? " value " : " count ") +
           std::to_string(Req.Word);
}
} // namespace

TSimGateway::TSimGateway(int Units, std::int64_t EditDelayMs, bool ZeroSetpoints,
                         const TReport& Report)
    : FReport(Report) {
    const std::size_t fitted = std::min(CONTROLLER_SETUPS.size(), static_cast<std::size_t>(Units));
    FUnits.reserve(fitted);
    for (std::size_t Index = 0; Index < fitted; ++Index) {
        const std::string Prefix =
            "unit " + std::to_string(FIRST_UNIT + static_cast<int>(Index)) + ": ";
        TControllerSetup Setup = CONTROLLER_SETUPS[Index];
        if (ZeroSetpoints) {
            Setup.TempSet = 0;
            Setup.WorkTimeSet = 0;
        }
        FUnits.emplace_back(Setup, EditDelayMs,
                            [Report, Prefix](const std::string& Line) { Report(Prefix + Line); });
    }
}

void TSimGateway::AdvanceTo(const TSimTime& Now) {
    for (TSimController& Unit : FUnits)
        Unit.AdvanceTo(Now);
}

TFrame TSimGateway::Answer(const TModbusRequest& Req, const TSimTime& Now) {
    const int Index = Req.Unit - FIRST_UNIT;
    if (Index < 0 || Index >= static_cast<int>(FUnits.size()))
        return Refuse(Req, MODBUS_EXCEPTION_GATEWAY_TARGET, "no controller at this unit");
    TSimController& Unit = FUnits[static_cast<std::size_t>(Index)];
    switch (Req.Function) {
    case MODBUS_FC_READ_COILS:
        return ReadCoils(Req, Unit);
    case MODBUS_FC_READ_HOLDING_REGISTERS:
        return ReadRegisters(Req, Unit);
    case MODBUS_FC_WRITE_SINGLE_REGISTER:
        return WriteRegister(Req, Unit, Now);
    default:
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_FUNCTION, "illegal function");
    }
}

TFrame TSimGateway::ReadCoils(const TModbusRequest& Req, const TSimController& Unit) {
    switch (CheckBlock(Req.Address, Req.Word, MODBUS_MAX_READ_BITS, TSimController::BIT_COUNT)) {
    case BLOCK_BAD_COUNT:
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE, "illegal data value");
    case BLOCK_OUTSIDE:
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS, "illegal data address");
    case BLOCK_OK:
        break;
    }
    std::vector<std::uint8_t> Data(1 + (Req.Word + 7) / 8, 0);
    Data[0] = static_cast<std::uint8_t>(Data.size() - 1);
    for (int K = 0; K < Req.Word; ++K)
        if (Unit.ReadBIT(Req.Address + K))
            Data[static_cast<std::size_t>(1 + K / 8)] |= static_cast<std::uint8_t>(1 << (K % 8));
    return AnswerFrame(Req, Data);
}

TFrame TSimGateway::ReadRegisters(const TModbusRequest& Req, const TSimController& Unit) {
    switch (
        CheckBlock(Req.Address, Req.Word, MODBUS_MAX_READ_REGISTERS, TSimController::REG_COUNT)) {
    case BLOCK_BAD_COUNT:
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE, "illegal data value");
    case BLOCK_OUTSIDE:
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS, "illegal data address");
    case BLOCK_OK:
        break;
    }
    std::vector<std::uint8_t> Data{static_cast<std::uint8_t>(2 * Req.Word)};
    for (int K = 0; K < Req.Word; ++K) {
        const std::uint16_t Val = Unit.ReadREG(Req.Address + K);
        Data.push_back(static_cast<std::uint8_t>(Val >> 8));
        Data.push_back(static_cast<std::uint8_t>(Val));
    }
    return AnswerFrame(Req, Data);
}

// A write answers with the echo of its address and value.
TFrame TSimGateway::WriteRegister(const TModbusRequest& Req, TSimController& Unit,
                                  const TSimTime& Now) {
    if (Req.Address >= TSimController::REG_COUNT || !Unit.WriteREG(Req.Address, Req.Word, Now))
        return Refuse(Req, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS, "illegal data address");
    return AnswerFrame(
        Req, {static_cast<std::uint8_t>(Req.Address >> 8), static_cast<std::uint8_t>(Req.Address),
              static_cast<std::uint8_t>(Req.Word >> 8), static_cast<std::uint8_t>(Req.Word)});
}

TFrame TSimGateway::Refuse(const TModbusRequest& Req, std::uint8_t Code, const std::string& Why) {
    FReport("unit " + std::to_string(Req.Unit) + ": " + Describe(Req) + ": exception " +
            std::to_string(Code) + " (" + Why + ")");
    return ExceptionFrame(Req, Code);
}
