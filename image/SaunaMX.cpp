#include "SaunaMX.h"

#include "SaunaREG.h"

namespace {
template <typename Table> bool InTable(const Table& table, std::int32_t num) {
    return num >= 0 && static_cast<std::size_t>(num) < table.size();
}
} // namespace

std::int32_t TSaunaMX::ReadTableREG(std::int32_t Num) const {
    return InTable(FTableREG, Num) ? FTableREG[Num] : 0;
}

void TSaunaMX::WriteTableREG(std::int32_t Num, std::int32_t Val) {
    if (InTable(FTableREG, Num))
        FTableREG[Num] = Val;
}

bool TSaunaMX::ReadTableBIT(std::int32_t Num) const {
    return InTable(FTableBIT, Num) && FTableBIT[Num];
}

void TSaunaMX::WriteTableBIT(std::int32_t Num, bool Val) {
    if (InTable(FTableBIT, Num))
        FTableBIT[Num] = Val;
}

std::int32_t TSaunaMX::ReadTableRBIT(std::int32_t Num) const {
    return InTable(FTableRBIT, Num) ? FTableRBIT[Num] : 0;
}

void TSaunaMX::WriteTableRBIT(std::int32_t Num, std::int32_t Val) {
    if (InTable(FTableRBIT, Num))
        FTableRBIT[Num] = Val;
}

std::int32_t TSaunaMX::SaunaConfigType() const {
    const std::int32_t type = FTableREG[REG_CONFIG_TYPE];
    const bool fixedMode =
        type == CONFIG_TYPE_FIXED_A || type == CONFIG_TYPE_FIXED_B || type == CONFIG_TYPE_FIXED_C;
    return fixedMode ? 0 : 1;
}
