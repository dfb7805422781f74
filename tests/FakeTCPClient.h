#pragma once
#include "TCPClient.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// A scripted TCP client: tests decide what every read brings (any bytes: whole, split, late,
// doubled or no response, a failed read), make writes or the connected test fail, or close the
// peer. It never touches the network and never sleeps: a read that waits for nothing returns a
// time-out at once, as if its whole wait had passed.
class FakeTCPClient final : public TTCPClient {
public:
    // Bytes that have arrived already; the next read delivers them at once.
    void Hold(const QByteArray& Bytes) { FHeld.append(Bytes); }
    // Bytes that arrive while a read waits, one arrival per read that waits (a read with no
    // wait takes none).
    void ArriveLater(const QByteArray& Bytes) { FArrivals.push_back({TCP_READ_DATA, Bytes}); }
    // The next waiting read fails as when the peer closes during the wait.
    void FailNextRead() { FArrivals.push_back({TCP_READ_FAILED, {}}); }
    // The gateway closes the connection between reads; bytes it sent before stay held.
    void ClosePeer() { FConnected = false; }
    // Scripted arrivals not yet taken by a read.
    std::size_t ArrivalsLeft() const { return FArrivals.size(); }
    std::int32_t HeldBytes() const { return static_cast<std::int32_t>(FHeld.size()); }

    // Answers each written request; what it returns has arrived by the next read.
    std::function<QByteArray(const QByteArray& Request)> Responder;
    bool ConnectSucceeds = true;
    bool FailWrites = false;
    bool FailLinkTest = false;
    bool Connected() const { return FConnected; }
    void SetConnected(bool Val) { FConnected = Val; }

    // What the port did.
    std::vector<QByteArray> Written;
    // The wait of every read that found nothing held and waited.
    std::vector<std::int32_t> ReadWaits;
    std::int32_t ConnectCalls = 0;
    std::int32_t DisconnectCalls = 0;
    QString Host;
    std::uint16_t Port = 0;

    void SetHost(const QString& Val) override { Host = Val; }
    void SetPort(std::uint16_t Val) override { Port = Val; }
    bool Connect(std::int32_t TimeoutMs) override;
    TTCPLink CheckLink() override;
    bool Write(const QByteArray& Block) override;
    TTCPRead Read(QByteArray& Into, std::int32_t WaitMs) override;
    void Disconnect() override;

private:
    struct Arrival {
        TTCPRead Result;
        QByteArray Bytes;
    };

    bool FConnected = false;
    QByteArray FHeld;
    std::deque<Arrival> FArrivals;
};
