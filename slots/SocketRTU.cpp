#include "SocketRTU.h"

#include <utility>

namespace {
const TRTUSocket FreeSlot{};

bool IsRegTableIndex(std::int32_t RNum) {
    return RNum >= 0 && RNum < TRTUSocket::REG_TABLE_SIZE;
}
} // namespace

const TRTUSocket& TDravonSockets::Look(std::int32_t Num) const {
    return IsSlotNum(Num) ? FSockets[Num - 1] : FreeSlot;
}

std::int32_t TDravonSockets::FindFreeSocket() const {
    for (std::int32_t num = 1; num <= SOCKET_COUNT; ++num)
        if (Look(num).Mode == SOCKET_MODE_NONE)
            return num;
    return 0;
}

std::int32_t TDravonSockets::Add(const TRTUSocket& RSocket) {
    const std::int32_t num = FindFreeSocket();
    if (num == 0)
        return 0;
    ++FCount;
    // The slot keeps its own RegTable, and gets a callback only through SetOnSocketEnd.
    TRTUSocket& slot = *Find(num);
    slot.Mode = RSocket.Mode;
    slot.Status = RSocket.Status;
    slot.SlaveAddr = RSocket.SlaveAddr;
    slot.FunctionCode = RSocket.FunctionCode;
    slot.RegNum = RSocket.RegNum;
    slot.RegValue = RSocket.RegValue;
    slot.RegCount = RSocket.RegCount;
    slot.OnSocketEnd = nullptr;
    return num;
}

void TDravonSockets::Clear(std::int32_t SNum) {
    TRTUSocket* slot = Find(SNum);
    if (slot == nullptr || slot->Mode == SOCKET_MODE_NONE)
        return;
    // RegValue and RegTable are left as they were.
    slot->Mode = SOCKET_MODE_NONE;
    slot->Status = SOCKET_STATUS_STOP;
    slot->SlaveAddr = 0;
    slot->FunctionCode = 0;
    slot->RegNum = 0;
    slot->RegCount = 0;
    slot->OnSocketEnd = nullptr;
    if (FCount > 0)
        --FCount;
}

void TDravonSockets::GetNext() {
    if (FCount == 0) {
        FActiveSocket = 0;
        return;
    }
    // Starts after the slot last served, so a slot that waits again is found last. When no
    // slot waits, the search ends on the slot it started from.
    for (std::int32_t probe = 0; probe < SOCKET_COUNT; ++probe) {
        FActiveSocket = FActiveSocket >= SOCKET_COUNT ? 1 : FActiveSocket + 1;
        const TRTUSocket& slot = Look(FActiveSocket);
        if (slot.Mode != SOCKET_MODE_NONE && slot.Status == SOCKET_STATUS_WAIT)
            return;
    }
}

// Only the cyclic requests follow the sauna: a single-shot request keeps the sauna it was made
// for, so a command or a store never lands on a sauna the operator did not mean.
void TDravonSockets::SetAddress(std::uint8_t Addr) {
    for (TRTUSocket& slot : FSockets)
        if (slot.Mode == SOCKET_MODE_MULTI)
            slot.SlaveAddr = Addr;
}

void TDravonSockets::CloseActiveSocket() {
    TRTUSocket* slot = Find(FActiveSocket);
    if (slot == nullptr)
        return;
    switch (slot->Mode) {
    case SOCKET_MODE_SINGLE:
        Clear(FActiveSocket);
        break;
    case SOCKET_MODE_REPEAT:
        slot->Mode = SOCKET_MODE_SINGLE;
        slot->Status = SOCKET_STATUS_WAIT;
        break;
    case SOCKET_MODE_MULTI:
        slot->Status = SOCKET_STATUS_WAIT;
        break;
    case SOCKET_MODE_NONE:
        break;
    }
}

void TDravonSockets::CompleteActiveSocket() {
    TRTUSocket* slot = Find(FActiveSocket);
    if (slot == nullptr)
        return;
    slot->Status = SOCKET_STATUS_END;
    // A copy runs, so a callback that clears or refills its own slot does not destroy itself.
    const TEventOnSocketEnd onEnd = slot->OnSocketEnd;
    if (onEnd)
        onEnd(FActiveSocket);
}

void TDravonSockets::RepeatActiveSocket() {
    if (TRTUSocket* slot = Find(FActiveSocket))
        slot->Mode = SOCKET_MODE_REPEAT;
}

void TDravonSockets::ResetSockets() {
    FActiveSocket = 0;
}

std::int32_t TDravonSockets::AddRequest(TSocketMode SMode, std::int32_t SAddr,
                                        std::int32_t FunctionCode, std::int32_t RNum,
                                        std::int32_t RCount, std::int32_t RVal) {
    TRTUSocket request;
    request.Mode = SMode;
    request.Status = SOCKET_STATUS_WAIT;
    request.SlaveAddr = SAddr;
    request.FunctionCode = FunctionCode;
    request.RegNum = RNum;
    request.RegCount = RCount;
    request.RegValue = RVal;
    return Add(request);
}

std::int32_t TDravonSockets::AddReadRBBlock(std::int32_t SAddr, std::int32_t RStart,
                                            std::int32_t RCount, TSocketMode SMode) {
    return AddRequest(SMode, SAddr, SOCKET_FUNCTION_READ_COILS, RStart, RCount, 0);
}

std::int32_t TDravonSockets::AddReadRW(std::int32_t SAddr, std::int32_t RNum, TSocketMode SMode) {
    return AddRequest(SMode, SAddr, SOCKET_FUNCTION_READ_REGISTERS, RNum, 1, 0);
}

std::int32_t TDravonSockets::AddReadRWBlock(std::int32_t SAddr, std::int32_t RStart,
                                            std::int32_t RCount, TSocketMode SMode) {
    return AddRequest(SMode, SAddr, SOCKET_FUNCTION_READ_REGISTERS, RStart, RCount, 0);
}

std::int32_t TDravonSockets::AddWriteRW(std::int32_t SAddr, std::int32_t RNum, std::int32_t RVal) {
    return AddRequest(SOCKET_MODE_SINGLE, SAddr, SOCKET_FUNCTION_WRITE_REGISTER, RNum, 1, RVal);
}

TSocketMode TDravonSockets::GetMode(std::int32_t Num) const {
    return Look(Num).Mode;
}

void TDravonSockets::SetMode(std::int32_t Num, TSocketMode Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->Mode = Val;
}

TSocketStatus TDravonSockets::GetStatus(std::int32_t Num) const {
    return Look(Num).Status;
}

void TDravonSockets::SetStatus(std::int32_t Num, TSocketStatus Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->Status = Val;
}

std::int32_t TDravonSockets::GetSlaveAddr(std::int32_t Num) const {
    return Look(Num).SlaveAddr;
}

void TDravonSockets::SetSlaveAddr(std::int32_t Num, std::int32_t Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->SlaveAddr = Val;
}

std::int32_t TDravonSockets::GetFunctionCode(std::int32_t Num) const {
    return Look(Num).FunctionCode;
}

void TDravonSockets::SetFunctionCode(std::int32_t Num, std::int32_t Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->FunctionCode = Val;
}

std::int32_t TDravonSockets::GetRegNum(std::int32_t Num) const {
    return Look(Num).RegNum;
}

void TDravonSockets::SetRegNum(std::int32_t Num, std::int32_t Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->RegNum = Val;
}

std::int32_t TDravonSockets::GetRegCount(std::int32_t Num) const {
    return Look(Num).RegCount;
}

void TDravonSockets::SetRegCount(std::int32_t Num, std::int32_t Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->RegCount = Val;
}

std::int32_t TDravonSockets::GetRegValue(std::int32_t Num) const {
    return Look(Num).RegValue;
}

void TDravonSockets::SetRegValue(std::int32_t Num, std::int32_t Val) {
    if (TRTUSocket* slot = Find(Num))
        slot->RegValue = Val;
}

std::int32_t TDravonSockets::GetRegTable(std::int32_t Num, std::int32_t RNum) const {
    return IsRegTableIndex(RNum) ? Look(Num).RegTable[RNum] : 0;
}

void TDravonSockets::SetRegTable(std::int32_t Num, std::int32_t RNum, std::int32_t Val) {
    TRTUSocket* slot = Find(Num);
    if (slot != nullptr && IsRegTableIndex(RNum))
        slot->RegTable[RNum] = Val;
}

void TDravonSockets::SetOnSocketEnd(std::int32_t Num, TEventOnSocketEnd OnEvent) {
    if (TRTUSocket* slot = Find(Num))
        slot->OnSocketEnd = std::move(OnEvent);
}
