#include "AnswerStream.h"

namespace {
// Identifier, protocol identifier and length: the length counts what follows them.
constexpr qsizetype MBAP_HEAD = 6;
// The length counts the unit identifier and a PDU of 1 to 253 bytes.
constexpr std::int32_t SHORTEST_LENGTH = 2;
constexpr std::int32_t LONGEST_LENGTH = 254;

constexpr int AT_PROTOCOL = 2;
constexpr int AT_LENGTH = 4;
constexpr int AT_FUNCTION = 7;
constexpr int AT_BYTE_COUNT = 8;
constexpr int AT_ECHO = 8; // a write's answer repeats the register and the value
constexpr int ECHO_LENGTH = 4;
constexpr int READ_HEAD = 9; // up to and including the byte count
constexpr std::uint8_t WRITE_SINGLE_REGISTER = 6;
// An exception answer: the request's function with its high bit set, and one exception code.
constexpr std::uint8_t EXCEPTION_BIT = 0x80;
constexpr qsizetype EXCEPTION_SIZE = MBAP_HEAD + 3;

std::uint8_t Byte(const QByteArray& Bytes, int At) {
    return static_cast<std::uint8_t>(Bytes[At]);
}

std::int32_t Word(const QByteArray& Bytes, int At) {
    return Byte(Bytes, At) * 256 + Byte(Bytes, At + 1);
}

// The transaction identifier pairs an answer with its request; a gateway that does not echo the
// unit identifier is still answering it.
bool AnswersRequest(const QByteArray& Frame, const QByteArray& Request, std::int32_t AnswerLength) {
    if (Frame.size() != AnswerLength || Frame[AT_FUNCTION] != Request[AT_FUNCTION])
        return false;
    if (Byte(Request, AT_FUNCTION) == WRITE_SINGLE_REGISTER)
        return Frame.mid(AT_ECHO, ECHO_LENGTH) == Request.mid(AT_ECHO, ECHO_LENGTH);
    return Byte(Frame, AT_BYTE_COUNT) == AnswerLength - READ_HEAD;
}

bool IsException(const QByteArray& Frame, const QByteArray& Request) {
    return Frame.size() == EXCEPTION_SIZE &&
           Byte(Frame, AT_FUNCTION) == (Byte(Request, AT_FUNCTION) | EXCEPTION_BIT);
}
} // namespace

TAnswerScan TAnswerStream::Scan(const QByteArray& Request, std::int32_t AnswerLength,
                                QByteArray& Frame) {
    const std::int32_t awaited = Word(Request, 0);
    while (FHeld.size() >= MBAP_HEAD) {
        const std::int32_t length = Word(FHeld, AT_LENGTH);
        if (Word(FHeld, AT_PROTOCOL) != 0 || length < SHORTEST_LENGTH || length > LONGEST_LENGTH) {
            // No frame boundary can be trusted in what follows.
            FHeld.clear();
            return SCAN_MALFORMED;
        }
        const qsizetype size = MBAP_HEAD + length;
        if (FHeld.size() < size)
            return SCAN_WAITING;
        const QByteArray frame = FHeld.left(size);
        FHeld.remove(0, size);
        if (Word(frame, 0) == awaited) {
            Frame = frame;
            if (IsException(frame, Request))
                return SCAN_EXCEPTION;
            return AnswersRequest(frame, Request, AnswerLength) ? SCAN_ACCEPTED : SCAN_REJECTED;
        }
        ++FSkipped;
    }
    return SCAN_WAITING;
}

bool TAnswerStream::HoldsPartOfAnother(std::int32_t TransId) const {
    return FHeld.size() >= 2 && Word(FHeld, 0) != TransId;
}
