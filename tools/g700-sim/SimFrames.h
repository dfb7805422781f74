#pragma once
#include <cstdint>
#include <string>
#include <vector>

using TFrame = std::vector<std::uint8_t>;

// A Modbus TCP request as libmodbus received it: the header fields the answer repeats, the
// function code, and the two words that functions 1, 3 and 6 carry (first address, then the
// count of a read or the value of a write).
struct TModbusRequest {
    std::uint16_t TransId = 0;
    std::uint8_t Unit = 0;
    std::uint8_t Function = 0;
    std::uint16_t Address = 0;
    std::uint16_t Word = 0;
};

// How many bytes of a received frame are still to come by its length field. libmodbus frames a
// request by its function code, so the tail of a request with a function it does not know is
// left in the stream; reading it keeps the connection in step.
int MissingBytes(const std::uint8_t* Frame, int Length);

// What is wrong with a received frame, or empty text when it is sound.
std::string FrameProblem(const std::uint8_t* Frame, int Length);

TModbusRequest DecodeRequest(const std::uint8_t* Frame, int Length);

// A normal answer: the request's header and function code followed by Data.
TFrame AnswerFrame(const TModbusRequest& Req, const std::vector<std::uint8_t>& Data);

// An exception answer: the function code with its high bit set, then the exception code.
TFrame ExceptionFrame(const TModbusRequest& Req, std::uint8_t Code);
