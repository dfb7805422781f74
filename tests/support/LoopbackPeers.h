#pragma once
// Peers on 127.0.0.1 that break a gateway's promises at the TCP level: a port that refuses every
// connection, and a listener that never completes one.
#include <netinet/in.h>

#include <cstdint>
#include <vector>

sockaddr_in Loopback(std::uint16_t Port);
// Binds Socket to a free port of 127.0.0.1; the port it got.
std::uint16_t BindToLoopback(int Socket);

// A port on 127.0.0.1 that refuses connections: bound, never listening, held for the test.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    std::uint16_t Port() const { return FPort; }

private:
    int FSocket;
    std::uint16_t FPort = 0;
};

// A listener on 127.0.0.1 whose backlog is full: a connect to it is never completed, the system
// drops its handshake. The one connection that fits the queue is taken by the first connect.
class UnansweringListener {
public:
    UnansweringListener();
    ~UnansweringListener();
    UnansweringListener(const UnansweringListener&) = delete;
    UnansweringListener& operator=(const UnansweringListener&) = delete;
    std::uint16_t Port() const { return FPort; }
    // Takes the connection waiting in the queue, to close it later.
    void AcceptOne();
    void CloseAccepted();
    // Fills the queue with a connection of the test's own.
    void FillQueue();

private:
    int FSocket;
    std::uint16_t FPort = 0;
    std::vector<int> FPeers;
};
