#include "SimServed.h"

#include <modbus.h>

namespace {
constexpr std::size_t AT_UNIT = 6;
constexpr std::size_t AT_FUNCTION = 7;
constexpr std::size_t AT_DATA = 9; // after the byte count

std::string Head(const TFrame& Answer, const char* What, int First) {
    return "served unit " + std::to_string(Answer[AT_UNIT]) + " " + What + " " +
           std::to_string(First) + ":";
}
} // namespace

std::string ServedLine(const TModbusRequest& Asked, const TFrame& Answer) {
    switch (Answer[AT_FUNCTION]) {
    case MODBUS_FC_READ_HOLDING_REGISTERS: {
        std::string Line = Head(Answer, "registers", Asked.Address);
        for (std::size_t At = AT_DATA; At + 1 < Answer.size(); At += 2)
            Line += " " + std::to_string(Answer[At] << 8 | Answer[At + 1]);
        return Line;
    }
    case MODBUS_FC_READ_COILS: {
        std::string Line = Head(Answer, "coils", Asked.Address) + " ";
        for (int K = 0; K < Asked.Word; ++K)
            Line += (Answer[AT_DATA + static_cast<std::size_t>(K / 8)] >> (K % 8) & 1) ? '1' : '0';
        return Line;
    }
    default:
        return {};
    }
}
