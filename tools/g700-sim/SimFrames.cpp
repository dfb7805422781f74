#include "SimFrames.h"

#include <modbus.h>

namespace {
constexpr int HEADER_LENGTH = 7;             // transaction, protocol, length, unit
constexpr int WORDS_END = HEADER_LENGTH + 5; // function code and two words
constexpr int LENGTH_FIELD_START = 6;        // the length field counts from the unit on

std::uint16_t WordAt(const std::uint8_t* Frame, int Pos) {
    return static_cast<std::uint16_t>(Frame[Pos] << 8 | Frame[Pos + 1]);
}

void PutWord(TFrame& Frame, int Val) {
    Frame.push_back(static_cast<std::uint8_t>(Val >> 8));
    Frame.push_back(static_cast<std::uint8_t>(Val));
}

TFrame Header(const TModbusRequest& Req, std::size_t PduLength) {
    TFrame Frame;
    PutWord(Frame, Req.TransId);
    PutWord(Frame, 0);
    PutWord(Frame, static_cast<int>(PduLength + 1));
    Frame.push_back(Req.Unit);
    return Frame;
}
} // namespace

int MissingBytes(const std::uint8_t* Frame, int Length) {
    if (Length < HEADER_LENGTH)
        return 0;
    const int Declared = LENGTH_FIELD_START + WordAt(Frame, 4);
    return Declared > Length && Declared <= MODBUS_TCP_MAX_ADU_LENGTH ? Declared - Length : 0;
}

std::string FrameProblem(const std::uint8_t* Frame, int Length) {
    if (Length <= HEADER_LENGTH)
        return "frame of " + std::to_string(Length) + " bytes has no function code";
    if (const int Protocol = WordAt(Frame, 2); Protocol != 0)
        return "protocol identifier " + std::to_string(Protocol) + ", expected 0";
    if (const int Declared = WordAt(Frame, 4); Declared != Length - LENGTH_FIELD_START)
        return "length field " + std::to_string(Declared) + " for a frame of " +
               std::to_string(Length) + " bytes";
    const int Function = Frame[HEADER_LENGTH];
    const bool TwoWords = Function == MODBUS_FC_READ_COILS ||
                          Function == MODBUS_FC_READ_HOLDING_REGISTERS ||
                          Function == MODBUS_FC_WRITE_SINGLE_REGISTER;
    if (TwoWords && Length != WORDS_END)
        return "function " + std::to_string(Function) + " takes " + std::to_string(WORDS_END) +
               " bytes, the frame has " + std::to_string(Length);
    return {};
}

TModbusRequest DecodeRequest(const std::uint8_t* Frame, int Length) {
    TModbusRequest Req;
    Req.TransId = WordAt(Frame, 0);
    Req.Unit = Frame[HEADER_LENGTH - 1];
    Req.Function = Frame[HEADER_LENGTH];
    if (Length >= WORDS_END) {
        Req.Address = WordAt(Frame, HEADER_LENGTH + 1);
        Req.Word = WordAt(Frame, HEADER_LENGTH + 3);
    }
    return Req;
}

TFrame AnswerFrame(const TModbusRequest& Req, const std::vector<std::uint8_t>& Data) {
    TFrame Frame = Header(Req, 1 + Data.size());
    Frame.push_back(Req.Function);
    Frame.insert(Frame.end(), Data.begin(), Data.end());
    return Frame;
}

TFrame ExceptionFrame(const TModbusRequest& Req, std::uint8_t Code) {
    TFrame Frame = Header(Req, 2);
    Frame.push_back(static_cast<std::uint8_t>(Req.Function | 0x80));
    Frame.push_back(Code);
    return Frame;
}
