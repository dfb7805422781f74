#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

// Answer of the connected test.
enum TTCPLink : std::uint8_t {
    TCP_LINK_DOWN,   // not connected
    TCP_LINK_UP,     // connected
    TCP_LINK_FAILED, // the test itself failed with a socket error
};

// How a connection attempt stands.
enum TTCPConnect : std::uint8_t {
    TCP_CONNECT_PENDING, // started, not yet answered
    TCP_CONNECT_UP,      // the connection stands
    TCP_CONNECT_FAILED,  // refused, failed, or never started
};

// Outcome of one read.
enum TTCPRead : std::uint8_t {
    TCP_READ_DATA,   // bytes were delivered
    TCP_READ_NONE,   // nothing has arrived
    TCP_READ_FAILED, // the peer closed the connection or a socket error
};

// The one TCP connection to the gateway, as the controller port uses it. No call ever waits on
// the network: a connect is started and looked at later, a read takes what has arrived. The
// client tells when a look may find something new. Every call reports failure by its result;
// nothing throws.
class TTCPClient {
public:
    virtual ~TTCPClient() = default;

    virtual void SetHost(const QString& Host) = 0;
    virtual void SetPort(std::uint16_t Port) = 0;
    // Starts one connection attempt. Failed at once when refused at once, already connected, or
    // when the host is not an IPv4 address; up when it stood at once.
    virtual TTCPConnect StartConnect() = 0;
    // How the attempt started last stands; pending until it is answered or abandoned.
    virtual TTCPConnect ConnectState() = 0;
    // Whether the connection stands, looked at without waiting.
    virtual TTCPLink CheckLink() = 0;
    bool IsConnected() { return CheckLink() == TCP_LINK_UP; }
    // Hands the whole block to the network in one call.
    virtual bool Write(const QByteArray& Block) = 0;
    // Appends every byte the client holds, also after the peer has closed, without waiting.
    virtual TTCPRead Read(QByteArray& Into) = 0;
    // Closes the connection, or abandons an attempt still pending, and drops every byte received
    // and not yet read.
    virtual void Disconnect() = 0;
    // OnActivity runs, from the event loop, whenever bytes arrive, an attempt is answered or the
    // peer closes: a pending connect or read may then go on at once.
    virtual void SetOnActivity(std::function<void()> OnActivity) = 0;
    // The clock the link's deadlines are measured on, in milliseconds; it never jumps.
    virtual std::int64_t NowMs() const;
};
