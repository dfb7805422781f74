#include "AnswerStream.h"

#include <algorithm>

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
        const bool wellFormed =
            Word(FHeld, AT_PROTOCOL) == 0 && length >= SHORTEST_LENGTH && length <= LONGEST_LENGTH;
        const bool ours = Word(FHeld, 0) == awaited;
        if (!wellFormed) {
            Drop(NextStart(awaited, AnswerLength, 1, true));
            continue;
        }
        const qsizetype size = MBAP_HEAD + length;
        if (!ours) {
            // A frame of another transaction is skipped whole, unless the answer awaited begins
            // inside it: then what came before was no frame.
            const qsizetype start = NextStart(awaited, AnswerLength, 1, false);
            if (start < std::min(size, FHeld.size())) {
                Drop(start);
                continue;
            }
        }
        if (FHeld.size() < size)
            return SCAN_WAITING;
        const QByteArray frame = FHeld.left(size);
        FHeld.remove(0, size);
        if (ours) {
            Frame = frame;
            if (IsException(frame, Request))
                return SCAN_EXCEPTION;
            return AnswersRequest(frame, Request, AnswerLength) ? SCAN_ACCEPTED : SCAN_REJECTED;
        }
        ++FSkipped;
    }
    return SCAN_WAITING;
}

qsizetype TAnswerStream::NextStart(std::int32_t Awaited, std::int32_t AnswerLength, qsizetype From,
                                   bool CutOff) const {
    // The header the answer or an exception answer to the request in flight begins with; both
    // lengths are below 256.
    const std::uint8_t head[] = {static_cast<std::uint8_t>(Awaited >> 8),
                                 static_cast<std::uint8_t>(Awaited & 0xFF), 0, 0, 0};
    const auto answerLength = static_cast<std::uint8_t>(AnswerLength - MBAP_HEAD);
    const auto exceptionLength = static_cast<std::uint8_t>(EXCEPTION_SIZE - MBAP_HEAD);
    const qsizetype last = CutOff ? FHeld.size() : FHeld.size() - MBAP_HEAD + 1;
    for (qsizetype at = From; at < last; ++at) {
        bool could = true;
        for (qsizetype k = 0; could && k < MBAP_HEAD && at + k < FHeld.size(); ++k) {
            const std::uint8_t byte = Byte(FHeld, static_cast<int>(at + k));
            could = k < AT_LENGTH + 1 ? byte == head[k]
                                      : byte == answerLength || byte == exceptionLength;
        }
        if (could)
            return at;
    }
    return FHeld.size();
}

void TAnswerStream::Drop(qsizetype Count) {
    FHeld.remove(0, Count);
    FDropped += Count;
}

bool TAnswerStream::HoldsPartOfAnother(std::int32_t TransId) const {
    return FHeld.size() >= 2 && Word(FHeld, 0) != TransId;
}
