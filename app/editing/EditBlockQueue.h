#pragma once
// A controller has one edit block, and whatever uses it must have it alone. A load (its command
// and its reads) and a store (its value write and its store command) are each one unit of work
// on the edit block of the sauna it was made for. The units of one sauna run one at a time, in
// the order they were queued: a unit starts only when the one before it has ended (answered,
// failed or given up), so nothing of another unit comes between its requests, and a unit that
// waits holds no slot. Units of different saunas do not wait for each other; the poll set and the
// output commands keep their own turns in the slot table.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>

class TDravonSockets;
class TEditBlockQueue;

// One unit of work on the edit block of one sauna. While it runs it has one request at a time in
// the slot table; every answer and every failure either sends its next request or ends it.
class TEditWork {
public:
    explicit TEditWork(std::uint8_t Unit) : FUnit(Unit) {}
    virtual ~TEditWork() = default;
    TEditWork(const TEditWork&) = delete;
    TEditWork& operator=(const TEditWork&) = delete;

    std::uint8_t Unit() const { return FUnit; }
    // Whether the work is still worth doing; one that is not when its turn comes is dropped
    // without a request.
    virtual bool Wanted() const { return true; }
    // Its turn has come: it sends its first request.
    virtual void Start() = 0;
    // Its request in the slot table failed.
    virtual void RequestFailed() = 0;

protected:
    // Queue the work's next request, a write of one register or a read of the edit block, to its
    // sauna; Answered runs when the answer has been accepted. False, with nothing queued, when
    // the slot table is full.
    bool Write(std::int32_t Reg, std::int32_t Value, std::function<void()> Answered);
    bool ReadBlock(std::function<void()> Answered);
    // Called from the read's Answered: the same read is served once more, with the same Answered.
    void ReadAgain();
    // The work has ended; the next one of its sauna starts.
    void End();

private:
    friend class TEditBlockQueue;
    const std::uint8_t FUnit;
    TEditBlockQueue* FQueue = nullptr;
};

class TEditBlockQueue {
public:
    explicit TEditBlockQueue(TDravonSockets& Sockets) : FSockets(Sockets) {}

    // Starts Work at once when nothing runs on its sauna's edit block, else after the units
    // queued before it.
    void Queue(std::shared_ptr<TEditWork> Work);
    // The transaction of slot SocketNum failed; the unit whose request it was hears of it.
    void Failed(std::int32_t SocketNum);

private:
    friend class TEditWork;

    // The units of one sauna; the first one runs.
    struct TLine {
        std::deque<std::shared_ptr<TEditWork>> Works;
        // The slot of the running unit's request; 0 while it has none in the table.
        std::int32_t Slot = 0;
    };

    bool Send(std::uint8_t Unit, std::int32_t Slot, std::function<void()> Answered);
    void Repeat(std::uint8_t Unit);
    void End(std::uint8_t Unit);
    // Starts the first unit still wanted on Unit's edit block, dropping those before it.
    void StartNext(std::uint8_t Unit);

    TDravonSockets& FSockets;
    std::map<std::uint8_t, TLine> FLines;
};
