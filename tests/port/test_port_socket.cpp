// The port with its QTcpSocket client against real peers on 127.0.0.1: a libmodbus server, the
// gateway simulator dribbling its answers, and a listener that never completes a connect.
#include "DravonRTU.h"
#include "EventLoopWait.h"
#include "G700SimProcess.h"
#include "LoopbackModbusServer.h"
#include "LoopbackPeers.h"
#include "PollSetQueue.h"
#include "SaunaREG.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

// What a deadline may be overrun by on a loaded machine: the scheduler, not the port.
constexpr milliseconds SCHEDULING_MARGIN{250};

// The real time one call takes.
milliseconds Timed(const std::function<void()>& Call) {
    const Clock::time_point start = Clock::now();
    Call();
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// A real port pointed at the loopback server, past its start delay, with the link started.
struct SocketRig {
    explicit SocketRig(std::uint16_t TCPPort) {
        Port.SetServerTCPIPNum("127.0.0.1");
        Port.SetServerTCPPortNum(TCPPort);
        Port.SetSocketServerStart(true);
        Port.OnTrans = [this](TPortStatus) {
            if (Port.Status() == PORT_ERROR)
                Errors.push_back(Port.ErrorCode());
        };
        for (int tick = 0; tick < TDravonPort::START_DELAY_TICKS; ++tick)
            Port.SocketTimerTick();
    }

    // Starts a connect and runs the event loop until it has ended.
    void Connect() {
        Port.TCPConnect();
        RunEventsUntil([this] { return Port.Waiting() == WAIT_NONE; }, 3000ms);
    }
    // How long the wait begun by Start takes to end, with the event loop running.
    milliseconds WaitTime(const std::function<void()>& Start) {
        const Clock::time_point start = Clock::now();
        Start();
        EXPECT_NE(Port.Waiting(), WAIT_NONE);
        RunEventsUntil([this] { return Port.Waiting() == WAIT_NONE; }, 4000ms);
        return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    }

    // Runs the port on its timer under the event loop until Done holds, 8 s at most.
    bool TickUntil(const std::function<bool()>& Done) {
        Port.Start();
        const bool done = RunEventsUntil(Done, 8000ms);
        Port.SocketTimer->stop();
        return done;
    }

    void QueuePollSet(std::int32_t Addr) {
        for (const std::int32_t num : ::QueuePollSet(*Port.Sockets, Addr))
            Port.Sockets->SetOnSocketEnd(num, [this](std::int32_t) { ++Completed; });
    }

    TDravonPort Port;
    int Completed = 0;
    std::vector<TPortError> Errors;
};

// Distinct values for each unit, so that a read from the wrong unit shows.
void FillUnit(LoopbackModbusServer& Server, int Unit) {
    for (const TPollBlock& block : POLL_SET)
        for (int n = block.First; n < block.First + block.Count; ++n) {
            if (block.Coils)
                Server.SetCoil(Unit, n, (n + Unit) % 3 == 0);
            else
                Server.SetRegister(Unit, n, static_cast<std::uint16_t>(Unit * 1000 + n));
        }
    Server.SetRegister(Unit, REG_TEMP_ACT, Unit == 1 ? 0xFFFE : 795);
}

void ExpectImageHoldsUnit(const TSaunaMX& Image, int Unit) {
    for (const TPollBlock& block : POLL_SET)
        for (int n = block.First; n < block.First + block.Count; ++n) {
            if (block.Coils) {
                EXPECT_EQ(Image.ReadTableBIT(n), (n + Unit) % 3 == 0) << "coil " << n;
            } else if (n != REG_TEMP_ACT) {
                EXPECT_EQ(Image.ReadTableREG(n), Unit * 1000 + n) << "register " << n;
            }
        }
    EXPECT_EQ(Image.ReadTableREG(REG_TEMP_ACT), Unit == 1 ? 65534 : 795);
}

// A tap on the loopback interface that sees every SYN sent to one port and tells the
// connection attempts apart by their source port: the system's retransmissions of a SYN keep
// the port of their attempt. It needs the right to open a packet socket (root).
class SynTap {
public:
    explicit SynTap(std::uint16_t Port)
        : FPort(Port), FSocket(socket(AF_PACKET, SOCK_RAW | SOCK_NONBLOCK, htons(ETH_P_ALL))) {
        if (FSocket < 0)
            return;
        sockaddr_ll device{};
        device.sll_family = AF_PACKET;
        device.sll_protocol = htons(ETH_P_ALL);
        device.sll_ifindex = static_cast<int>(if_nametoindex("lo"));
        bind(FSocket, reinterpret_cast<sockaddr*>(&device), sizeof device);
    }
    ~SynTap() {
        if (FSocket >= 0)
            close(FSocket);
    }
    bool Open() const { return FSocket >= 0; }

    // The attempts seen so far, by source port.
    const std::set<std::uint16_t>& Attempts() {
        std::uint8_t frame[2048];
        for (int packet = 0; packet < 100000; ++packet) {
            const ssize_t size = recv(FSocket, frame, sizeof frame, 0);
            if (size <= 0)
                break;
            Note(frame, static_cast<std::size_t>(size));
        }
        return FAttempts;
    }

private:
    // An Ethernet header (zeros on loopback), IPv4, TCP: a SYN without ACK to our port.
    void Note(const std::uint8_t* Frame, std::size_t Size) {
        constexpr std::size_t ETHERNET = 14;
        if (Size < ETHERNET + 20 || Frame[12] != 0x08 || Frame[13] != 0x00)
            return;
        const std::uint8_t* ip = Frame + ETHERNET;
        const std::size_t ipHeader = (ip[0] & 0x0F) * 4u;
        if (ip[9] != IPPROTO_TCP || Size < ETHERNET + ipHeader + 14)
            return;
        const std::uint8_t* tcp = ip + ipHeader;
        const auto source = static_cast<std::uint16_t>(tcp[0] << 8 | tcp[1]);
        const auto target = static_cast<std::uint16_t>(tcp[2] << 8 | tcp[3]);
        const bool syn = (tcp[13] & 0x02) != 0 && (tcp[13] & 0x10) == 0;
        if (syn && target == FPort)
            FAttempts.insert(source);
    }

    std::uint16_t FPort;
    int FSocket;
    std::set<std::uint16_t> FAttempts;
};

} // namespace

// A gateway whose accept queue is full never completes a connect. Each connect of the port is
// one attempt, started without holding the thread, that gives up at 2000 ms, counted at the
// gateway's side; a stopped port dials nothing.
TEST(DravonPortDeadlines, EachConnectIsOneAttemptThatGivesUpAtTwoSeconds) {
    UnansweringListener listener;
    listener.FillQueue();
    SynTap tap(listener.Port());
    if (!tap.Open())
        GTEST_SKIP() << "a packet socket needs root";
    SocketRig rig(listener.Port());
    for (std::size_t connect = 1; connect <= 5; ++connect) {
        milliseconds call{};
        const milliseconds took =
            rig.WaitTime([&rig, &call] { call = Timed([&rig] { rig.Port.TCPConnect(); }); });
        EXPECT_LT(call, 20ms) << connect;
        EXPECT_GE(took, milliseconds(2000 - 50)) << connect;
        EXPECT_LE(took, milliseconds(2000) + SCHEDULING_MARGIN) << connect;
        EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED) << connect;
        std::this_thread::sleep_for(milliseconds(50)); // the tap takes in the last SYN
        EXPECT_EQ(tap.Attempts().size(), connect);
    }
    rig.Port.SetSocketServerStart(false);
    rig.Port.Start();
    RunEventsUntil([] { return false; }, 3000ms); // a retransmission would have come by now
    rig.Port.SocketTimer->stop();
    EXPECT_EQ(tap.Attempts().size(), 5u);
}

TEST(DravonPortSocket, PollSetOfTwoUnitsIsReadOverOneConnection) {
    LoopbackModbusServer server;
    FillUnit(server, 1);
    FillUnit(server, 2);
    SocketRig rig(server.Port());
    rig.QueuePollSet(1);
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());

    ASSERT_TRUE(rig.TickUntil([&] { return rig.Completed == 5; }));
    ExpectImageHoldsUnit(*rig.Port.Sauna, 1);

    rig.Port.Sockets->SetAddress(2);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.Completed == 11; }));
    ExpectImageHoldsUnit(*rig.Port.Sauna, 2);
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_TRUE(rig.Errors.empty());
}

TEST(DravonPortSocket, WriteLandsInTheServersRegister) {
    LoopbackModbusServer server;
    SocketRig rig(server.Port());
    rig.Connect();
    bool done = false;
    const std::int32_t num = rig.Port.Sockets->AddWriteRW(2, REG_COMMAND, CMD_LIGHT1);
    rig.Port.Sockets->SetOnSocketEnd(num, [&](std::int32_t) { done = true; });
    ASSERT_TRUE(rig.TickUntil([&] { return done; }));
    EXPECT_EQ(server.Register(2, REG_COMMAND), CMD_LIGHT1);
    EXPECT_EQ(server.Register(1, REG_COMMAND), 0);
    EXPECT_EQ(rig.Port.Sockets->Count(), 0);
}

// A sauna that is not there: libmodbus answers every request for unit 3 with an exception.
// Each is reported, the one connection stays, and unit 1's block keeps flowing.
TEST(DravonPortSocket, ExceptionsForOneUnitKeepTheConnectionAndTheOthersFlow) {
    LoopbackModbusServer server;
    server.SetRegister(1, 66, 1066);
    SocketRig rig(server.Port());
    rig.QueuePollSet(3);
    int unit1Reads = 0;
    const std::int32_t num = rig.Port.Sockets->AddReadRWBlock(1, 65, 10, SOCKET_MODE_MULTI);
    rig.Port.Sockets->SetOnSocketEnd(num, [&](std::int32_t) { ++unit1Reads; });
    rig.Connect();
    rig.TickUntil([&] { return unit1Reads >= 6; });
    EXPECT_GE(unit1Reads, 6);
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_GE(std::count(rig.Errors.begin(), rig.Errors.end(), ERROR_REC), 20);
    EXPECT_EQ(std::count(rig.Errors.begin(), rig.Errors.end(), ERROR_NOT_CONNECTED), 0);
    EXPECT_EQ(rig.Port.Sauna->ReadTableREG(66), 1066);
    EXPECT_EQ(rig.Port.Sauna->ReadTableREG(REG_TEMP_SET), 0);
}

TEST(DravonPortSocket, ExceptionAnswerLeavesTheImageAlone) {
    LoopbackModbusServer server;
    SocketRig rig(server.Port());
    rig.Connect();
    for (int reg = 1; reg <= 15; ++reg)
        rig.Port.Sauna->WriteTableREG(reg, 42);
    bool called = false;
    const std::int32_t num = rig.Port.Sockets->AddReadRWBlock(3, 1, 15, SOCKET_MODE_SINGLE);
    rig.Port.Sockets->SetOnSocketEnd(num, [&](std::int32_t) { called = true; });
    ASSERT_TRUE(rig.TickUntil([&] { return rig.Port.Sockets->Count() == 0; }));
    EXPECT_EQ(rig.Port.Status(), PORT_ERROR);
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_REC);
    EXPECT_EQ(rig.Port.ReadRxBuffer(8), 0x83);
    EXPECT_FALSE(called);
    for (int reg = 1; reg <= 15; ++reg)
        EXPECT_EQ(rig.Port.Sauna->ReadTableREG(reg), 42) << reg;
}

TEST(DravonPortSocket, ClosedConnectionIsReportedAndReopened) {
    LoopbackModbusServer server;
    server.SetRegister(1, REG_TEMP_ACT, 855);
    SocketRig rig(server.Port());
    rig.Connect();
    const std::int32_t num = rig.Port.Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port.Sockets->SetOnSocketEnd(num, [&](std::int32_t) { ++rig.Completed; });
    // Closed while the port waits for the answer.
    server.DropConnectionOnNextRequest(std::chrono::milliseconds(300));
    ASSERT_TRUE(rig.TickUntil([&] { return rig.Completed == 1; }));
    ASSERT_FALSE(rig.Errors.empty());
    EXPECT_EQ(rig.Errors.front(), ERROR_REC);
    EXPECT_EQ(server.Accepted(), 2);
    EXPECT_EQ(rig.Port.Sauna->ReadTableREG(REG_TEMP_ACT), 855);
}

TEST(DravonPortSocket, RefusedConnectionIsNotConnected) {
    RefusingPort refusing;
    SocketRig rig(refusing.Port());
    rig.Connect();
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_FALSE(rig.Port.TCPClient->IsConnected());

    rig.Port.Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    rig.Port.SocketTimerTick();
    EXPECT_EQ(rig.Port.Status(), PORT_ERROR);
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED);
    // The reconnect check tries again, and is refused again.
    rig.Port.SocketTimerTick();
    RunEventsUntil([&rig] { return rig.Port.Waiting() == WAIT_NONE; }, 3000ms);
    EXPECT_EQ(rig.Errors, (std::vector<TPortError>{ERROR_NOT_CONNECTED, ERROR_NOT_CONNECTED}));
    EXPECT_FALSE(rig.Port.TCPClient->IsConnected());
}

// The gateway is reached by its address only: a name, even one the machine knows, is refused at
// once without a lookup, so no connect can block beyond its time-out.
TEST(QtTCPClient, OnlyAnIPv4AddressIsDialled) {
    LoopbackModbusServer server;
    for (const char* host : {"localhost", "127.0.0.1.", "::1", "", "127.0.0.1:502"}) {
        SocketRig rig(server.Port());
        rig.Port.SetServerTCPIPNum(QString::fromLatin1(host));
        rig.Port.TCPConnect();
        EXPECT_EQ(rig.Port.Waiting(), WAIT_NONE) << host; // refused at once, nothing looked up
        EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED) << host;
        EXPECT_FALSE(rig.Port.TCPClient->IsConnected()) << host;
    }
    SocketRig rig(server.Port());
    rig.Connect();
    EXPECT_TRUE(rig.Port.TCPClient->IsConnected());
}

// A gateway listening on the IPv6 loopback address is never dialled: no connection reaches it.
TEST(QtTCPClient, AnIPv6AddressIsNeverDialled) {
    const int listener = socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 4) != 0) {
        if (listener >= 0)
            close(listener);
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    for (const char* host : {"::1", "[::1]", "0:0:0:0:0:0:0:1", "::ffff:127.0.0.1"}) {
        SocketRig rig(ntohs(address.sin6_port));
        rig.Port.SetServerTCPIPNum(QString::fromLatin1(host));
        rig.Connect();
        EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED) << host;
        std::this_thread::sleep_for(milliseconds(20));
        const int accepted = accept(listener, nullptr, nullptr);
        EXPECT_LT(accepted, 0) << host;
        if (accepted >= 0)
            close(accepted);
    }
    close(listener);
}

TEST(QtTCPClient, ClosedPeerReadsAsNotConnectedAndASecondConnectFails) {
    LoopbackModbusServer server;
    SocketRig rig(server.Port());
    TTCPClient& client = *rig.Port.TCPClient;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    const auto connect = [&client] {
        TTCPConnect state = client.StartConnect();
        RunEventsUntil([&] { return (state = client.ConnectState()) != TCP_CONNECT_PENDING; },
                       3000ms);
        return state;
    };
    ASSERT_EQ(connect(), TCP_CONNECT_UP);
    EXPECT_EQ(client.StartConnect(), TCP_CONNECT_FAILED); // already connected
    EXPECT_EQ(client.CheckLink(), TCP_LINK_UP);

    server.DropConnectionOnNextRequest(std::chrono::milliseconds(0));
    ASSERT_TRUE(client.Write(QByteArray::fromHex("000100000006010300010001")));
    QByteArray nothing;
    TTCPRead read = TCP_READ_NONE;
    RunEventsUntil([&] { return (read = client.Read(nothing)) != TCP_READ_NONE; }, 3000ms);
    EXPECT_EQ(read, TCP_READ_FAILED);
    EXPECT_TRUE(nothing.isEmpty());
    EXPECT_EQ(client.CheckLink(), TCP_LINK_DOWN);
    EXPECT_FALSE(client.Write(QByteArray(12, '\0')));

    // Closed between reads: the connected test itself notices.
    ASSERT_EQ(connect(), TCP_CONNECT_UP);
    server.DropConnectionOnNextRequest(std::chrono::milliseconds(0));
    ASSERT_TRUE(client.Write(QByteArray::fromHex("000200000006010300010001")));
    TTCPLink link = TCP_LINK_UP;
    RunEventsUntil([&] { return (link = client.CheckLink()) != TCP_LINK_UP; }, 3000ms);
    EXPECT_EQ(link, TCP_LINK_DOWN);
}

// A gateway on 127.0.0.1 that takes one connection, reads one request (for 3 s at most) and
// answers it as Answer says, on a thread of its own; Stop tells Answer the test is over.
class OneRequestGateway {
public:
    using TAnswer =
        std::function<void(int Peer, const std::uint8_t* Request, const std::atomic<bool>& Stop)>;

    explicit OneRequestGateway(TAnswer Answer)
        : FListener(socket(AF_INET, SOCK_STREAM, 0)), FPort(BindToLoopback(FListener)),
          FAnswer(std::move(Answer)) {
        listen(FListener, 1);
        FThread = std::thread([this] { Serve(); });
    }
    ~OneRequestGateway() {
        FStop = true;
        FThread.join();
        close(FListener);
    }
    std::uint16_t Port() const { return FPort; }

private:
    void Serve() {
        pollfd watch{.fd = FListener, .events = POLLIN, .revents = 0};
        if (poll(&watch, 1, 3000) <= 0)
            return;
        const int peer = accept(FListener, nullptr, nullptr);
        std::uint8_t request[12] = {};
        watch = {.fd = peer, .events = POLLIN, .revents = 0};
        if (poll(&watch, 1, 3000) > 0 && recv(peer, request, sizeof request, MSG_WAITALL) == 12)
            FAnswer(peer, request, FStop);
        close(peer);
    }

    int FListener;
    std::uint16_t FPort;
    TAnswer FAnswer;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

// The first 9 bytes of the answer to a read of 15 registers at once, then one byte every 300 ms,
// for 6 s at most.
void Trickle(int Peer, const std::uint8_t* Request, const std::atomic<bool>& Stop) {
    const Clock::time_point end = Clock::now() + std::chrono::seconds(6);
    // 9 bytes of head, 30 of data.
    std::uint8_t answer[39] = {Request[0], Request[1], 0, 0, 0, 33, Request[6], 3, 30};
    send(Peer, answer, 9, MSG_NOSIGNAL);
    for (int at = 9; at < 39 && !Stop && Clock::now() < end; ++at) {
        std::this_thread::sleep_for(milliseconds(300));
        send(Peer, answer + at, 1, MSG_NOSIGNAL);
    }
}

// 900 ms later, the whole answer of 15 registers to another transaction; never the one asked
// for.
void StrayFrameLate(int Peer, const std::uint8_t* Request, const std::atomic<bool>&) {
    std::this_thread::sleep_for(900ms);
    std::uint8_t answer[39] = {
        Request[0], static_cast<std::uint8_t>(Request[1] + 7), 0, 0, 0, 33, Request[6], 3, 30};
    send(Peer, answer, sizeof answer, MSG_NOSIGNAL);
    std::this_thread::sleep_for(1500ms);
}

// A part of the answer at once, then a byte every 300 ms: the read gives up 1000 ms after it
// began, not 1000 ms after the last byte (which would be never), and never holds the thread.
TEST(DravonPortDeadlines, ReadGivesUpOneSecondAfterItsStartAgainstATricklingAnswer) {
    OneRequestGateway gateway(Trickle);
    SocketRig rig(gateway.Port());
    rig.Port.Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());
    rig.Port.SocketTimerTick();
    ASSERT_EQ(rig.Port.Status(), PORT_TRANS);
    milliseconds tick{};
    const milliseconds read =
        rig.WaitTime([&] { tick = Timed([&] { rig.Port.SocketTimerTick(); }); });
    EXPECT_LT(tick, 20ms);
    EXPECT_EQ(rig.Port.Status(), PORT_ERROR);
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_REC);
    EXPECT_GE(read, milliseconds(1000 - 50));
    EXPECT_LE(read, milliseconds(1000) + SCHEDULING_MARGIN);
}

// A gateway that sends its answer one byte every 300 ms: the read gives up at its deadline,
// counted from its start, and the port goes on with the next slot.
TEST(DravonPortDeadlines, ReadGivesUpWithinOneSecondOfItsStartAgainstADribblingGateway) {
    TG700SimProcess sim(G700_SIM_PATH, {"--dribble", "300"});
    SocketRig rig(static_cast<std::uint16_t>(sim.Port()));
    rig.Port.Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port.Sockets->AddReadRWBlock(1, REG_CONTROLLER_TYPE, 2, SOCKET_MODE_MULTI);
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());
    rig.Port.SocketTimerTick();
    ASSERT_EQ(rig.Port.Status(), PORT_TRANS);
    for (std::int32_t slot : {1, 2}) {
        const milliseconds read = rig.WaitTime([&] { rig.Port.SocketTimerTick(); });
        EXPECT_EQ(rig.Port.Status(), PORT_ERROR) << slot;
        EXPECT_EQ(rig.Port.ErrorCode(), slot == 1 ? ERROR_REC : ERROR_ID) << slot;
        EXPECT_GE(read, milliseconds(1000 - 50)) << slot;
        EXPECT_LE(read, milliseconds(1000) + SCHEDULING_MARGIN) << slot;
        rig.Port.SocketTimerTick();
        EXPECT_EQ(rig.Port.Status(), PORT_TRANS) << slot;
        EXPECT_EQ(rig.Port.Sockets->ActiveSocket(), slot == 1 ? 2 : 1) << slot;
    }
    EXPECT_EQ(rig.Port.Sauna->ReadTableREG(REG_CONTROLLER_TYPE), 0);
    EXPECT_TRUE(sim.WaitForLine("dribbled", milliseconds(1000)));
}

// A frame of another transaction 900 ms into the read does not start the read's second again:
// the read ends 1000 ms after it began.
TEST(DravonPortDeadlines, AStrayFrameLateInTheReadDoesNotProlongIt) {
    OneRequestGateway gateway(StrayFrameLate);
    SocketRig rig(gateway.Port());
    rig.Port.Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());
    rig.Port.SocketTimerTick();
    ASSERT_EQ(rig.Port.Status(), PORT_TRANS);
    const milliseconds read = rig.WaitTime([&] { rig.Port.SocketTimerTick(); });
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_ID);
    EXPECT_EQ(rig.Port.StaleFrames(), 1);
    EXPECT_GE(read, milliseconds(1000 - 50));
    EXPECT_LE(read, milliseconds(1000) + SCHEDULING_MARGIN);
}

// The gateway closes while a request is out and then never completes a connect: the tick whose
// reconnect check dials does not wait for it; the read fails once the attempt is given up, 2000
// ms after it began.
TEST(DravonPortDeadlines, AReconnectInAReadsTickNeverHoldsTheThread) {
    UnansweringListener listener;
    SocketRig rig(listener.Port());
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());
    listener.AcceptOne();
    listener.FillQueue();
    rig.Port.Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port.SocketTimerTick();
    ASSERT_EQ(rig.Port.Status(), PORT_TRANS);
    // The gateway closes while the request is out; the next tick is a reconnect check.
    listener.CloseAccepted();
    RunEventsUntil([&rig] { return !rig.Port.TCPClient->IsConnected(); }, 500ms);
    milliseconds tick{};
    const milliseconds connect =
        rig.WaitTime([&] { tick = Timed([&] { rig.Port.SocketTimerTick(); }); });
    EXPECT_LT(tick, 20ms);
    EXPECT_GE(connect, milliseconds(2000 - 50));
    EXPECT_LE(connect, milliseconds(2000) + SCHEDULING_MARGIN);
    EXPECT_EQ(rig.Port.Status(), PORT_ERROR);
    EXPECT_EQ(rig.Port.ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_FALSE(rig.Port.TCPClient->IsConnected());
}

// Counts every event the application delivers.
class EventCount : public QObject {
public:
    EventCount() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCount() override { QCoreApplication::instance()->removeEventFilter(this); }
    long Events = 0;

protected:
    bool eventFilter(QObject*, QEvent*) override {
        ++Events;
        return false;
    }
};

// A gateway that keeps the connection and never answers: the reads wait out their seconds on
// the deadline's timer and the ticks, and nothing else stirs the event loop meanwhile (a look
// that found nothing must not be taken for news, or the loop spins a core).
TEST(DravonPortDeadlines, WaitingForASilentGatewayCostsOnlyItsTicks) {
    TG700SimProcess sim(G700_SIM_PATH, {"--stall-after", "0"});
    SocketRig rig(static_cast<std::uint16_t>(sim.Port()));
    rig.QueuePollSet(1);
    rig.Connect();
    ASSERT_TRUE(rig.Port.TCPClient->IsConnected());
    EventCount count;
    rig.Port.Start();
    RunEventsUntil([] { return false; }, 3000ms);
    rig.Port.SocketTimer->stop();
    EXPECT_EQ(rig.Completed, 0);
    // 30 ticks, a few deadlines, and the test's own look every millisecond.
    EXPECT_LT(count.Events, 30 + 10 + 2 * 3000);
}
