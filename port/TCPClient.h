#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>

// Answer of the connected test.
enum TTCPLink : std::uint8_t {
    TCP_LINK_DOWN,   // not connected
    TCP_LINK_UP,     // connected
    TCP_LINK_FAILED, // the test itself failed with a socket error
};

// Outcome of one read.
enum TTCPRead : std::uint8_t {
    TCP_READ_DATA,    // bytes were delivered
    TCP_READ_TIMEOUT, // nothing arrived within the wait
    TCP_READ_FAILED,  // the peer closed the connection or a socket error
};

// The one TCP connection to the gateway, as the controller port uses it. Every call reports
// failure by its result; nothing throws.
class TTCPClient {
public:
    virtual ~TTCPClient() = default;

    virtual void SetHost(const QString& Host) = 0;
    virtual void SetPort(std::uint16_t Port) = 0;
    // Blocks for up to TimeoutMs; false when refused, timed out, already connected, or when the
    // host is not an IPv4 address.
    virtual bool Connect(std::int32_t TimeoutMs) = 0;
    // Also takes in, without waiting, the bytes already received, to be held for the next read.
    virtual TTCPLink CheckLink() = 0;
    bool IsConnected() { return CheckLink() == TCP_LINK_UP; }
    // Hands the whole block to the network in one call.
    virtual bool Write(const QByteArray& Block) = 0;
    // Appends every byte the client holds at once, also after the peer has closed; only when it
    // holds none, waits up to WaitMs (0: not at all) for the next arrival and appends what that
    // arrival brought.
    virtual TTCPRead Read(QByteArray& Into, std::int32_t WaitMs) = 0;
    // Closes the connection and drops every byte received and not yet read.
    virtual void Disconnect() = 0;
};
