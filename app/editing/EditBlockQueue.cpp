#include "EditBlockQueue.h"

#include "SaunaREG.h"
#include "SocketRTU.h"

#include <utility>

bool TEditWork::Write(std::int32_t Reg, std::int32_t Value, std::function<void()> Answered) {
    const std::int32_t slot = FQueue->FSockets.AddWriteRW(FUnit, Reg, Value);
    return FQueue->Send(FUnit, slot, std::move(Answered));
}

bool TEditWork::ReadBlock(std::function<void()> Answered) {
    const std::int32_t slot = FQueue->FSockets.AddReadRWBlock(FUnit, EDIT_BLOCK_FIRST,
                                                              EDIT_BLOCK_COUNT, SOCKET_MODE_SINGLE);
    return FQueue->Send(FUnit, slot, std::move(Answered));
}

void TEditWork::ReadAgain() {
    FQueue->Repeat(FUnit);
}

void TEditWork::End() {
    FQueue->End(FUnit);
}

void TEditBlockQueue::Queue(std::shared_ptr<TEditWork> Work) {
    Work->FQueue = this;
    TLine& line = FLines[Work->Unit()];
    const bool idle = line.Works.empty();
    line.Works.push_back(std::move(Work));
    if (idle) {
        StartNext(line.Works.back()->Unit());
    }
}

void TEditBlockQueue::Failed(std::int32_t SocketNum) {
    for (auto& [unit, line] : FLines) {
        if (SocketNum != 0 && line.Slot == SocketNum) {
            line.Slot = 0;
            // Held here: the work may end, and leave the queue, while it hears of the failure.
            const std::shared_ptr<TEditWork> work = line.Works.front();
            work->RequestFailed();
            return;
        }
    }
}

// The slot's handler holds the work, so that a work that ends while it handles its answer lives
// on until the handler returns.
bool TEditBlockQueue::Send(std::uint8_t Unit, std::int32_t Slot, std::function<void()> Answered) {
    if (Slot == 0) {
        return false;
    }
    TLine& line = FLines[Unit];
    line.Slot = Slot;
    FSockets.SetOnSocketEnd(
        Slot, [&line, work = line.Works.front(), Answered = std::move(Answered)](std::int32_t) {
            line.Slot = 0;
            Answered();
        });
    return true;
}

void TEditBlockQueue::Repeat(std::uint8_t Unit) {
    FSockets.RepeatActiveSocket();
    FLines[Unit].Slot = FSockets.ActiveSocket();
}

void TEditBlockQueue::End(std::uint8_t Unit) {
    TLine& line = FLines[Unit];
    line.Slot = 0;
    line.Works.pop_front();
    StartNext(Unit);
}

void TEditBlockQueue::StartNext(std::uint8_t Unit) {
    TLine& line = FLines[Unit];
    while (!line.Works.empty() && !line.Works.front()->Wanted()) {
        line.Works.pop_front();
    }
    if (!line.Works.empty()) {
        const std::shared_ptr<TEditWork> work = line.Works.front();
        work->Start();
    }
}
