#include "LoopbackPeers.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

sockaddr_in Loopback(std::uint16_t Port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(Port);
    return address;
}

std::uint16_t BindToLoopback(int Socket) {
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    bind(Socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(Socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

RefusingPort::RefusingPort()
    : FSocket(socket(AF_INET, SOCK_STREAM, 0)), FPort(BindToLoopback(FSocket)) {}

RefusingPort::~RefusingPort() {
    close(FSocket);
}

UnansweringListener::UnansweringListener()
    : FSocket(socket(AF_INET, SOCK_STREAM, 0)), FPort(BindToLoopback(FSocket)) {
    listen(FSocket, 0);
}

UnansweringListener::~UnansweringListener() {
    CloseAccepted();
    close(FSocket);
}

void UnansweringListener::AcceptOne() {
    FPeers.push_back(accept(FSocket, nullptr, nullptr));
}

void UnansweringListener::CloseAccepted() {
    for (int peer : FPeers)
        close(peer);
    FPeers.clear();
}

void UnansweringListener::FillQueue() {
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(FPort);
    connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    FPeers.push_back(filler);
}
