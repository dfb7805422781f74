#include "DravonRTU.h"

#include "QtTCPClient.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::uint8_t MODBUS_READ_COILS = 1;
constexpr std::uint8_t MODBUS_READ_HOLDING_REGISTERS = 3;
constexpr std::uint8_t MODBUS_WRITE_SINGLE_REGISTER = 6;

constexpr std::int32_t REQUEST_LENGTH = 12;
constexpr std::int32_t MBAP_LENGTH = 6; // identifier, protocol, length: not counted in the length
constexpr std::int32_t RESPONSE_HEAD_LENGTH = 9; // up to and including the byte count
constexpr std::int32_t POS_FIRST_DATA = 10;
constexpr std::int32_t LAST_TRANS_ID = 65535;
constexpr std::int32_t BUFFER_SIZE = std::tuple_size_v<TRTUBuffer>;

// Identifier 0 never goes on the wire: an empty read would otherwise match it.
std::int32_t NextTransID(std::int32_t Id) {
    return Id >= 0 && Id < LAST_TRANS_ID ? Id + 1 : 1;
}

std::uint8_t HighByte(std::int32_t Val) {
    return static_cast<std::uint8_t>((Val >> 8) & 0xFF);
}

std::uint8_t LowByte(std::int32_t Val) {
    return static_cast<std::uint8_t>(Val & 0xFF);
}

std::int32_t CoilDataBytes(std::int32_t Count) {
    return Count / 8 + (Count % 8 != 0 ? 1 : 0);
}

bool IsBufferPosition(std::int32_t Num) {
    return Num >= 1 && Num <= BUFFER_SIZE;
}

} // namespace

TDravonPort::TDravonPort(std::unique_ptr<TTCPClient> Client)
    : Sauna(std::make_unique<TSaunaMX>()), Sockets(std::make_unique<TDravonSockets>()),
      TCPClient(Client ? std::move(Client) : std::make_unique<TQtTCPClient>()),
      SocketTimer(std::make_unique<QTimer>()), FDeadline(std::make_unique<QTimer>()) {
    SocketTimer->setInterval(TICK_MS);
    QObject::connect(SocketTimer.get(), &QTimer::timeout, SocketTimer.get(),
                     [this] { SocketTimerTick(); });
    // A wait ends the moment its deadline passes, not at the tick after.
    FDeadline->setSingleShot(true);
    FDeadline->setTimerType(Qt::PreciseTimer);
    QObject::connect(FDeadline.get(), &QTimer::timeout, FDeadline.get(),
                     [this] { ContinueWait(); });
    TCPClient->SetOnActivity([this] { ContinueWait(); });
}

TDravonPort::~TDravonPort() {
    // The timers go first, so no tick or deadline runs on a half-destroyed port.
    SocketTimer.reset();
    FDeadline.reset();
    TCPClient->SetOnActivity(nullptr);
    Sockets.reset();
    TCPClient.reset();
    Sauna.reset();
}

void TDravonPort::Start() {
    SocketTimer->start();
}

void TDravonPort::TCPConnect() {
    BeginConnect(false);
}

void TDravonPort::TCPDisconnect() {
    if (FWait == WAIT_CONNECT) {
        // Abandoned: the tick that started it does not go on with its transaction.
        TCPClient->Disconnect();
        EndWait();
        ConnectEnded(false);
        return;
    }
    if (TCPClient->CheckLink() != TCP_LINK_DOWN)
        TCPClient->Disconnect();
    LinkDown();
}

void TDravonPort::BeginConnect(bool ResumeStep) {
    if (FWait == WAIT_CONNECT)
        return; // one attempt at a time
    TCPClient->SetHost(FServerTCPIPNum);
    TCPClient->SetPort(static_cast<std::uint16_t>(FServerTCPPortNum & 0xFFFF));
    switch (TCPClient->StartConnect()) {
    case TCP_CONNECT_UP:
        ConnectEnded(true);
        break;
    case TCP_CONNECT_FAILED:
        ConnectEnded(false);
        break;
    case TCP_CONNECT_PENDING:
        FResumeStep = ResumeStep;
        BeginWait(WAIT_CONNECT, CONNECT_TIMEOUT_MS);
        break;
    }
}

void TDravonPort::ConnectEnded(bool Connected) {
    if (!Connected) {
        FError = ERROR_NOT_CONNECTED;
        LinkDown();
        return;
    }
    // No answer to a request sent before can come on this connection, and failures of an earlier
    // one say nothing of it.
    ++FLinkSerial;
    FAnswers.Clear();
    FFailedInRow = 0;
}

void TDravonPort::WriteRW(std::int32_t RNum, std::int32_t RVal) {
    FRegVal = RVal;
    BuildRequest(MODBUS_WRITE_SINGLE_REGISTER, RNum, RVal, REQUEST_LENGTH);
}

void TDravonPort::ReadRW(std::int32_t RNum, std::int32_t RCount) {
    FRegCount = RCount;
    BuildRequest(MODBUS_READ_HOLDING_REGISTERS, RNum, RCount, RESPONSE_HEAD_LENGTH + 2 * RCount);
}

void TDravonPort::ReadRB(std::int32_t RNum, std::int32_t RCount) {
    FRegCount = RCount;
    BuildRequest(MODBUS_READ_COILS, RNum, RCount, RESPONSE_HEAD_LENGTH + CoilDataBytes(RCount));
}

std::uint8_t TDravonPort::ReadTxBuffer(std::int32_t Num) const {
    return IsBufferPosition(Num) ? FTxBuffer[Num - 1] : 0;
}

void TDravonPort::WriteTxBuffer(std::int32_t Num, std::uint8_t Val) {
    if (IsBufferPosition(Num))
        FTxBuffer[Num - 1] = Val;
}

std::uint8_t TDravonPort::ReadRxBuffer(std::int32_t Num) const {
    return IsBufferPosition(Num) ? FRxBuffer[Num - 1] : 0;
}

void TDravonPort::WriteRxBuffer(std::int32_t Num, std::uint8_t Val) {
    if (IsBufferPosition(Num))
        FRxBuffer[Num - 1] = Val;
}

void TDravonPort::SocketTimerTick() {
    if (FStartTimer > 0) {
        --FStartTimer;
        return;
    }
    if (FWait != WAIT_NONE) {
        ContinueWait(); // neither a step of the transaction nor a running tick
        return;
    }
    if (!FSocketServerStart) {
        FStatus = PORT_STOP;
        FError = NO_ERROR;
        LinkDown();
        RaiseTrans(PORT_STOP);
        return;
    }
    if (CheckConnection())
        AdvanceTransaction();
}

void TDravonPort::AdvanceTransaction() {
    if (FStatus == PORT_IDLE)
        RaiseTrans(PORT_IDLE);
    if (FStatus == PORT_TRANS) {
        BeginRead();
        return;
    }
    if (FStatus == PORT_REC) {
        FStatus = PORT_COMPLETE;
        RaiseTrans(PORT_COMPLETE);
        return;
    }
    FinishTurn();
}

void TDravonPort::RaiseTrans(TPortStatus State) {
    if (OnTrans)
        OnTrans(State);
}

void TDravonPort::RaiseError() {
    if (OnError)
        OnError(PORT_ERROR, FError);
}

void TDravonPort::Fail(TPortError Code) {
    FStatus = PORT_ERROR;
    FError = Code;
}

// A link being stopped is not dialled again: the stop ends it at the close of the turn.
bool TDravonPort::CheckConnection() {
    if (++FConnTimer < RECONNECT_EVERY_TICKS)
        return true;
    FConnTimer = 0;
    if (FSocketServerStop || TCPClient->CheckLink() == TCP_LINK_UP)
        return true;
    LinkDown();
    BeginConnect(true);
    return FWait != WAIT_CONNECT;
}

void TDravonPort::BeginWait(TPortWait Wait, std::int32_t TimeoutMs) {
    FWait = Wait;
    FWaitStart = TCPClient->NowMs();
    FWaitTimeout = TimeoutMs;
    FDeadline->start(TimeoutMs);
}

std::int64_t TDravonPort::WaitedMs() const {
    return TCPClient->NowMs() - FWaitStart;
}

// Until the deadline the wait goes on; the deadline's timer looks again when it passes.
bool TDravonPort::WaitGoesOn() {
    const std::int64_t left = FWaitTimeout - WaitedMs();
    if (left <= 0)
        return false;
    FDeadline->start(static_cast<int>(left));
    return true;
}

void TDravonPort::EndWait() {
    FWait = WAIT_NONE;
    FDeadline->stop();
    // The next tick comes a full interval after the wait ended, as after a step that held it.
    if (SocketTimer->isActive())
        SocketTimer->start(TICK_MS);
}

void TDravonPort::ContinueWait() {
    switch (FWait) {
    case WAIT_CONNECT:
        ContinueConnect();
        break;
    case WAIT_READ:
        LookForAnswer(false);
        break;
    case WAIT_NONE:
        break;
    }
}

// The attempt stands, failed, or is given up at its deadline and abandoned; the tick that
// started it then takes its step.
void TDravonPort::ContinueConnect() {
    TTCPConnect state = TCPClient->ConnectState();
    if (state == TCP_CONNECT_PENDING) {
        if (WaitGoesOn())
            return;
        TCPClient->Disconnect();
        state = TCP_CONNECT_FAILED;
    }
    EndWait();
    ConnectEnded(state == TCP_CONNECT_UP);
    if (FResumeStep)
        AdvanceTransaction();
}

void TDravonPort::FinishTurn() {
    if (FTurnEndedAtStop) {
        // That turn was finished when the stop was honoured. Finishing it again would close a
        // request queued into the same slot number while the link was stopped, or complete
        // an accepted response twice when the link was restarted before a stopped tick.
        FTurnEndedAtStop = false;
    } else {
        CheckIdentifier();
        ReportFailure();
        AcceptResponse();
        Sockets->CloseActiveSocket();
    }
    if (FSocketServerStop) {
        FSocketServerStop = false;
        FSocketServerStart = false;
        FTurnEndedAtStop = true;
        return;
    }
    if (FSocketServerReset) {
        FSocketServerReset = false;
        Sockets->ResetSockets();
    }
    DispatchNext();
}

void TDravonPort::ReportFailure() {
    if (FStatus != PORT_ERROR)
        return;
    RaiseError();
    RaiseTrans(PORT_ERROR);
    Sockets->SetStatus(Sockets->ActiveSocket(), SOCKET_STATUS_ERROR);
}

// The read judged the answer against the request; the identifier may still have been changed
// since by a caller restarting the counter, and then the answer is no longer the awaited one.
void TDravonPort::CheckIdentifier() {
    if (FStatus != PORT_COMPLETE || FTransID == FRecID)
        return;
    Fail(ERROR_ID);
    NoteTransaction(false);
}

void TDravonPort::AcceptResponse() {
    if (FStatus != PORT_COMPLETE)
        return;
    DecodeRxBuffer();
    // An answer of the sauna chosen before the request's slot was readdressed is no reading of
    // the sauna the slot now polls.
    FFreshness.Answered(Sockets->ActiveSocket(), FRequestUnit, TCPClient->NowMs());
    Sockets->CompleteActiveSocket();
}

void TDravonPort::DispatchNext() {
    Sockets->GetNext();
    const std::int32_t next = Sockets->ActiveSocket();
    if (next == 0)
        return; // the table is empty
    FStatus = PORT_IDLE;
    FError = NO_ERROR;
    RunSocket(next);
    RaiseTrans(FStatus);
}

void TDravonPort::SetSocketServerStart(bool Val) {
    // A started link shows nothing of what came before it until the sauna has answered again.
    if (Val && !FSocketServerStart)
        FFreshness.ForgetAll();
    FSocketServerStart = Val;
}

void TDravonPort::SetSlaveAddr(std::uint8_t Val) {
    if (Val != FSlaveAddr)
        FFreshness.ForgetAll();
    FSlaveAddr = Val;
}

TReadingAge TDravonPort::AgeREG(std::int32_t Num) const {
    return AgeIn(SOCKET_FUNCTION_READ_REGISTERS, Num);
}

TReadingAge TDravonPort::AgeBIT(std::int32_t Num) const {
    return AgeIn(SOCKET_FUNCTION_READ_COILS, Num);
}

// The age of the cyclic read of that kind covering Num that stands worst; live when no cyclic
// read covers it.
TReadingAge TDravonPort::AgeIn(std::int32_t SocketFunction, std::int32_t Num) const {
    TReadingAge age = READING_LIVE;
    const std::int64_t now = TCPClient->NowMs();
    for (std::int32_t slot = 1; slot <= TDravonSockets::SOCKET_COUNT; ++slot) {
        const std::int32_t first = Sockets->GetRegNum(slot);
        if (Sockets->GetMode(slot) == SOCKET_MODE_MULTI &&
            Sockets->GetFunctionCode(slot) == SocketFunction && Num >= first &&
            Num < first + Sockets->GetRegCount(slot))
            age = std::min(age, FFreshness.Age(slot, Sockets->GetSlaveAddr(slot), now));
    }
    return age;
}

void TDravonPort::RunSocket(std::int32_t Num) {
    Sockets->SetStatus(Num, SOCKET_STATUS_RUN);
    FRequestUnit = static_cast<std::uint8_t>(Sockets->GetSlaveAddr(Num) & 0xFF);
    const std::int32_t regNum = Sockets->GetRegNum(Num);
    switch (Sockets->GetFunctionCode(Num)) {
    case SOCKET_FUNCTION_READ_COILS:
        FStatus = PORT_TRANS;
        ReadRB(regNum, Sockets->GetRegCount(Num));
        break;
    case SOCKET_FUNCTION_READ_REGISTERS:
        FStatus = PORT_TRANS;
        ReadRW(regNum, Sockets->GetRegCount(Num));
        break;
    case SOCKET_FUNCTION_WRITE_REGISTER:
        FStatus = PORT_TRANS;
        WriteRW(regNum, Sockets->GetRegValue(Num));
        break;
    default:
        break; // nothing to send; the port stays idle
    }
}

void TDravonPort::BuildRequest(std::uint8_t FunctionCode, std::int32_t RNum, std::int32_t Word,
                               std::int32_t RecCount) {
    FFunctionCode = FunctionCode;
    FRegNum = RNum;
    FTransID = NextTransID(FTransID);
    FTransCount = REQUEST_LENGTH;
    SetTxHeader();
    WriteTxBuffer(8, FunctionCode);
    WriteTxBuffer(9, HighByte(RNum));
    WriteTxBuffer(10, LowByte(RNum));
    WriteTxBuffer(11, HighByte(Word));
    WriteTxBuffer(12, LowByte(Word));
    FRecCount = RecCount;
    TCPTransmit();
}

void TDravonPort::SetTxHeader() {
    WriteTxBuffer(1, HighByte(FTransID));
    WriteTxBuffer(2, LowByte(FTransID));
    WriteTxBuffer(3, 0);
    WriteTxBuffer(4, 0);
    WriteTxBuffer(5, HighByte(FTransCount - MBAP_LENGTH));
    WriteTxBuffer(6, LowByte(FTransCount - MBAP_LENGTH));
    WriteTxBuffer(7, FRequestUnit);
}

void TDravonPort::TCPTransmit() {
    FError = NO_ERROR;
    switch (TCPClient->CheckLink()) {
    case TCP_LINK_DOWN:
        Fail(ERROR_NOT_CONNECTED);
        LinkDown();
        NoteTransaction(false);
        return;
    case TCP_LINK_FAILED:
        Fail(ERROR_TRANS);
        LinkDown();
        NoteTransaction(false);
        return;
    case TCP_LINK_UP:
        break;
    }
    const auto length = std::clamp(FTransCount, 0, BUFFER_SIZE);
    const QByteArray block(reinterpret_cast<const char*>(FTxBuffer.data()), length);
    if (!TCPClient->Write(block)) {
        Fail(ERROR_TRANS);
        NoteTransaction(false);
        return;
    }
    FRequestLink = FLinkSerial;
}

// Takes what has come for the request in flight. A read that finds no answer yet waits between
// ticks, and goes on when bytes arrive or ends at the read time-out counted from its start.
void TDravonPort::BeginRead() {
    FError = NO_ERROR;
    if (FRequestLink != FLinkSerial) {
        EndRead(ERROR_NOT_CONNECTED, false); // the request went out on a connection gone since
        return;
    }
    FSkippedBefore = FAnswers.SkippedFrames();
    FDroppedBefore = FAnswers.DroppedBytes();
    // Bytes already received are judged before the connection's state is.
    FReadLinkUp = TCPClient->CheckLink() == TCP_LINK_UP;
    if (LookForAnswer(true))
        return;
    BeginWait(WAIT_READ, READ_TIMEOUT_MS);
}

// One look at what has come, skipping frames of other transactions: true once the read has
// ended, with the answer or a failure.
bool TDravonPort::LookForAnswer(bool FirstLook) {
    const QByteArray request(reinterpret_cast<const char*>(FTxBuffer.data()), REQUEST_LENGTH);
    const TTCPRead read = TCPClient->Read(FAnswers.Held());
    QByteArray frame;
    switch (FAnswers.Scan(request, FRecCount, frame)) {
    case SCAN_ACCEPTED:
        StoreResponse(frame);
        EndRead(NO_ERROR, true);
        return true;
    case SCAN_EXCEPTION:
        // A refusal fails this request only: the gateway is there and answering.
        StoreResponse(frame);
        EndRead(ERROR_REC, true);
        return true;
    case SCAN_REJECTED:
        StoreResponse(frame);
        EndRead(ERROR_REC, false);
        return true;
    case SCAN_WAITING:
        break;
    }
    if (FirstLook && !FReadLinkUp) {
        LinkDown();
        EndRead(ERROR_NOT_CONNECTED, false);
        return true;
    }
    if (read == TCP_READ_FAILED) {
        LinkDown();
        EndRead(ERROR_REC, false); // closed or failed while the answer was awaited
        return true;
    }
    if (FirstLook || WaitGoesOn())
        return false;
    EndRead(Unanswered(), false);
    return true;
}

// The read's step of the transaction ends: the response is in the receive buffer, or the read
// failed.
void TDravonPort::EndRead(TPortError Failure, bool GatewayAnswered) {
    if (FWait == WAIT_READ)
        EndWait();
    FStatus = PORT_REC;
    if (Failure != NO_ERROR)
        Fail(Failure);
    NoteTransaction(GatewayAnswered);
    Sockets->SetStatus(Sockets->ActiveSocket(), SOCKET_STATUS_COMPLETE);
    RaiseTrans(FStatus);
}

TPortError TDravonPort::Unanswered() const {
    const QByteArray& held = FAnswers.Held();
    if (!held.isEmpty() && !FAnswers.HoldsPartOfAnother(FTransID & 0xFFFF))
        return ERROR_REC; // a part of the answer came
    if (FAnswers.DroppedBytes() > FDroppedBefore)
        return ERROR_REC; // bytes that were no frame came
    if (!held.isEmpty() || FAnswers.SkippedFrames() > FSkippedBefore)
        return ERROR_ID; // only answers to other requests came
    return ERROR_TIMEOUT;
}

void TDravonPort::StoreResponse(const QByteArray& Frame) {
    // Bytes beyond the expected length are dropped; missing ones read 0.
    const auto byteAt = [&Frame](std::int32_t Index) -> std::uint8_t {
        return Index < Frame.size() ? static_cast<std::uint8_t>(Frame[Index]) : 0;
    };
    for (std::int32_t pos = 1; pos <= std::min(FRecCount, BUFFER_SIZE); ++pos)
        WriteRxBuffer(pos, byteAt(pos - 1));
    FRecID = byteAt(0) * 256 + byteAt(1);
}

// A gateway that stopped answering without closing would otherwise hold the link "connected"
// with frozen values: three failed transactions in a row drop the connection, so that the
// reconnect check opens a fresh one. An accepted answer, or a refusal, starts the row again.
void TDravonPort::NoteTransaction(bool Answered) {
    FFailedInRow = Answered ? 0 : FFailedInRow + 1;
    if (FFailedInRow < FAILURES_BEFORE_DISCONNECT)
        return;
    FFailedInRow = 0;
    TCPClient->Disconnect();
    LinkDown();
}

void TDravonPort::LinkDown() {
    FFreshness.AgeAll();
}

void TDravonPort::DecodeRxBuffer() {
    const std::int32_t active = Sockets->ActiveSocket();
    if (active == 0)
        return;
    switch (Sockets->GetFunctionCode(active)) {
    case SOCKET_FUNCTION_READ_COILS:
        for (std::int32_t k = 0; k < FRegCount; ++k) {
            const std::uint8_t data = ReadRxBuffer(POS_FIRST_DATA + k / 8);
            Sauna->WriteTableBIT(FRegNum + k, ((data >> (k % 8)) & 1) != 0);
        }
        break;
    case SOCKET_FUNCTION_READ_REGISTERS:
        for (std::int32_t k = 0; k < FRegCount; ++k) {
            const std::int32_t high = ReadRxBuffer(POS_FIRST_DATA + 2 * k);
            const std::int32_t low = ReadRxBuffer(POS_FIRST_DATA + 2 * k + 1);
            Sauna->WriteTableREG(FRegNum + k, high * 256 + low);
        }
        break;
    default:
        break; // a write's echo carries nothing for the image
    }
}
