#include "SetpointStore.h"

#include "SaunaREG.h"

#include <utility>

TSetpointStore::TSetpointStore(std::uint8_t Unit, std::int32_t Value, std::int32_t StoreCommand,
                               std::function<void(bool Stored)> Ended)
    : TEditWork(Unit), FValue(Value), FStoreCommand(StoreCommand), FEnded(std::move(Ended)) {}

void TSetpointStore::Start() {
    if (!Write(REG_EDIT_VALUE, FValue, [this] { ValueWritten(); })) {
        Finish(false);
    }
}

// Whichever write failed, the controller may hold anything of this store, or nothing.
void TSetpointStore::RequestFailed() {
    Finish(false);
}

void TSetpointStore::ValueWritten() {
    if (!Write(REG_COMMAND, FStoreCommand, [this] { Finish(true); })) {
        Finish(false);
    }
}

// The page hears of the outcome before the next unit of the sauna starts.
void TSetpointStore::Finish(bool Stored) {
    FEnded(Stored);
    End();
}
