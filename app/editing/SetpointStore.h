#pragma once
// A store of the operator's setpoint: the value goes into the edit block, and once the controller
// has taken it the store command follows, both to the sauna the store was made for. Run as one
// unit of work on that sauna's edit block, so nothing else uses the block between the two.

#include "EditBlockQueue.h"

#include <cstdint>
#include <functional>

class TSetpointStore final : public TEditWork {
public:
    // Ended runs when the store ends: Stored once the store command has been answered; not stored
    // when a write of it failed or found the slot table full.
    TSetpointStore(std::uint8_t Unit, std::int32_t Value, std::int32_t StoreCommand,
                   std::function<void(bool Stored)> Ended);

    void Start() override;
    void RequestFailed() override;

private:
    void ValueWritten();
    void Finish(bool Stored);

    const std::int32_t FValue;
    const std::int32_t FStoreCommand;
    const std::function<void(bool Stored)> FEnded;
};
