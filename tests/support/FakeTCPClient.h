#pragma once
#include "TCPClient.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// A scripted TCP client on a clock of its own: tests decide what arrives and when (whole, split,
// late, doubled or no response, a closed peer), how long a connection attempt takes, and make
// writes or the connected test fail. It never touches the network and never sleeps: time passes
// only when a test moves the clock.
class FakeTCPClient final : public TTCPClient {
public:
    // Moves the clock on by Ms; what comes due meanwhile arrives. The client's news is not told
    // by this: Notify does that, as the event loop would.
    void Advance(std::int64_t Ms);
    // Tells the port that something may have changed, as the socket's notifier does.
    void Notify();

    // Bytes that have arrived already; the next read delivers them at once.
    void Hold(const QByteArray& Bytes) { FHeld.append(Bytes); }
    // Bytes that arrive Ms from now on the clock.
    void ArriveAfter(std::int64_t Ms, const QByteArray& Bytes);
    // The gateway closes the connection Ms from now; bytes it sent before stay held.
    void CloseAfter(std::int64_t Ms);
    // The gateway closes the connection now.
    void ClosePeer() { FConnected = false; }
    // Scripted arrivals and closes not yet due.
    std::size_t ArrivalsLeft() const { return FArrivals.size(); }
    std::int32_t HeldBytes() const { return static_cast<std::int32_t>(FHeld.size()); }

    // Answers each written request; what it returns arrives ResponseDelayMs later.
    std::function<QByteArray(const QByteArray& Request)> Responder;
    std::int64_t ResponseDelayMs = 0;
    // A connection attempt succeeds (or is refused) after ConnectTakesMs on the clock; at once
    // when 0, never when negative.
    bool ConnectSucceeds = true;
    std::int64_t ConnectTakesMs = 0;
    bool FailWrites = false;
    bool FailLinkTest = false;
    bool Connected() const { return FConnected; }
    void SetConnected(bool Val) { FConnected = Val; }
    bool AttemptPending() const { return FAttemptPending; }

    // What the port did.
    std::vector<QByteArray> Written;
    std::int32_t ConnectCalls = 0;
    std::int32_t DisconnectCalls = 0;
    std::int32_t AbandonedAttempts = 0;
    QString Host;
    std::uint16_t Port = 0;

    void SetHost(const QString& Val) override { Host = Val; }
    void SetPort(std::uint16_t Val) override { Port = Val; }
    TTCPConnect StartConnect() override;
    TTCPConnect ConnectState() override;
    TTCPLink CheckLink() override;
    bool Write(const QByteArray& Block) override;
    TTCPRead Read(QByteArray& Into) override;
    void Disconnect() override;
    void SetOnActivity(std::function<void()> OnActivity) override {
        FOnActivity = std::move(OnActivity);
    }
    std::int64_t NowMs() const override { return FNow; }

private:
    struct Arrival {
        std::int64_t At;
        bool Close;
        QByteArray Bytes;
    };

    void Schedule(const Arrival& Next);
    void Connect();

    std::int64_t FNow = 0;
    bool FConnected = false;
    bool FAttemptPending = false;
    std::int64_t FAttemptDue = 0;
    QByteArray FHeld;
    // Ordered by their time.
    std::deque<Arrival> FArrivals;
    std::function<void()> FOnActivity;
};
