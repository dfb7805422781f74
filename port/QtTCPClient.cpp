#include "QtTCPClient.h"

#include "DialOnce.h"
#include "GatewayAddress.h"

#include <unistd.h>

TQtTCPClient::TQtTCPClient() {
    // Queued, so that news never reaches the port inside one of its own calls.
    const auto notify = [this] { Notify(); };
    QObject::connect(&FSocket, &QTcpSocket::readyRead, &FSocket, notify, Qt::QueuedConnection);
    QObject::connect(&FSocket, &QTcpSocket::disconnected, &FSocket, notify, Qt::QueuedConnection);
    QObject::connect(&FSocket, &QTcpSocket::errorOccurred, &FSocket, notify, Qt::QueuedConnection);
}

TQtTCPClient::~TQtTCPClient() {
    AbandonAttempt();
}

// Exactly one connection attempt per call: the previous connection, if any is left, is closed
// first, and an attempt never starts again by itself.
TTCPConnect TQtTCPClient::StartConnect() {
    if (Connected() || !IsGatewayAddress(FHost))
        return TCP_CONNECT_FAILED;
    FSocket.abort();
    AbandonAttempt();
    TTCPConnect state = TCP_CONNECT_FAILED;
    const int socket = StartDial(FHost, FPort, state);
    if (state == TCP_CONNECT_UP)
        return TakeOver(socket) ? TCP_CONNECT_UP : TCP_CONNECT_FAILED;
    if (state == TCP_CONNECT_PENDING) {
        FAttempt = socket;
        FAttemptAnswered = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        QSocketNotifier* answered = FAttemptAnswered.get();
        QObject::connect(answered, &QSocketNotifier::activated, answered, [this, answered] {
            // Told once: the port looks at the attempt; a socket that stays writable would
            // otherwise be told of again and again.
            answered->setEnabled(false);
            QMetaObject::invokeMethod(
                &FSocket, [this] { Notify(); }, Qt::QueuedConnection);
        });
    }
    return state;
}

TTCPConnect TQtTCPClient::ConnectState() {
    if (FAttempt < 0)
        return Connected() ? TCP_CONNECT_UP : TCP_CONNECT_FAILED;
    const TTCPConnect state = DialState(FAttempt);
    if (state == TCP_CONNECT_PENDING)
        return state;
    const int socket = FAttempt;
    FAttempt = -1;
    FAttemptAnswered.reset();
    if (state == TCP_CONNECT_UP && TakeOver(socket))
        return TCP_CONNECT_UP;
    if (state != TCP_CONNECT_UP)
        close(socket);
    return TCP_CONNECT_FAILED;
}

bool TQtTCPClient::TakeOver(int Socket) {
    if (FSocket.setSocketDescriptor(Socket))
        return true;
    close(Socket);
    return false;
}

// Closing the half-open socket abandons the attempt; nothing dials again.
void TQtTCPClient::AbandonAttempt() {
    FAttemptAnswered.reset();
    if (FAttempt >= 0)
        close(FAttempt);
    FAttempt = -1;
}

// The event loop takes in what arrives and notices a peer that closed, or a socket that failed,
// as it happens: a look needs no call to the system.
TTCPLink TQtTCPClient::CheckLink() {
    return Connected() ? TCP_LINK_UP : TCP_LINK_DOWN;
}

bool TQtTCPClient::Write(const QByteArray& Block) {
    // flush() hands the bytes to the network now, without waiting for the event loop.
    return Connected() && FSocket.write(Block) == Block.size() && FSocket.flush();
}

// Bytes that came with a close stay readable after the close was seen.
TTCPRead TQtTCPClient::Read(QByteArray& Into) {
    if (FSocket.bytesAvailable() > 0) {
        Into.append(FSocket.readAll());
        return TCP_READ_DATA;
    }
    return Connected() ? TCP_READ_NONE : TCP_READ_FAILED;
}

void TQtTCPClient::Disconnect() {
    AbandonAttempt();
    FSocket.abort();
}

void TQtTCPClient::SetOnActivity(std::function<void()> OnActivity) {
    FOnActivity = std::move(OnActivity);
}

void TQtTCPClient::Notify() {
    if (FOnActivity)
        FOnActivity();
}
