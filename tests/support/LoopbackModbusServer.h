#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

struct _modbus;
struct _modbus_mapping_t;

// An independent Modbus TCP server on 127.0.0.1, built on libmodbus, running in its own thread
// for a bounded time. Unit identifiers 1 and 2 each have their own 256 coils and 120 holding
// registers; any other unit has none, so every request to it gets an exception answer.
// The server thread never touches Qt.
class LoopbackModbusServer {
public:
    static constexpr int SERVED_UNITS = 2;

    explicit LoopbackModbusServer(std::chrono::seconds Lifetime = std::chrono::seconds(20));
    ~LoopbackModbusServer();
    LoopbackModbusServer(const LoopbackModbusServer&) = delete;
    LoopbackModbusServer& operator=(const LoopbackModbusServer&) = delete;

    std::uint16_t Port() const { return FPort; }
    int Accepted() const { return FAccepted; }

    void SetRegister(int Unit, int Num, std::uint16_t Val);
    std::uint16_t Register(int Unit, int Num);
    void SetCoil(int Unit, int Num, bool Val);
    // The next request is received but not answered: the server waits DropAfter, then closes
    // the connection, and accepts a new one.
    void DropConnectionOnNextRequest(std::chrono::milliseconds DropAfter);

private:
    void Serve(std::chrono::steady_clock::time_point Deadline);
    bool AcceptWithin(std::chrono::milliseconds Wait);
    void CloseClient();
    _modbus_mapping_t* MappingFor(int Unit);

    _modbus* FContext = nullptr;
    _modbus_mapping_t* FUnits[SERVED_UNITS] = {};
    _modbus_mapping_t* FNoUnit = nullptr;
    int FListenSocket = -1;
    int FClientSocket = -1;
    std::uint16_t FPort = 0;
    std::mutex FMappingLock;
    std::atomic<bool> FStop{false};
    std::atomic<int> FAccepted{0};
    std::atomic<int> FDropAfterMs{-1};
    std::thread FThread;
};
