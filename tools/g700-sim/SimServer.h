#pragma once
#include "SimClock.h"
#include "SimFaults.h"
#include "SimFrames.h"
#include "SimGateway.h"
#include "SimLog.h"
#include "SimOptions.h"

#include <modbus.h>

#include <memory>
#include <string>

// The Modbus TCP server of the gateway: listens on a loopback address, serves one client
// connection at a time, lets libmodbus receive and frame each request, answers it through the
// gateway and injects the faults the options ask for. Single-threaded; every wait is short, so
// the loop notices a stop request and keeps the controllers' clocks moving.
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
    void WaitForClient();
    void ServeClient();
    void ServeRequest();
    bool ReadMissing(std::uint8_t* Frame, int& Length);
    void Answer(const TModbusRequest& Req, int Number, const TFaultDecision& Fault);
    void Deliver(const TFrame& Answer, int Number);
    bool Send(const std::uint8_t* Bytes, std::size_t Count);
    void CloseClient(const std::string& Why);
    bool Pause(int Ms) const;

    const TSimOptions FOptions;
    const TSimClock& FClock;
    const TSimLog& FLog;
    TSimGateway FGateway;
    std::unique_ptr<modbus_t, decltype(&modbus_free)> FContext;
    int FListenFd = -1;
    int FClientFd = -1;
    std::string FClientName;
    int FRequestCount = 0;
};
