#include "ControllerBus.h"

#include "FakeTCPClient.h"
#include "ModbusReplies.h"
#include "SaunaREG.h"
#include "WindowRig.h"

#include <algorithm>

namespace {
constexpr std::uint8_t WRITE_REGISTER = 6;
constexpr std::uint8_t ILLEGAL_ADDRESS = 2;
constexpr std::uint8_t GATEWAY_TARGET_FAILED = 11;
} // namespace

ControllerBus::ControllerBus() {
    for (TUnit& unit : FUnits) {
        FillHeatingSauna(unit.Registers);
        unit.Registers.WriteTableREG(REG_TEMP_SET, 800);
    }
}

void ControllerBus::Limits(int Num, bool Temp, std::int32_t Min, std::int32_t Max,
                           std::int32_t Step) {
    TUnit& unit = FUnits[static_cast<std::size_t>(Num - 1)];
    (Temp ? unit.Temp : unit.Time) = {Min, Max, Step};
}

void ControllerBus::Serve(FakeTCPClient& Fake) {
    FClock = &Fake;
    Fake.Responder = [this, &Fake](const QByteArray& Request) {
        const QByteArray answer = Answer(Request);
        const std::int64_t delay = AnswerDelayMs ? AnswerDelayMs(Request) : 0;
        if (delay >= 0) {
            Fake.ArriveAfter(delay, answer);
        }
        return QByteArray();
    };
}

std::int64_t ControllerBus::NowMs() const {
    return FClock != nullptr ? FClock->NowMs() : 0;
}

QByteArray ControllerBus::Answer(const QByteArray& Request) {
    ++FServed;
    FillDueBlocks();
    const int num = FrameUnit(Request);
    if (num < 1 || num > UNITS) {
        return ReplyException(Request, GATEWAY_TARGET_FAILED);
    }
    TUnit& unit = FUnits[static_cast<std::size_t>(num - 1)];
    if (FrameFunction(Request) == WRITE_REGISTER) {
        const std::int32_t reg = FrameFirst(Request);
        const std::int32_t value = FrameWord(Request, 10);
        if (reg == REG_COMMAND) {
            Command(unit, value);
        } else if (reg == REG_EDIT_VALUE) {
            unit.Registers.WriteTableREG(REG_EDIT_VALUE, value);
        } else {
            return ReplyException(Request, ILLEGAL_ADDRESS);
        }
        return Request; // the echo
    }
    return ReplyFromController(unit.Registers, Request);
}

void ControllerBus::Command(TUnit& Unit, std::int32_t Code) {
    TSaunaMX& regs = Unit.Registers;
    if (Code == CMD_EDIT_TEMP || Code == CMD_EDIT_TIME) {
        if (!KeepOldBlock) {
            for (int k = 0; k < EDIT_BLOCK_COUNT; ++k) {
                regs.WriteTableREG(EDIT_BLOCK_FIRST + k, 0);
            }
        }
        Unit.Pending =
            TPendingLoad{Code == CMD_EDIT_TEMP, FServed + EditDelay, NowMs() + EditDelayMs};
        FillDueBlocks();
    }
    if (Code == CMD_STORE_TEMP || Code == CMD_STORE_TIME) {
        const bool temp = Code == CMD_STORE_TEMP;
        const TLimits& limits = temp ? Unit.Temp : Unit.Time;
        const std::int32_t stored =
            std::clamp(regs.ReadTableREG(REG_EDIT_VALUE), limits.Min, limits.Max);
        regs.WriteTableREG(temp ? REG_TEMP_SET : REG_WORK_TIME_SET, stored);
    }
}

void ControllerBus::FillDueBlocks() {
    for (TUnit& unit : FUnits) {
        if (!unit.Pending || unit.Pending->DueServed > FServed || unit.Pending->DueMs > NowMs()) {
            continue;
        }
        const bool temp = unit.Pending->Temp;
        const TLimits& limits = temp ? unit.Temp : unit.Time;
        TSaunaMX& regs = unit.Registers;
        regs.WriteTableREG(REG_EDIT_VALUE,
                           regs.ReadTableREG(temp ? REG_TEMP_SET : REG_WORK_TIME_SET));
        regs.WriteTableREG(REG_EDIT_MIN, limits.Min);
        regs.WriteTableREG(REG_EDIT_MAX, limits.Max);
        regs.WriteTableREG(REG_EDIT_STEP, limits.Step);
        unit.Pending.reset();
    }
}
