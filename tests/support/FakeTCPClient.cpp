#include "FakeTCPClient.h"

#include <algorithm>

void FakeTCPClient::Advance(std::int64_t Ms) {
    FNow += Ms;
    while (!FArrivals.empty() && FArrivals.front().At <= FNow) {
        const Arrival next = FArrivals.front();
        FArrivals.pop_front();
        if (next.Close)
            FConnected = false;
        else if (FConnected)
            FHeld.append(next.Bytes);
    }
}

void FakeTCPClient::Notify() {
    if (FOnActivity)
        FOnActivity();
}

void FakeTCPClient::ArriveAfter(std::int64_t Ms, const QByteArray& Bytes) {
    Schedule({FNow + Ms, false, Bytes});
}

void FakeTCPClient::CloseAfter(std::int64_t Ms) {
    Schedule({FNow + Ms, true, {}});
}

// After everything due at the same time or before, so that bytes keep their order.
void FakeTCPClient::Schedule(const Arrival& Next) {
    const auto at =
        std::upper_bound(FArrivals.begin(), FArrivals.end(), Next,
                         [](const Arrival& A, const Arrival& B) { return A.At < B.At; });
    FArrivals.insert(at, Next);
    Advance(0);
}

TTCPConnect FakeTCPClient::StartConnect() {
    ++ConnectCalls;
    if (FConnected)
        return TCP_CONNECT_FAILED;
    FAttemptPending = true;
    FAttemptDue = FNow + ConnectTakesMs;
    return ConnectTakesMs == 0 ? ConnectState() : TCP_CONNECT_PENDING;
}

TTCPConnect FakeTCPClient::ConnectState() {
    if (!FAttemptPending)
        return FConnected ? TCP_CONNECT_UP : TCP_CONNECT_FAILED;
    if (ConnectTakesMs < 0 || FNow < FAttemptDue)
        return TCP_CONNECT_PENDING;
    FAttemptPending = false;
    if (!ConnectSucceeds)
        return TCP_CONNECT_FAILED;
    Connect();
    return TCP_CONNECT_UP;
}

// A new connection starts with nothing received.
void FakeTCPClient::Connect() {
    FConnected = true;
    FHeld.clear();
    FArrivals.clear();
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
        ArriveAfter(ResponseDelayMs, Responder(Block));
    return true;
}

TTCPRead FakeTCPClient::Read(QByteArray& Into) {
    if (!FHeld.isEmpty()) {
        Into.append(FHeld);
        FHeld.clear();
        return TCP_READ_DATA;
    }
    return FConnected ? TCP_READ_NONE : TCP_READ_FAILED;
}

void FakeTCPClient::Disconnect() {
    ++DisconnectCalls;
    if (FAttemptPending)
        ++AbandonedAttempts;
    FAttemptPending = false;
    FConnected = false;
    FHeld.clear();
    FArrivals.clear();
}
