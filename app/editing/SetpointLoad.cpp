#include "SetpointLoad.h"

#include "DravonRTU.h"
#include "SaunaREG.h"

#include <utility>

TSetpointLoad::TSetpointLoad(TDravonPort& Port, std::uint8_t Unit, std::int32_t LoadCommand,
                             std::int32_t SetpointReg, THooks Hooks)
    : TEditWork(Unit), FPort(Port), FLoadCommand(LoadCommand), FSetpointReg(SetpointReg),
      FHooks(std::move(Hooks)) {}

void TSetpointLoad::Start() {
    if (!Write(REG_COMMAND, FLoadCommand, [this] {
            FCommandAnswered = true;
            ReadEditBlock();
        })) {
        Finish(false);
    }
}

// A load command that failed may or may not have reached the controller: the load has failed. A
// read that failed is one of the load's reads, tried again while the link stands; a lost link
// would fail every one.
void TSetpointLoad::RequestFailed() {
    if (!FCommandAnswered || !FPort.TCPClient->IsConnected() || ++FReads >= READS_PER_LOAD) {
        Finish(false);
        return;
    }
    ReadEditBlock();
}

void TSetpointLoad::ReadEditBlock() {
    if (!ReadBlock([this] { BlockAnswered(); })) {
        Finish(false);
    }
}

// Judged on the registers as the read has just put them into the image, before the opening
// does anything with them.
void TSetpointLoad::BlockAnswered() {
    ++FReads;
    const bool loaded = HoldsSetpoint();
    FHooks.BlockRead();
    if (loaded) {
        Finish(true);
    } else if (FReads < READS_PER_LOAD) {
        ReadAgain();
    } else {
        Finish(false);
    }
}

bool TSetpointLoad::HoldsSetpoint() const {
    const TSaunaMX& image = *FPort.Sauna;
    return FPort.SlaveAddr() == Unit() && FPort.AgeREG(FSetpointReg) == READING_LIVE &&
           image.ReadTableREG(REG_EDIT_VALUE) == image.ReadTableREG(FSetpointReg) &&
           image.ReadTableREG(REG_EDIT_STEP) > 0;
}

void TSetpointLoad::Finish(bool Loaded) {
    FHooks.Ended(Loaded);
    End();
}
