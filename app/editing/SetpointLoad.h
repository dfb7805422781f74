#pragma once
// A load of one setpoint into the edit block of one sauna: the load command, then reads of the
// block until it holds the setpoint. Run as one unit of work on that sauna's edit block, so no
// store's value write or command comes between the command and the reads. The block holds the
// setpoint once the value read equals the setpoint register as the poll set last read it from
// that sauna, lately, and the block has a step: a block still being loaded (zeros, or what it held
// before) does not pass, whatever limits it shows.

#include "EditBlockQueue.h"

#include <cstdint>
#include <functional>

class TDravonPort;

class TSetpointLoad final : public TEditWork {
public:
    // A controller that never loads the setpoint would otherwise be read for ever.
    static constexpr std::int32_t READS_PER_LOAD = 10;

    // What the opening the load was made for learns of it.
    struct THooks {
        // Whether the opening still waits for the load; one that does not when the load's turn
        // comes needs no load.
        std::function<bool()> Wanted;
        // A read of the block has just come into the image.
        std::function<void()> BlockRead;
        // The load has ended: Loaded when the block holds the setpoint, else failed or given up.
        std::function<void(bool Loaded)> Ended;
    };

    TSetpointLoad(TDravonPort& Port, std::uint8_t Unit, std::int32_t LoadCommand,
                  std::int32_t SetpointReg, THooks Hooks);

    bool Wanted() const override { return FHooks.Wanted(); }
    void Start() override;
    void RequestFailed() override;

private:
    void ReadEditBlock();
    void BlockAnswered();
    bool HoldsSetpoint() const;
    void Finish(bool Loaded);

    TDravonPort& FPort;
    const std::int32_t FLoadCommand;
    const std::int32_t FSetpointReg;
    const THooks FHooks;
    bool FCommandAnswered = false;
    // Reads answered or failed so far.
    std::int32_t FReads = 0;
};
