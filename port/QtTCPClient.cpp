#include "QtTCPClient.h"

#include "DialOnce.h"
#include "GatewayAddress.h"

#include <unistd.h>

#include <algorithm>

// Exactly one connection attempt per call: the previous connection, if any is left, is closed
// first, and a failed or timed-out attempt is abandoned, never tried again within the call.
bool TQtTCPClient::Connect(std::int32_t TimeoutMs) {
    if (Connected() || !IsGatewayAddress(FHost))
        return false;
    FSocket.abort();
    const int socket = DialOnce(FHost, FPort, TimeoutMs);
    if (socket < 0)
        return false;
    if (!FSocket.setSocketDescriptor(socket)) {
        close(socket);
        return false;
    }
    return true;
}

TTCPLink TQtTCPClient::CheckLink() {
    if (!Connected())
        return TCP_LINK_DOWN;
    // A zero wait takes in what has arrived and notices a peer that has closed.
    FSocket.waitForReadyRead(0);
    if (Connected())
        return TCP_LINK_UP;
    return FSocket.error() == QAbstractSocket::RemoteHostClosedError ? TCP_LINK_DOWN
                                                                     : TCP_LINK_FAILED;
}

bool TQtTCPClient::Write(const QByteArray& Block) {
    // Without an event loop the socket's buffer is handed to the network only by flush().
    return Connected() && FSocket.write(Block) == Block.size() && FSocket.flush();
}

TTCPRead TQtTCPClient::Read(QByteArray& Into, std::int32_t WaitMs) {
    if (!FSocket.isOpen())
        return TCP_READ_FAILED;
    // A negative wait would mean "for ever" to the socket. Bytes that came with a close stay
    // readable after the wait has seen the close.
    if (FSocket.bytesAvailable() == 0 && !FSocket.waitForReadyRead(std::max(WaitMs, 0)) &&
        FSocket.bytesAvailable() == 0)
        return Connected() ? TCP_READ_TIMEOUT : TCP_READ_FAILED;
    Into.append(FSocket.readAll());
    return TCP_READ_DATA;
}

void TQtTCPClient::Disconnect() {
    FSocket.abort();
}
