#include "SetpointStores.h"

#include "SaunaREG.h"
#include "SocketRTU.h"

#include <utility>

void TSetpointStores::Queue(TSetpointStore Store) {
    FStores.push_back(std::move(Store));
    if (FSlot == 0) {
        StartNext();
    }
}

void TSetpointStores::Failed(std::int32_t SocketNum) {
    if (SocketNum != 0 && SocketNum == FSlot) {
        End(false);
    }
}

void TSetpointStores::StartNext() {
    if (!FStores.empty()) {
        Send(REG_EDIT_VALUE, FStores.front().Value, &TSetpointStores::ValueWritten);
    }
}

void TSetpointStores::ValueWritten() {
    Send(REG_COMMAND, FStores.front().StoreCommand, &TSetpointStores::CommandWritten);
}

void TSetpointStores::CommandWritten() {
    End(true);
}

void TSetpointStores::End(bool Stored) {
    const std::function<void(bool)> onEnded = std::move(FStores.front().OnEnded);
    FSlot = 0;
    FStores.pop_front();
    StartNext();
    if (onEnded) {
        onEnded(Stored);
    }
}

void TSetpointStores::Send(std::int32_t Reg, std::int32_t Value, void (TSetpointStores::*Next)()) {
    FSlot = FSockets.AddWriteRW(FStores.front().Unit, Reg, Value);
    if (FSlot == 0) {
        End(false);
        return;
    }
    FSockets.SetOnSocketEnd(FSlot, [this, Next](std::int32_t) { (this->*Next)(); });
}
