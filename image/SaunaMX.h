#pragma once
#include <array>
#include <cstdint>

// The controller image: the in-memory mirror of the sauna controller's holding registers and
// coils as last read over the link. A passive store; the port is its only writer of what comes
// from the controller. Indices outside a table read 0 (false) and ignore writes.
class TSaunaMX {
public:
    static constexpr int REG_COUNT = 120;
    static constexpr int BIT_COUNT = 256;
    static constexpr int RBIT_COUNT = 16;

    TSaunaMX() = default;
    virtual ~TSaunaMX() = default;

    std::int32_t ReadTableREG(std::int32_t Num) const;
    void WriteTableREG(std::int32_t Num, std::int32_t Val);
    bool ReadTableBIT(std::int32_t Num) const;
    void WriteTableBIT(std::int32_t Num, bool Val);
    std::int32_t ReadTableRBIT(std::int32_t Num) const;
    void WriteTableRBIT(std::int32_t Num, std::int32_t Val);

    std::int32_t SaunaType() const { return FSaunaType; }
    void SetSaunaType(std::int32_t Val) { FSaunaType = Val; }

    // 1 when the configuration type allows a selectable heating mode, 0 for types 10, 20, 60.
    std::int32_t SaunaConfigType() const;

private:
    std::int32_t FSaunaType = 0;
    std::array<std::int32_t, REG_COUNT> FTableREG{};
    std::array<bool, BIT_COUNT> FTableBIT{};
    std::array<std::int32_t, RBIT_COUNT> FTableRBIT{};
};
