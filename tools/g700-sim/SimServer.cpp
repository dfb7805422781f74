#include "SimServer.h"

#include "SimSignals.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace {
constexpr int LOOP_WAIT_MS = 100;  // longest wait before the loop looks at the stop flag again
constexpr int PAUSE_SLICE_MS = 20; // a fault's pause is cut into slices this long
constexpr int TAIL_WAIT_MS = 500;  // how long the rest of a cut request may take to arrive

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

std::string N(int Val) { return std::to_string(Val); }
} // namespace

TSimServer::TSimServer(const TSimOptions& Options, const TSimClock& Clock, const TSimLog& Log)
    : FOptions(Options), FClock(Clock), FLog(Log),
      FGateway(Options.EditDelayMs, [&Log](const std::string& Line) { Log.Say(Line); }),
      FContext(modbus_new_tcp(Options.ListenHost.c_str(), Options.ListenPort), &modbus_free) {
    // The receive below runs only once poll() saw data, so this bounds a half-sent request.
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

void TSimServer::ServeClient() {
    if (Readable(FClientFd, LOOP_WAIT_MS))
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
    const TFaultDecision Fault = DecideFaults(FOptions.Faults, Number);
    if (Fault.Stall)
        FLog.Say("fault: request " + N(Number) + " not answered, stalled after " +
                 N(*FOptions.Faults.StallAfter) + " requests (connection kept open)");
    else
        Answer(DecodeRequest(Frame, Length), Number, Fault);
    if (Fault.Close)
        CloseClient("fault: closed after " + N(Number) + " requests");
}

bool TSimServer::ReadMissing(std::uint8_t* Frame, int& Length) {
    for (int Missing = MissingBytes(Frame, Length); Missing > 0; Missing = MissingBytes(Frame, Length)) {
        if (!Readable(FClientFd, TAIL_WAIT_MS))
            return false;
        const ssize_t Got = recv(FClientFd, Frame + Length, static_cast<std::size_t>(Missing), 0);
        if (Got <= 0)
            return false;
        Length += static_cast<int>(Got);
    }
    return true;
}

void TSimServer::Answer(const TModbusRequest& Req, int Number, const TFaultDecision& Fault) {
    const TSimTime Now = FClock.Now();
    FGateway.AdvanceTo(Now);
    TFrame Frame;
    if (Fault.Exception) {
        FLog.Say("fault: request " + N(Number) + " (unit " + N(Req.Unit) + ", function " +
                 N(Req.Function) + ") not acted on, answered with exception 4");
        Frame = ExceptionFrame(Req, MODBUS_EXCEPTION_SLAVE_OR_SERVER_FAILURE);
    } else {
        Frame = FGateway.Answer(Req, Now);
    }
    if (Fault.Drop) {
        FLog.Say("fault: answer to request " + N(Number) + " (unit " + N(Req.Unit) +
                 ", function " + N(Req.Function) + ") dropped");
        return;
    }
    Deliver(Frame, Number);
}

void TSimServer::Deliver(const TFrame& Answer, int Number) {
    const TFaultOptions& Faults = FOptions.Faults;
    if (Faults.DelayMs > 0) {
        FLog.Say("fault: answer to request " + N(Number) + " held back " + N(Faults.DelayMs) + " ms");
        if (!Pause(Faults.DelayMs))
            return;
    }
    TFrame Bytes = GarbageBytes(Faults.GarbageBytes);
    if (!Bytes.empty())
        FLog.Say("fault: " + N(Faults.GarbageBytes) + " garbage bytes before the answer to request " +
                 N(Number));
    Bytes.insert(Bytes.end(), Answer.begin(), Answer.end());
    if (!Faults.SplitGapMs) {
        Send(Bytes.data(), Bytes.size());
        return;
    }
    const std::size_t Half = Bytes.size() / 2;
    FLog.Say("fault: answer to request " + N(Number) + " split into " + N(static_cast<int>(Half)) +
             " + " + N(static_cast<int>(Bytes.size() - Half)) + " bytes, " + N(*Faults.SplitGapMs) +
             " ms apart");
    if (Send(Bytes.data(), Half) && Pause(*Faults.SplitGapMs))
        Send(Bytes.data() + Half, Bytes.size() - Half);
}

bool TSimServer::Send(const std::uint8_t* Bytes, std::size_t Count) {
    while (Count > 0 && FClientFd >= 0) {
        const ssize_t Sent = send(FClientFd, Bytes, Count, MSG_NOSIGNAL);
        if (Sent < 0 && errno == EINTR)
            continue;
        if (Sent <= 0) {
            CloseClient(std::string("send failed: ") + std::strerror(errno));
            return false;
        }
        Bytes += Sent;
        Count -= static_cast<std::size_t>(Sent);
    }
    return FClientFd >= 0;
}

void TSimServer::CloseClient(const std::string& Why) {
    if (FClientFd < 0)
        return;
    close(FClientFd);
    FClientFd = -1;
    modbus_set_socket(FContext.get(), -1);
    FLog.Say("connection from " + FClientName + " ended: " + Why);
}

// Waits Ms milliseconds unless a stop is requested first; false when it was.
bool TSimServer::Pause(int Ms) const {
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!StopRequested()) {
        const auto Left =
            std::chrono::ceil<std::chrono::milliseconds>(Until - std::chrono::steady_clock::now()).count();
        if (Left <= 0)
            return true;
        poll(nullptr, 0, static_cast<int>(std::min<long long>(Left, PAUSE_SLICE_MS)));
    }
    return false;
}
