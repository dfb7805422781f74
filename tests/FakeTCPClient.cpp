#include "FakeTCPClient.h"

bool FakeTCPClient::Connect(std::int32_t) {
    ++ConnectCalls;
    if (FConnected || !ConnectSucceeds)
        return false;
    // A new connection starts with nothing received.
    FConnected = true;
    FHeld.clear();
    return true;
}

TTCPLink FakeTCPClient::CheckLink() {
    if (FailLinkTest)
        return TCP_LINK_FAILED;
    return FConnected ? TCP_LINK_UP : TCP_LINK_DOWN;
}

bool FakeTCPClient::Write(const QByteArray& Block) {
    if (FailWrites || !FConnected)
        return false;
    Written.push_back(Block);
    if (Responder)
        FHeld.append(Responder(Block));
    return true;
}

TTCPRead FakeTCPClient::Read(QByteArray& Into, std::int32_t WaitMs) {
    if (!FHeld.isEmpty()) {
        Into.append(FHeld);
        FHeld.clear();
        return TCP_READ_DATA;
    }
    if (!FConnected)
        return TCP_READ_FAILED;
    if (WaitMs <= 0)
        return TCP_READ_TIMEOUT;
    ReadWaits.push_back(WaitMs);
    if (FArrivals.empty())
        return TCP_READ_TIMEOUT;
    const Arrival next = FArrivals.front();
    FArrivals.pop_front();
    if (next.Result == TCP_READ_FAILED)
        FConnected = false;
    Into.append(next.Bytes);
    return next.Result;
}

void FakeTCPClient::Disconnect() {
    ++DisconnectCalls;
    FConnected = false;
    FHeld.clear();
}
