#include "DialOnce.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;

// Waits for the attempt to end; false at the deadline.
bool WaitForAttempt(int Socket, Clock::time_point Deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd watch{.fd = Socket, .events = POLLOUT, .revents = 0};
        const int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool AttemptSucceeded(int Socket) {
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(Socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}
} // namespace

int DialOnce(const QString& Address, std::uint16_t Port, std::int32_t TimeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(Port);
    if (inet_pton(AF_INET, Address.toLatin1().constData(), &peer.sin_addr) != 1)
        return -1;
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    const bool connected =
        connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 ||
        (errno == EINPROGRESS && WaitForAttempt(socket, deadline) && AttemptSucceeded(socket));
    if (!connected) {
        // Closing the half-open socket abandons the attempt; nothing dials again.
        close(socket);
        return -1;
    }
    return socket;
}
