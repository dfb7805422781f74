#include "SimServer.h"

#include "SimServed.h"
#include "SimSignals.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int LOOP_WAIT_MS = 100; // longest wait before the loop looks at the stop flag again
constexpr int TAIL_WAIT_MS = 500; // how long the rest of a cut request may take to arrive

std::string Name(const sockaddr_in& Addr) {
    char Host[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &Addr.sin_addr, Host, sizeof Host);
    return std::string(Host) + ":" + std::to_string(ntohs(Addr.sin_port));
}

// True when Fd has something to read (or has been closed) within TimeoutMs.
bool Readable(int Fd, int TimeoutMs) {
    pollfd Poll{Fd, POLLIN, 0};
    return poll(&Poll, 1, TimeoutMs) > 0;
}

std::string N(int Val) {
    return std::to_string(Val);
}
} // namespace

TSimServer::TSimServer(const TSimOptions& Options, const TSimClock& Clock, const TSimLog& Log)
    : FOptions(Options), FFaults(Options.Faults), FRandom(Options.Faults.Seed), FClock(Clock),
      FLog(Log), FGateway(Options.Units, Options.EditDelayMs, Options.ZeroSetpoints,
                          [&Log](const std::string& Line) { Log.Say(Line); }),
      FContext(modbus_new_tcp(Options.ListenHost.c_str(), Options.ListenPort), &modbus_free) {
    // The context only frames requests on the accepted socket; it never connects or listens.
    // Requests are received only after poll() saw data, so this wait is a safeguard.
    modbus_set_indication_timeout(FContext.get(), 1, 0);
}

TSimServer::~TSimServer() {
    CloseClient("simulator stopping");
    if (FListenFd >= 0)
        close(FListenFd);
}

// The socket is bound here rather than by libmodbus so that it is bound to exactly the
// loopback address asked for and never to every interface.
bool TSimServer::Listen() {
    sockaddr_in Addr{};
    Addr.sin_family = AF_INET;
    Addr.sin_port = htons(static_cast<std::uint16_t>(FOptions.ListenPort));
    inet_pton(AF_INET, FOptions.ListenHost.c_str(), &Addr.sin_addr);
    FListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int Yes = 1;
    socklen_t Size = sizeof Addr;
    if (FListenFd < 0 || setsockopt(FListenFd, SOL_SOCKET, SO_REUSEADDR, &Yes, sizeof Yes) != 0 ||
        bind(FListenFd, reinterpret_cast<const sockaddr*>(&Addr), sizeof Addr) != 0 ||
        listen(FListenFd, 1) != 0 ||
        getsockname(FListenFd, reinterpret_cast<sockaddr*>(&Addr), &Size) != 0) {
        std::cerr << "g700-sim: cannot listen on " << FOptions.ListenHost << ":"
                  << FOptions.ListenPort << ": " << std::strerror(errno) << std::endl;
        return false;
    }
    FLog.Say("listening on " + Name(Addr) + ", units 1 to 4, time scale " + N(FOptions.TimeScale));
    for (const std::string& Fault : DescribeFaults(FOptions.Faults))
        FLog.Say("fault injection: " + Fault);
    return true;
}

void TSimServer::Run() {
    while (!StopRequested()) {
        if (FaultsOffRequested())
            SwitchFaultsOff();
        FGateway.AdvanceTo(FClock.Now());
        if (FClientFd < 0)
            WaitForClient();
        else
            ServeClient();
    }
    CloseClient("simulator stopping");
    FLog.Say("stopped");
}

// Further clients wait in the listen queue until the one being served has gone.
void TSimServer::WaitForClient() {
    if (!Readable(FListenFd, LOOP_WAIT_MS))
        return;
    sockaddr_in Peer{};
    socklen_t Size = sizeof Peer;
    const int Fd = accept4(FListenFd, reinterpret_cast<sockaddr*>(&Peer), &Size, SOCK_CLOEXEC);
    if (Fd < 0)
        return;
    // Each send is its own segment, so that a split answer really arrives in two parts.
    const int Yes = 1;
    setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &Yes, sizeof Yes);
    FClientFd = Fd;
    FClientName = Name(Peer);
    FRequestCount = 0;
    modbus_set_socket(FContext.get(), Fd);
    FLog.Say("connection from " + FClientName);
}

// Sends what is due, then waits for the next request until the next queued bytes are due.
void TSimServer::ServeClient() {
    SendDue();
    if (FClientFd < 0)
        return;
    std::int64_t WaitMs = LOOP_WAIT_MS;
    if (!FOutbox.empty())
        WaitMs = std::clamp<std::int64_t>(
            std::chrono::ceil<std::chrono::milliseconds>(FOutbox.front().Due - Clock::now())
                .count(),
            0, WaitMs);
    if (Readable(FClientFd, static_cast<int>(WaitMs)))
        ServeRequest();
}

void TSimServer::ServeRequest() {
    std::uint8_t Frame[MODBUS_TCP_MAX_ADU_LENGTH];
    int Length = modbus_receive(FContext.get(), Frame);
    if (Length < 0) {
        CloseClient(errno == ECONNRESET
                        ? "closed by the client after " + N(FRequestCount) + " requests"
                        : std::string("broken request: ") + modbus_strerror(errno));
        return;
    }
    if (!ReadMissing(Frame, Length)) {
        CloseClient("request cut short");
        return;
    }
    const int Number = ++FRequestCount;
    if (const std::string Problem = FrameProblem(Frame, Length); !Problem.empty()) {
        FLog.Say("request " + N(Number) + " rejected without an answer: " + Problem);
        return;
    }
    const TFaultDecision Fault = Decide(Number);
    if (Fault.Stall)
        FLog.Say("fault: request " + N(Number) + " not answered, stalled after " +
                 N(*FFaults.StallAfter) + " requests (connection kept open)");
    else
        Respond(DecodeRequest(Frame, Length), Number, Fault);
    if (Fault.Close)
        FOutbox.push_back({{}, LastDue(), "fault: closed after " + N(Number) + " requests"});
}

bool TSimServer::ReadMissing(std::uint8_t* Frame, int& Length) {
    for (int Missing = MissingBytes(Frame, Length); Missing > 0;
         Missing = MissingBytes(Frame, Length)) {
        if (!Readable(FClientFd, TAIL_WAIT_MS))
            return false;
        const ssize_t Got = recv(FClientFd, Frame + Length, static_cast<std::size_t>(Missing), 0);
        if (Got <= 0)
            return false;
        Length += static_cast<int>(Got);
    }
    return true;
}

// Requests from now on are served without faults, and what was held back goes out at once, in
// order: the gateway is well again.
void TSimServer::SwitchFaultsOff() {
    if (DescribeFaults(FFaults).empty())
        return;
    FFaults = {};
    const auto Now = Clock::now();
    for (TOutgoing& Out : FOutbox)
        Out.Due = std::min(Out.Due, Now);
    FLog.Say("fault injection switched off");
}

TFaultDecision TSimServer::Decide(int Number) {
    std::uniform_int_distribution<int> Percentile(0, 99);
    return DecideFaults(FFaults, Number, Percentile(FRandom));
}

void TSimServer::Respond(const TModbusRequest& Req, int Number, const TFaultDecision& Fault) {
    // Another unit answers a read with its own values; a write is still acted on by its unit.
    TModbusRequest Asked = Req;
    if (Fault.OtherUnit)
        Asked.Unit = OtherUnit(Req.Unit);
    const TFrame Answer = MakeAnswer(Req, Asked, Number, Fault);
    if (Fault.Drop) {
        FLog.Say("fault: answer to request " + N(Number) + " (unit " + N(Req.Unit) + ", function " +
                 N(Req.Function) + ") dropped");
        return;
    }
    if (FOptions.LogServed)
        if (const std::string Served = ServedLine(Asked, Answer); !Served.empty())
            FLog.Say(Served);
    Queue(Answer, Number, Fault);
}

TFrame TSimServer::MakeAnswer(const TModbusRequest& Req, const TModbusRequest& Asked, int Number,
                              const TFaultDecision& Fault) {
    const std::string Which =
        "request " + N(Number) + " (unit " + N(Req.Unit) + ", function " + N(Req.Function) + ")";
    const TSimTime Now = FClock.Now();
    FGateway.AdvanceTo(Now);
    if (Fault.Exception) {
        FLog.Say("fault: " + Which + " not acted on, answered with exception 4");
        return ExceptionFrame(Req, MODBUS_EXCEPTION_SLAVE_OR_SERVER_FAILURE);
    }
    const bool Write = Req.Function == MODBUS_FC_WRITE_SINGLE_REGISTER;
    TFrame Answer = FGateway.Answer(Write ? Req : Asked, Now);
    Misaddress(Answer, Fault, Req.Unit);
    if (Fault.OtherUnit)
        FLog.Say("fault: answer to " + Which + " as unit " + N(OtherUnit(Req.Unit)));
    if (Fault.OtherId)
        FLog.Say("fault: answer to " + Which + " with transaction identifier " +
                 N(Answer[0] << 8 | Answer[1]));
    if (Fault.OtherProtocol)
        FLog.Say("fault: answer to " + Which + " with protocol identifier 1");
    return Answer;
}

// A held-back answer goes out its delay after its own request arrived, whatever came between.
void TSimServer::Queue(const TFrame& Answer, int Number, const TFaultDecision& Fault) {
    const std::string Which = "answer to request " + N(Number);
    const int HeldBackMs = FFaults.DelayMs + (Fault.Late ? FFaults.LateByMs : 0);
    if (HeldBackMs > 0)
        FLog.Say("fault: " + Which + " held back " + N(HeldBackMs) + " ms");
    TFrame Bytes = GarbageBytes(FFaults.GarbageBytes);
    if (!Bytes.empty())
        FLog.Say("fault: " + N(FFaults.GarbageBytes) + " garbage bytes before the " + Which);
    Bytes.insert(Bytes.end(), Answer.begin(), Answer.end());
    if (Fault.Double) {
        FLog.Say("fault: " + Which + " sent twice");
        Bytes.insert(Bytes.end(), Answer.begin(), Answer.end());
    }
    QueuePieces(Bytes, Clock::now() + milliseconds(HeldBackMs), Number);
}

// Whole, or as the split or dribble asks: nothing of it overtakes what was queued before.
void TSimServer::QueuePieces(const TFrame& Bytes, Clock::time_point Due, int Number) {
    const std::string Which = "answer to request " + N(Number);
    if (FFaults.DribbleMs) {
        FLog.Say("fault: " + Which + " dribbled, " + N(static_cast<int>(Bytes.size())) + " bytes " +
                 N(*FFaults.DribbleMs) + " ms apart");
        for (std::size_t K = 0; K < Bytes.size(); ++K)
            FOutbox.push_back(
                {{Bytes[K]}, Due + milliseconds(*FFaults.DribbleMs) * static_cast<int>(K), {}});
        return;
    }
    if (!FFaults.SplitGapMs) {
        FOutbox.push_back({Bytes, Due, {}});
        return;
    }
    const auto Half = static_cast<std::ptrdiff_t>(Bytes.size() / 2);
    FLog.Say("fault: " + Which + " split into " + N(static_cast<int>(Half)) + " + " +
             N(static_cast<int>(Bytes.size()) - static_cast<int>(Half)) + " bytes, " +
             N(*FFaults.SplitGapMs) + " ms apart");
    FOutbox.push_back({TFrame(Bytes.begin(), Bytes.begin() + Half), Due, {}});
    FOutbox.push_back(
        {TFrame(Bytes.begin() + Half, Bytes.end()), Due + milliseconds(*FFaults.SplitGapMs), {}});
}

// The outbox goes out in order: nothing overtakes bytes queued before it.
void TSimServer::SendDue() {
    const auto Now = Clock::now();
    while (FClientFd >= 0 && !FOutbox.empty() && FOutbox.front().Due <= Now) {
        const TOutgoing Next = std::move(FOutbox.front());
        FOutbox.pop_front();
        if (Send(Next.Bytes) && !Next.CloseWhy.empty())
            CloseClient(Next.CloseWhy);
    }
}

bool TSimServer::Send(const TFrame& Bytes) {
    const std::uint8_t* Next = Bytes.data();
    std::size_t Count = Bytes.size();
    while (Count > 0) {
        const ssize_t Sent = send(FClientFd, Next, Count, MSG_NOSIGNAL);
        if (Sent < 0 && errno == EINTR)
            continue;
        if (Sent <= 0) {
            CloseClient(std::string("send failed: ") + std::strerror(errno));
            return false;
        }
        Next += Sent;
        Count -= static_cast<std::size_t>(Sent);
    }
    return true;
}

std::chrono::steady_clock::time_point TSimServer::LastDue() const {
    const auto Now = Clock::now();
    return FOutbox.empty() ? Now : std::max(Now, FOutbox.back().Due);
}

void TSimServer::CloseClient(const std::string& Why) {
    if (FClientFd < 0)
        return;
    close(FClientFd);
    FClientFd = -1;
    FOutbox.clear();
    modbus_set_socket(FContext.get(), -1);
    FLog.Say("connection from " + FClientName + " ended: " + Why);
}
