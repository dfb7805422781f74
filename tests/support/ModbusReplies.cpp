#include "ModbusReplies.h"

#include <cstdio>

namespace {
constexpr std::uint8_t READ_COILS = 1;
constexpr std::uint8_t READ_HOLDING_REGISTERS = 3;
constexpr std::uint8_t WRITE_SINGLE_REGISTER = 6;

std::uint8_t At(const QByteArray& Frame, int Offset) {
    return Offset < Frame.size() ? static_cast<std::uint8_t>(Frame[Offset]) : 0;
}

void AppendWord(QByteArray& Frame, std::int32_t Word) {
    Frame.append(static_cast<char>((Word >> 8) & 0xFF));
    Frame.append(static_cast<char>(Word & 0xFF));
}

// Identifier, protocol, length of what follows, unit.
QByteArray Header(const QByteArray& Request, std::int32_t Following) {
    QByteArray frame;
    AppendWord(frame, FrameID(Request));
    AppendWord(frame, 0);
    AppendWord(frame, Following + 1);
    frame.append(static_cast<char>(FrameUnit(Request)));
    return frame;
}

QByteArray CoilData(const TSaunaMX& Controller, std::int32_t First, std::int32_t Count) {
    QByteArray data((Count + 7) / 8, '\0');
    for (std::int32_t k = 0; k < Count; ++k)
        if (Controller.ReadTableBIT(First + k))
            data[k / 8] =
                static_cast<char>(static_cast<std::uint8_t>(data[k / 8]) | (1 << (k % 8)));
    return data;
}
} // namespace

std::int32_t FrameWord(const QByteArray& Frame, int Offset) {
    return At(Frame, Offset) * 256 + At(Frame, Offset + 1);
}

std::int32_t FrameID(const QByteArray& Frame) {
    return FrameWord(Frame, 0);
}

std::uint8_t FrameUnit(const QByteArray& Frame) {
    return At(Frame, 6);
}

std::uint8_t FrameFunction(const QByteArray& Frame) {
    return At(Frame, 7);
}

std::int32_t FrameFirst(const QByteArray& Frame) {
    return FrameWord(Frame, 8);
}

std::string Hex(const QByteArray& Frame) {
    std::string text;
    for (int i = 0; i < Frame.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", At(Frame, i));
        if (i > 0)
            text += ' ';
        text += pair;
    }
    return text;
}

QByteArray WithByte(QByteArray Frame, int Offset, std::uint8_t Val) {
    Frame[Offset] = static_cast<char>(Val);
    return Frame;
}

QByteArray ReplyWithData(const QByteArray& Request, const QByteArray& Data) {
    QByteArray frame = Header(Request, 2 + Data.size());
    frame.append(static_cast<char>(FrameFunction(Request)));
    frame.append(static_cast<char>(Data.size()));
    frame.append(Data);
    return frame;
}

QByteArray ReplyRegisters(const QByteArray& Request, const std::vector<std::int32_t>& Words) {
    QByteArray data;
    for (std::int32_t word : Words)
        AppendWord(data, word);
    return ReplyWithData(Request, data);
}

QByteArray ReplyException(const QByteArray& Request, std::uint8_t Code) {
    QByteArray frame = Header(Request, 2);
    frame.append(static_cast<char>(FrameFunction(Request) | 0x80));
    frame.append(static_cast<char>(Code));
    return frame;
}

QByteArray ReplyFromController(TSaunaMX& Controller, const QByteArray& Request) {
    const std::int32_t first = FrameFirst(Request);
    const std::int32_t word = FrameWord(Request, 10);
    switch (FrameFunction(Request)) {
    case READ_COILS:
        return ReplyWithData(Request, CoilData(Controller, first, word));
    case READ_HOLDING_REGISTERS: {
        std::vector<std::int32_t> words;
        for (std::int32_t k = 0; k < word; ++k)
            words.push_back(Controller.ReadTableREG(first + k));
        return ReplyRegisters(Request, words);
    }
    case WRITE_SINGLE_REGISTER:
        Controller.WriteTableREG(first, word);
        return Request;
    default:
        return ReplyException(Request, 1);
    }
}
