#pragma once
#include "SimClock.h"
#include "SimFaults.h"
#include "SimFrames.h"
#include "SimGateway.h"
#include "SimLog.h"
#include "SimOptions.h"

#include <modbus.h>

#include <chrono>
#include <deque>
#include <memory>
#include <random>
#include <string>

// The Modbus TCP server of the gateway: listens on a loopback address, serves one client
// connection at a time, lets libmodbus receive and frame each request, answers it through the
// gateway and injects the faults the options ask for. Single-threaded and never blocked for
// long: held-back answers wait in an outbox while the loop goes on, so it notices a stop request
// and keeps the controllers' clocks moving.
class TSimServer {
public:
    TSimServer(const TSimOptions& Options, const TSimClock& Clock, const TSimLog& Log);
    ~TSimServer();
    TSimServer(const TSimServer&) = delete;
    TSimServer& operator=(const TSimServer&) = delete;

    // Opens the listening socket and reports the address; false when that fails.
    bool Listen();

    // Serves clients until SIGINT or SIGTERM.
    void Run();

private:
    using Clock = std::chrono::steady_clock;

    // Bytes that wait for their time to go out; a close waits its turn behind what was queued
    // before it.
    struct TOutgoing {
        TFrame Bytes;
        Clock::time_point Due;
        std::string CloseWhy; // not empty: close the connection once this is reached
    };

    void WaitForClient();
    void ServeClient();
    void ServeRequest();
    bool ReadMissing(std::uint8_t* Frame, int& Length);
    void SwitchFaultsOff();
    TFaultDecision Decide(int Number);
    void Respond(const TModbusRequest& Req, int Number, const TFaultDecision& Fault);
    TFrame MakeAnswer(const TModbusRequest& Req, const TModbusRequest& Asked, int Number,
                      const TFaultDecision& Fault);
    void Queue(const TFrame& Answer, int Number, const TFaultDecision& Fault);
    void QueuePieces(const TFrame& Bytes, Clock::time_point Due, int Number);
    void SendDue();
    bool Send(const TFrame& Bytes);
    void CloseClient(const std::string& Why);
    Clock::time_point LastDue() const;

    const TSimOptions FOptions;
    // The faults in force: those of the options until SIGUSR1 switches them off.
    TFaultOptions FFaults;
    std::mt19937 FRandom;
    const TSimClock& FClock;
    const TSimLog& FLog;
    TSimGateway FGateway;
    std::unique_ptr<modbus_t, decltype(&modbus_free)> FContext;
    int FListenFd = -1;
    int FClientFd = -1;
    std::string FClientName;
    int FRequestCount = 0;
    std::deque<TOutgoing> FOutbox;
};
