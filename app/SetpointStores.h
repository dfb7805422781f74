#pragma once
// The setpoint stores the operator asked for, sent one after another. A store is one unit of
// work: its value goes into the edit block and, once the controller has taken the value, the
// store command follows, both to the sauna the store was made for. The next store starts only
// when the one before it has ended, so no value or command of a later store ever comes between
// the two writes of an earlier one.

#include <cstdint>
#include <deque>
#include <functional>

class TDravonSockets;

struct TSetpointStore {
    std::uint8_t Unit;
    std::int32_t Value;
    std::int32_t StoreCommand;
    // Runs when the store ends: true once the store command has been answered, false when a
    // write of the store failed or found the slot table full.
    std::function<void(bool Stored)> OnEnded;
};

class TSetpointStores {
public:
    explicit TSetpointStores(TDravonSockets& Sockets) : FSockets(Sockets) {}

    // Starts the store at once when none is in the slot table, else after those before it.
    void Queue(TSetpointStore Store);
    // A transaction of slot SocketNum failed: the store it belonged to is lost and the next one
    // starts.
    void Failed(std::int32_t SocketNum);
    // Stores not yet ended, the one in the slot table included.
    std::size_t Pending() const { return FStores.size(); }

private:
    void StartNext();
    void ValueWritten();
    void CommandWritten();
    // Ends the store in flight and starts the next.
    void End(bool Stored);
    // Queues one write of the store in flight; when the table is full the store is lost.
    void Send(std::int32_t Reg, std::int32_t Value, void (TSetpointStores::*Next)());

    TDravonSockets& FSockets;
    std::deque<TSetpointStore> FStores;
    // The slot of the write of the first store now in the table; 0 while none is.
    std::int32_t FSlot = 0;
};
