#include "LoopbackModbusServer.h"

#include <modbus.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace {
constexpr int COILS = 256;
constexpr int REGISTERS = 120;
constexpr std::uint32_t RECEIVE_SLICE_US = 100000;

std::uint16_t BoundPort(int Socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("getsockname failed");
    return ntohs(address.sin_port);
}
} // namespace

LoopbackModbusServer::LoopbackModbusServer(std::chrono::seconds Lifetime) {
    // Port 0: the system picks a free one, read back after listen.
    FContext = modbus_new_tcp("127.0.0.1", 0);
    if (FContext == nullptr)
        throw std::runtime_error("modbus_new_tcp failed");
    modbus_set_slave(FContext, MODBUS_TCP_SLAVE);
    // modbus_receive returns every slice, so the thread can see its stop flag and deadline.
    modbus_set_indication_timeout(FContext, 0, RECEIVE_SLICE_US);
    for (auto& unit : FUnits)
        unit = modbus_mapping_new(COILS, 0, REGISTERS, 0);
    FNoUnit = modbus_mapping_new(0, 0, 0, 0);
    FListenSocket = modbus_tcp_listen(FContext, 1);
    if (FListenSocket < 0)
        throw std::runtime_error("modbus_tcp_listen failed");
    FPort = BoundPort(FListenSocket);
    FThread = std::thread([this, Lifetime] { Serve(std::chrono::steady_clock::now() + Lifetime); });
}

LoopbackModbusServer::~LoopbackModbusServer() {
    FStop = true;
    FThread.join();
    CloseClient();
    close(FListenSocket);
    for (auto& unit : FUnits)
        modbus_mapping_free(unit);
    modbus_mapping_free(FNoUnit);
    modbus_free(FContext);
}

void LoopbackModbusServer::SetRegister(int Unit, int Num, std::uint16_t Val) {
    std::lock_guard<std::mutex> lock(FMappingLock);
    MappingFor(Unit)->tab_registers[Num] = Val;
}

std::uint16_t LoopbackModbusServer::Register(int Unit, int Num) {
    std::lock_guard<std::mutex> lock(FMappingLock);
    return MappingFor(Unit)->tab_registers[Num];
}

void LoopbackModbusServer::SetCoil(int Unit, int Num, bool Val) {
    std::lock_guard<std::mutex> lock(FMappingLock);
    MappingFor(Unit)->tab_bits[Num] = Val ? 1 : 0;
}

void LoopbackModbusServer::DropConnectionOnNextRequest(std::chrono::milliseconds DropAfter) {
    FDropAfterMs = static_cast<int>(DropAfter.count());
}

_modbus_mapping_t* LoopbackModbusServer::MappingFor(int Unit) {
    return Unit >= 1 && Unit <= SERVED_UNITS ? FUnits[Unit - 1] : FNoUnit;
}

void LoopbackModbusServer::Serve(std::chrono::steady_clock::time_point Deadline) {
    std::uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!FStop && std::chrono::steady_clock::now() < Deadline) {
        if (FClientSocket < 0) {
            AcceptWithin(std::chrono::milliseconds(100));
            continue;
        }
        const int length = modbus_receive(FContext, request);
        if (length < 0) {
            if (errno != ETIMEDOUT)
                CloseClient(); // the panel closed the connection
            continue;
        }
        const int dropAfter = FDropAfterMs.exchange(-1);
        if (dropAfter >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(dropAfter));
            CloseClient();
            continue;
        }
        std::lock_guard<std::mutex> lock(FMappingLock);
        modbus_reply(FContext, request, length, MappingFor(request[6]));
    }
}

bool LoopbackModbusServer::AcceptWithin(std::chrono::milliseconds Wait) {
    pollfd waiting{FListenSocket, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(Wait.count())) <= 0)
        return false;
    FClientSocket = modbus_tcp_accept(FContext, &FListenSocket);
    if (FClientSocket < 0)
        return false;
    ++FAccepted;
    return true;
}

void LoopbackModbusServer::CloseClient() {
    if (FClientSocket < 0)
        return;
    close(FClientSocket);
    FClientSocket = -1;
    modbus_set_socket(FContext, -1);
}
