#pragma once
#include "SaunaMX.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

// Modbus TCP frames as a gateway sends them back to a request of the port, for tests that
// script the gateway's side. Offsets are 0-based positions in the frame.

std::int32_t FrameWord(const QByteArray& Frame, int Offset);
std::int32_t FrameID(const QByteArray& Frame);
std::uint8_t FrameUnit(const QByteArray& Frame);
std::uint8_t FrameFunction(const QByteArray& Frame);
std::int32_t FrameFirst(const QByteArray& Frame);

// The frame's bytes as upper-case hexadecimal pairs separated by spaces.
std::string Hex(const QByteArray& Frame);
// A copy of Frame with the byte at Offset replaced.
QByteArray WithByte(QByteArray Frame, int Offset, std::uint8_t Val);

// The answer to a read: header, function code, byte count and Data.
QByteArray ReplyWithData(const QByteArray& Request, const QByteArray& Data);
QByteArray ReplyRegisters(const QByteArray& Request, const std::vector<std::int32_t>& Words);
QByteArray ReplyException(const QByteArray& Request, std::uint8_t Code);
// Serves functions 1, 3 and 6 from a controller kept in an image: reads answer from its
// tables, a write lands in its register table and is echoed.
QByteArray ReplyFromController(TSaunaMX& Controller, const QByteArray& Request);
