#pragma once
#include "TCPClient.h"

#include <QSocketNotifier>
#include <QTcpSocket>

#include <memory>

// The production client: a QTcpSocket over IPv4, Nagle's algorithm left on, that never waits.
// A connection attempt is a non-blocking socket of its own until it stands; then the QTcpSocket
// takes it over. News of the socket reaches the port through the event loop.
class TQtTCPClient final : public TTCPClient {
public:
    TQtTCPClient();
    ~TQtTCPClient() override;
    TQtTCPClient(const TQtTCPClient&) = delete;
    TQtTCPClient& operator=(const TQtTCPClient&) = delete;

    void SetHost(const QString& Host) override { FHost = Host; }
    void SetPort(std::uint16_t Port) override { FPort = Port; }
    TTCPConnect StartConnect() override;
    TTCPConnect ConnectState() override;
    TTCPLink CheckLink() override;
    bool Write(const QByteArray& Block) override;
    TTCPRead Read(QByteArray& Into) override;
    void Disconnect() override;
    void SetOnActivity(std::function<void()> OnActivity) override;

private:
    bool Connected() const { return FSocket.state() == QAbstractSocket::ConnectedState; }
    // The socket is handed to the QTcpSocket; false when it would not take it.
    bool TakeOver(int Socket);
    void AbandonAttempt();
    void Notify();

    QTcpSocket FSocket;
    QString FHost;
    std::uint16_t FPort = 0;
    // The attempt in progress: its socket, and the notifier that tells when it is answered.
    int FAttempt = -1;
    std::unique_ptr<QSocketNotifier> FAttemptAnswered;
    std::function<void()> FOnActivity;
};
