#include "SimFaults.h"

#include "SimPresets.h"

namespace {
constexpr int AT_ID = 0;
constexpr int AT_PROTOCOL = 2;
constexpr int AT_UNIT = 6;
constexpr std::uint8_t OTHER_ID_HIGH_BIT = 0x80;
constexpr std::uint8_t OTHER_PROTOCOL = 1;

bool EveryNth(int Every, int RequestNumber) {
    return Every > 0 && RequestNumber % Every == 0;
}

std::string N(int Val) {
    return std::to_string(Val);
}

std::string Multiples(int Every) {
    return N(Every) + ", " + N(2 * Every) + ", " + N(3 * Every) + ", ...";
}

std::string Answers(int Every) {
    return Every == 1 ? "every answer" : "answers to requests " + Multiples(Every);
}
} // namespace

TFaultDecision DecideFaults(const TFaultOptions& Faults, int RequestNumber, int Percentile) {
    TFaultDecision Decision;
    Decision.Stall = Faults.StallAfter && RequestNumber > *Faults.StallAfter;
    Decision.Exception = EveryNth(Faults.ExceptionEvery, RequestNumber);
    Decision.Drop = EveryNth(Faults.DropEvery, RequestNumber) || Percentile < Faults.DropPercent;
    Decision.Close = Faults.CloseAfter > 0 && RequestNumber == Faults.CloseAfter;
    Decision.Late = EveryNth(Faults.LateEvery, RequestNumber);
    Decision.Double = EveryNth(Faults.DoubleEvery, RequestNumber);
    Decision.OtherId = EveryNth(Faults.OtherIdEvery, RequestNumber);
    Decision.OtherUnit = EveryNth(Faults.OtherUnitEvery, RequestNumber);
    Decision.OtherProtocol = EveryNth(Faults.OtherProtocolEvery, RequestNumber);
    return Decision;
}

std::uint8_t OtherUnit(std::uint8_t Unit) {
    return static_cast<std::uint8_t>(Unit % UNIT_COUNT + FIRST_UNIT);
}

void Misaddress(TFrame& Answer, const TFaultDecision& Fault, std::uint8_t RequestUnit) {
    if (Fault.OtherId)
        Answer[AT_ID] ^= OTHER_ID_HIGH_BIT;
    if (Fault.OtherProtocol)
        Answer[AT_PROTOCOL + 1] = OTHER_PROTOCOL;
    if (Fault.OtherUnit)
        Answer[AT_UNIT] = OtherUnit(RequestUnit);
}

std::vector<std::uint8_t> GarbageBytes(int Count) {
    std::vector<std::uint8_t> Bytes;
    for (int K = 0; K < Count; ++K)
        Bytes.push_back(static_cast<std::uint8_t>(0xA5 ^ (K * 37)));
    return Bytes;
}

std::vector<std::string> DescribeFaults(const TFaultOptions& Faults) {
    std::vector<std::string> Lines;
    if (Faults.DelayMs > 0)
        Lines.push_back("every answer " + N(Faults.DelayMs) + " ms late");
    if (Faults.LateEvery > 0)
        Lines.push_back(Answers(Faults.LateEvery) + " " + N(Faults.LateByMs) + " ms later");
    if (Faults.DropEvery > 0)
        Lines.push_back("answers to requests " + Multiples(Faults.DropEvery) + " dropped");
    if (Faults.DropPercent > 0)
        Lines.push_back("answers dropped at random, " + N(Faults.DropPercent) + " % (seed " +
                        std::to_string(Faults.Seed) + ")");
    if (Faults.ExceptionEvery > 0)
        Lines.push_back("requests " + Multiples(Faults.ExceptionEvery) +
                        " answered with exception 4");
    if (Faults.CloseAfter > 0)
        Lines.push_back("connection closed after " + N(Faults.CloseAfter) + " requests");
    if (Faults.SplitGapMs)
        Lines.push_back("answers split in two segments " + N(*Faults.SplitGapMs) + " ms apart");
    if (Faults.DribbleMs)
        Lines.push_back("answers dribbled a byte every " + N(*Faults.DribbleMs) + " ms");
    if (Faults.DoubleEvery > 0)
        Lines.push_back(Answers(Faults.DoubleEvery) + " sent twice");
    if (Faults.GarbageBytes > 0)
        Lines.push_back(N(Faults.GarbageBytes) + " garbage bytes before every answer");
    if (Faults.StallAfter)
        Lines.push_back("no answers after " + N(*Faults.StallAfter) +
                        " requests, connection kept open");
    if (Faults.OtherIdEvery > 0)
        Lines.push_back(Answers(Faults.OtherIdEvery) + " with another transaction identifier");
    if (Faults.OtherUnitEvery > 0)
        Lines.push_back(Answers(Faults.OtherUnitEvery) + " from another unit");
    if (Faults.OtherProtocolEvery > 0)
        Lines.push_back(Answers(Faults.OtherProtocolEvery) + " with protocol identifier 1");
    return Lines;
}
