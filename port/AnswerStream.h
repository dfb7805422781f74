#pragma once
#include <QByteArray>

#include <cstdint>

// What a look at the bytes received so far found for the request in flight.
enum TAnswerScan : std::uint8_t {
    SCAN_WAITING,   // no whole frame of the request's transaction yet
    SCAN_ACCEPTED,  // its answer, matching the request in every field but the unit
    SCAN_EXCEPTION, // its answer, a well-formed exception: the gateway or the controller refused
    SCAN_REJECTED,  // its answer, not matching the request: another function, count or echo
};

// The bytes received from the gateway, cut into whole frames by their MBAP length. Frames of
// other transactions (late or doubled answers) are skipped whole and counted, so the stream stays
// in step and no stale frame is ever taken for the answer awaited. Bytes that are no frame, or a
// frame of another transaction inside which the answer awaited begins, are dropped only up to
// where that answer could begin, so stray bytes never cost a whole answer. Bytes after the frame
// taken stay held for the next look.
class TAnswerStream {
public:
    // Where reads append what they received.
    QByteArray& Held() { return FHeld; }
    const QByteArray& Held() const { return FHeld; }

    // Looks for the answer of AnswerLength bytes to Request (a 12-byte request frame). A frame of
    // the request's transaction, accepted or not, is taken out into Frame.
    TAnswerScan Scan(const QByteArray& Request, std::int32_t AnswerLength, QByteArray& Frame);

    // What is held begins a frame that is not of transaction TransId (its identifier is known).
    bool HoldsPartOfAnother(std::int32_t TransId) const;

    // Frames of other transactions skipped so far.
    std::int32_t SkippedFrames() const { return FSkipped; }
    // Stray bytes dropped so far.
    std::int64_t DroppedBytes() const { return FDropped; }

    // Drops what is held: bytes of a connection that has gone.
    void Clear() { FHeld.clear(); }

private:
    // The first place from From on where the answer awaited could begin: its identifier,
    // protocol 0 and a length its function allows (with CutOff, also the first bytes of those at
    // the end of what is held). The size of what is held when there is none.
    qsizetype NextStart(std::int32_t Awaited, std::int32_t AnswerLength, qsizetype From,
                        bool CutOff) const;
    void Drop(qsizetype Count);

    QByteArray FHeld;
    std::int32_t FSkipped = 0;
    std::int64_t FDropped = 0;
};
