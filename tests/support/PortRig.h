#pragma once
#include "DravonRTU.h"
#include "FakeTCPClient.h"

#include <memory>
#include <string>
#include <vector>

using Events = std::vector<std::string>;

// A port on the scripted client, with its events recorded as text: "TRANS" for OnTrans, and
// "OnError TIMEOUT" for OnError.
struct PortRig {
    PortRig();

    // The ticks before the start delay has passed.
    void PassStartDelay();
    // Connected and started, the next tick being the first running one.
    void StartConnected();
    // One tick, 100 ms on the scripted clock after the one before; returns the events it raised.
    Events Tick();
    // Ticks until the port has written Count requests in all; false after 30 ticks without.
    bool TickUntilWritten(std::size_t Count);
    // Ticks until the read in progress ends (at most its time-out of ten ticks, and one more);
    // returns the events of the tick that ended it.
    Events TickUntilReadEnds();
    // Ms pass on the scripted clock and the client tells the port, as its notifier does when
    // bytes arrive; returns the events raised.
    Events Arrive(std::int64_t Ms);
    // The fake gateway answers every request from Controller.
    void AnswerFromController();
    // The reply to the last request the port wrote, as Controller would give it.
    QByteArray ControllerReply();

    FakeTCPClient* Fake = nullptr;
    std::unique_ptr<TDravonPort> Port;
    TSaunaMX Controller;
    Events Raised;
};

std::string StatusName(TPortStatus Status);
std::string ErrorName(TPortError Code);
