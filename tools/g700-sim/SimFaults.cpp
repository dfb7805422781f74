#include "SimFaults.h"

namespace {
bool EveryNth(int Every, int RequestNumber) {
    return Every > 0 && RequestNumber % Every == 0;
}

std::string N(int Val) {
    return std::to_string(Val);
}

std::string Multiples(int Every) {
    return N(Every) + ", " + N(2 * Every) + ", " + N(3 * Every) + ", ...";
}
} // namespace

TFaultDecision DecideFaults(const TFaultOptions& Faults, int RequestNumber) {
    TFaultDecision Decision;
    Decision.Stall = Faults.StallAfter && RequestNumber > *Faults.StallAfter;
    Decision.Exception = EveryNth(Faults.ExceptionEvery, RequestNumber);
    Decision.Drop = EveryNth(Faults.DropEvery, RequestNumber);
    Decision.Close = Faults.CloseAfter > 0 && RequestNumber == Faults.CloseAfter;
    return Decision;
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
    if (Faults.DropEvery > 0)
        Lines.push_back("answers to requests " + Multiples(Faults.DropEvery) + " dropped");
    if (Faults.ExceptionEvery > 0)
        Lines.push_back("requests " + Multiples(Faults.ExceptionEvery) +
                        " answered with exception 4");
    if (Faults.CloseAfter > 0)
        Lines.push_back("connection closed after " + N(Faults.CloseAfter) + " requests");
    if (Faults.SplitGapMs)
        Lines.push_back("answers split in two segments " + N(*Faults.SplitGapMs) + " ms apart");
    if (Faults.GarbageBytes > 0)
        Lines.push_back(N(Faults.GarbageBytes) + " garbage bytes before every answer");
    if (Faults.StallAfter)
        Lines.push_back("no answers after " + N(*Faults.StallAfter) +
                        " requests, connection kept open");
    return Lines;
}
