#include "DialOnce.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

int StartDial(const QString& Address, std::uint16_t Port, TTCPConnect& State) {
    State = TCP_CONNECT_FAILED;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(Port);
    if (inet_pton(AF_INET, Address.toLatin1().constData(), &peer.sin_addr) != 1)
        return -1;
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        State = TCP_CONNECT_UP;
        return socket;
    }
    if (errno == EINPROGRESS) {
        State = TCP_CONNECT_PENDING;
        return socket;
    }
    close(socket);
    return -1;
}

TTCPConnect DialState(int Socket) {
    pollfd watch{.fd = Socket, .events = POLLOUT, .revents = 0};
    const int ready = poll(&watch, 1, 0);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return TCP_CONNECT_PENDING;
    int error = 0;
    socklen_t length = sizeof error;
    const bool stood =
        ready > 0 && getsockopt(Socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    return stood ? TCP_CONNECT_UP : TCP_CONNECT_FAILED;
}
