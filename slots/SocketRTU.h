#pragma once
#include <array>
#include <cstdint>
#include <functional>

// The request slot table: 30 Modbus requests that the controller port serves round robin, one
// transaction at a time. Slot numbers run 1 to 30; 0 means "no slot" (none active, table full).

enum TSocketMode : std::uint8_t {
    SOCKET_MODE_NONE,   // free slot
    SOCKET_MODE_SINGLE, // served once, freed when closed
    SOCKET_MODE_REPEAT, // served once more: becomes single and waits again when closed
    SOCKET_MODE_MULTI,  // cyclic: waits again after every turn
};

enum TSocketStatus : std::uint8_t {
    SOCKET_STATUS_STOP,     // free slot
    SOCKET_STATUS_WAIT,     // waiting to be served
    SOCKET_STATUS_RUN,      // request sent, response awaited
    SOCKET_STATUS_COMPLETE, // response read (or the read failed)
    SOCKET_STATUS_END,      // response accepted and decoded
    SOCKET_STATUS_ERROR,    // send, read or response check failed
};

// The table's own request codes (not Modbus function codes: registers are read with 3).
constexpr std::int32_t SOCKET_FUNCTION_READ_COILS = 1;
constexpr std::int32_t SOCKET_FUNCTION_READ_REGISTERS = 4;
constexpr std::int32_t SOCKET_FUNCTION_WRITE_REGISTER = 6;

// Called with the number (1 to 30) of the slot whose response was accepted.
using TEventOnSocketEnd = std::function<void(std::int32_t SocketNum)>;

struct TRTUSocket {
    static constexpr int REG_TABLE_SIZE = 32;

    TSocketMode Mode = SOCKET_MODE_NONE;
    TSocketStatus Status = SOCKET_STATUS_STOP;
    std::int32_t SlaveAddr = 0;
    std::int32_t FunctionCode = 0;
    std::int32_t RegNum = 0;
    std::int32_t RegCount = 0;
    std::int32_t RegValue = 0;
    std::array<std::int32_t, REG_TABLE_SIZE> RegTable{};
    TEventOnSocketEnd OnSocketEnd;
};

// Slot numbers outside 1 to 30 are ignored by the setters and read as a free slot (0,
// SOCKET_MODE_NONE, SOCKET_STATUS_STOP) by the getters.
class TDravonSockets {
public:
    static constexpr std::int32_t SOCKET_COUNT = 30;

    std::int32_t Count() const { return FCount; }
    std::int32_t ActiveSocket() const { return FActiveSocket; }

    std::int32_t Add(const TRTUSocket& RSocket);
    void Clear(std::int32_t SNum);
    void GetNext();
    // Readdresses the cyclic requests (the poll set); every other request keeps its sauna.
    void SetAddress(std::uint8_t Addr);
    void CloseActiveSocket();
    void CompleteActiveSocket();
    void RepeatActiveSocket();
    void ResetSockets();

    std::int32_t AddReadRBBlock(std::int32_t SAddr, std::int32_t RStart, std::int32_t RCount,
                                TSocketMode SMode);
    std::int32_t AddReadRW(std::int32_t SAddr, std::int32_t RNum, TSocketMode SMode);
    std::int32_t AddReadRWBlock(std::int32_t SAddr, std::int32_t RStart, std::int32_t RCount,
                                TSocketMode SMode);
    std::int32_t AddWriteRW(std::int32_t SAddr, std::int32_t RNum, std::int32_t RVal);

    TSocketMode GetMode(std::int32_t Num) const;
    void SetMode(std::int32_t Num, TSocketMode Val);
    TSocketStatus GetStatus(std::int32_t Num) const;
    void SetStatus(std::int32_t Num, TSocketStatus Val);
    std::int32_t GetSlaveAddr(std::int32_t Num) const;
    void SetSlaveAddr(std::int32_t Num, std::int32_t Val);
    std::int32_t GetFunctionCode(std::int32_t Num) const;
    void SetFunctionCode(std::int32_t Num, std::int32_t Val);
    std::int32_t GetRegNum(std::int32_t Num) const;
    void SetRegNum(std::int32_t Num, std::int32_t Val);
    std::int32_t GetRegCount(std::int32_t Num) const;
    void SetRegCount(std::int32_t Num, std::int32_t Val);
    std::int32_t GetRegValue(std::int32_t Num) const;
    void SetRegValue(std::int32_t Num, std::int32_t Val);
    std::int32_t GetRegTable(std::int32_t Num, std::int32_t RNum) const;
    void SetRegTable(std::int32_t Num, std::int32_t RNum, std::int32_t Val);
    void SetOnSocketEnd(std::int32_t Num, TEventOnSocketEnd OnEvent);

private:
    static bool IsSlotNum(std::int32_t Num) { return Num >= 1 && Num <= SOCKET_COUNT; }
    // The slot to change, or nullptr for a number outside the table.
    TRTUSocket* Find(std::int32_t Num) { return IsSlotNum(Num) ? &FSockets[Num - 1] : nullptr; }
    // The slot to read; a number outside the table reads as a free slot.
    const TRTUSocket& Look(std::int32_t Num) const;
    std::int32_t FindFreeSocket() const;
    std::int32_t AddRequest(TSocketMode SMode, std::int32_t SAddr, std::int32_t FunctionCode,
                            std::int32_t RNum, std::int32_t RCount, std::int32_t RVal);

    std::array<TRTUSocket, SOCKET_COUNT> FSockets{};
    std::int32_t FCount = 0;
    std::int32_t FActiveSocket = 0;
};
