#pragma once
#include "TCPClient.h"

#include <QTcpSocket>

// The production client: a blocking QTcpSocket over IPv4, Nagle's algorithm left on. Used on
// the thread that owns it, without an event loop of its own.
class TQtTCPClient final : public TTCPClient {
public:
    void SetHost(const QString& Host) override { FHost = Host; }
    void SetPort(std::uint16_t Port) override { FPort = Port; }
    bool Connect(std::int32_t TimeoutMs) override;
    TTCPLink CheckLink() override;
    bool Write(const QByteArray& Block) override;
    TTCPRead Read(QByteArray& Into, std::int32_t WaitMs) override;
    void Disconnect() override;

private:
    bool Connected() const { return FSocket.state() == QAbstractSocket::ConnectedState; }

    QTcpSocket FSocket;
    QString FHost;
    std::uint16_t FPort = 0;
};
