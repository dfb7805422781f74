#pragma once
#include "AnswerStream.h"
#include "PollFreshness.h"
#include "SaunaMX.h"
#include "SocketRTU.h"
#include "TCPClient.h"

#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

// The step the port is in.
enum TPortStatus : std::uint8_t {
    PORT_STOP,     // the poll engine is stopped
    PORT_IDLE,     // no request in flight
    PORT_TRANS,    // the active slot's request has been sent
    PORT_REC,      // the response has been read
    PORT_COMPLETE, // the response is checked and accepted on the next tick
    PORT_ERROR,    // the last step failed; ErrorCode says why
};

// Why the port is in PORT_ERROR.
enum TPortError : std::uint8_t {
    NO_ERROR,
    ERROR_NOT_CONNECTED, // no connection for a send or a read, or a connect attempt failed
    ERROR_TIMEOUT,       // nothing arrived within the read time-out
    ERROR_TRANS,         // the send failed, or the connected test before it
    ERROR_REC,           // the read failed, or only a part or a malformed or mismatched answer came
    ERROR_ID,            // only answers to other requests came
};

// What the port waits on between ticks, without holding the thread.
enum TPortWait : std::uint8_t {
    WAIT_NONE,
    WAIT_CONNECT, // a connection attempt, given up CONNECT_TIMEOUT_MS after it began
    WAIT_READ, // the answer to the request in flight, given up READ_TIMEOUT_MS after the read began
};

using TEventOnTrans = std::function<void(TPortStatus State)>;
using TEventOnError = std::function<void(TPortStatus State, TPortError ECode)>;

// A Modbus TCP frame, positions 1 to 100.
using TRTUBuffer = std::array<std::uint8_t, 100>;

// The controller port: the one TCP link to the gateway and the poll engine that serves the
// request slots, one step of one Modbus TCP transaction per 100 ms tick, decoding every
// accepted response into the controller image. A response is accepted only when it answers the
// request in flight in every field; every failed transaction is reported. Failures become
// TPortError codes; nothing throws. Everything runs on the thread that owns the port, which the
// port never holds waiting on the network: a connect or a read that cannot end at once is
// waited for between ticks, and ended by the client's news, a later tick or its deadline.
class TDravonPort {
public:
    static constexpr std::int32_t TICK_MS = 100;
    static constexpr std::int32_t CONNECT_TIMEOUT_MS = 2000;
    static constexpr std::int32_t READ_TIMEOUT_MS = 1000;
    static constexpr std::int32_t START_DELAY_TICKS = 20;
    static constexpr std::int32_t RECONNECT_EVERY_TICKS = 10;
    static constexpr std::int32_t FAILURES_BEFORE_DISCONNECT = 3;
    static constexpr std::int64_t STALE_AFTER_MS = TPollFreshness::STALE_AFTER_MS;

    // The QTcpSocket client unless a test hands in its own.
    explicit TDravonPort(std::unique_ptr<TTCPClient> Client = nullptr);
    ~TDravonPort();
    TDravonPort(const TDravonPort&) = delete;
    TDravonPort& operator=(const TDravonPort&) = delete;

    std::unique_ptr<TSaunaMX> Sauna;
    std::unique_ptr<TDravonSockets> Sockets;
    std::unique_ptr<TTCPClient> TCPClient;
    std::unique_ptr<QTimer> SocketTimer;
    TEventOnTrans OnTrans;
    TEventOnError OnError;

    void Start();
    // Starts a connection attempt to the gateway; its outcome comes between ticks. Nothing
    // starts while an attempt is pending.
    void TCPConnect();
    // Closes the connection, or abandons a pending attempt at once.
    void TCPDisconnect();
    TPortWait Waiting() const { return FWait; }
    void WriteRW(std::int32_t RNum, std::int32_t RVal);
    void ReadRW(std::int32_t RNum, std::int32_t RCount);
    void ReadRB(std::int32_t RNum, std::int32_t RCount);

    // Positions 1 to 100; others read 0 and ignore writes.
    std::uint8_t ReadTxBuffer(std::int32_t Num) const;
    void WriteTxBuffer(std::int32_t Num, std::uint8_t Val);
    std::uint8_t ReadRxBuffer(std::int32_t Num) const;
    void WriteRxBuffer(std::int32_t Num, std::uint8_t Val);

    // One step of the poll engine. The timer calls it; tests drive it directly. While the port
    // waits, a tick only looks whether the wait has ended.
    void SocketTimerTick();

    // How the image holds register or coil Num of the sauna its cyclic request polls: unknown
    // without an answer of the slot's unit since the link started or the slot was readdressed;
    // old when that answer came STALE_AFTER_MS ago or more, or the link stopped
    // or went down since; live otherwise, and for a number no cyclic request reads.
    TReadingAge AgeREG(std::int32_t Num) const;
    TReadingAge AgeBIT(std::int32_t Num) const;
    bool StaleREG(std::int32_t Num) const { return AgeREG(Num) != READING_LIVE; }
    bool StaleBIT(std::int32_t Num) const { return AgeBIT(Num) != READING_LIVE; }
    // Frames of other transactions (late, doubled or misaddressed answers) skipped so far.
    std::int32_t StaleFrames() const { return FAnswers.SkippedFrames(); }

    std::int32_t PortType() const { return FPortType; }
    void SetPortType(std::int32_t Val) { FPortType = Val; }
    std::int32_t ServerTCPPortNum() const { return FServerTCPPortNum; }
    void SetServerTCPPortNum(std::int32_t Val) { FServerTCPPortNum = Val; }
    QString ServerTCPIPNum() const { return FServerTCPIPNum; }
    void SetServerTCPIPNum(const QString& Val) { FServerTCPIPNum = Val; }
    std::int32_t PortNumCOM() const { return FPortNumCOM; }
    void SetPortNumCOM(std::int32_t Val) { FPortNumCOM = Val; }
    bool AutoConnect() const { return FAutoConnect; }
    void SetAutoConnect(bool Val) { FAutoConnect = Val; }
    bool SocketServerStart() const { return FSocketServerStart; }
    // Starting a stopped link makes every reading unknown until answered again.
    void SetSocketServerStart(bool Val);
    bool SocketServerStop() const { return FSocketServerStop; }
    void SetSocketServerStop(bool Val) { FSocketServerStop = Val; }
    bool SocketServerReset() const { return FSocketServerReset; }
    void SetSocketServerReset(bool Val) { FSocketServerReset = Val; }
    std::int32_t TransID() const { return FTransID; }
    void SetTransID(std::int32_t Val) { FTransID = Val; }
    std::int32_t RecID() const { return FRecID; }
    void SetRecID(std::int32_t Val) { FRecID = Val; }
    TPortStatus Status() const { return FStatus; }
    void SetStatus(TPortStatus Val) { FStatus = Val; }
    TPortError ErrorCode() const { return FError; }
    void SetErrorCode(TPortError Val) { FError = Val; }
    std::uint8_t SlaveAddr() const { return FSlaveAddr; }
    // Choosing another sauna makes every reading unknown until that sauna has answered it.
    void SetSlaveAddr(std::uint8_t Val);
    std::int32_t RegNum() const { return FRegNum; }
    void SetRegNum(std::int32_t Val) { FRegNum = Val; }
    std::int32_t RegVal() const { return FRegVal; }
    void SetRegVal(std::int32_t Val) { FRegVal = Val; }
    std::int32_t RegCount() const { return FRegCount; }
    void SetRegCount(std::int32_t Val) { FRegCount = Val; }
    std::int32_t TransCount() const { return FTransCount; }
    void SetTransCount(std::int32_t Val) { FTransCount = Val; }

private:
    void RaiseTrans(TPortStatus State);
    void RaiseError();

    void Fail(TPortError Code);
    void AdvanceTransaction();
    // Whether the transaction may go on in this tick: false while a connect started here waits.
    bool CheckConnection();
    void BeginConnect(bool ResumeStep);
    void ConnectEnded(bool Connected);
    void BeginWait(TPortWait Wait, std::int32_t TimeoutMs);
    // Looks whether the wait has ended, and if so finishes what it held up.
    void ContinueWait();
    void ContinueConnect();
    // Whether the wait's deadline is still ahead; if so, its timer is set to it.
    bool WaitGoesOn();
    void EndWait();
    std::int64_t WaitedMs() const;
    void BeginRead();
    void FinishTurn();
    void CheckIdentifier();
    void ReportFailure();
    void AcceptResponse();
    void DispatchNext();
    TReadingAge AgeIn(std::int32_t SocketFunction, std::int32_t Num) const;

    void RunSocket(std::int32_t Num);
    void BuildRequest(std::uint8_t FunctionCode, std::int32_t RNum, std::int32_t Word,
                      std::int32_t RecCount);
    void SetTxHeader();
    void TCPTransmit();
    // One look at what has come for the request in flight: true once the read has ended, with
    // the answer or a failure; false while the answer may still come.
    bool LookForAnswer(bool FirstLook);
    void EndRead(TPortError Failure, bool GatewayAnswered);
    TPortError Unanswered() const;
    void StoreResponse(const QByteArray& Frame);
    void NoteTransaction(bool Answered);
    // The connection is gone or the link stopped: every reading is old until answered again.
    void LinkDown();
    void DecodeRxBuffer();

    std::int32_t FPortType = 0;
    std::int32_t FServerTCPPortNum = 0;
    QString FServerTCPIPNum;
    std::int32_t FPortNumCOM = 0;
    bool FAutoConnect = false;
    bool FSocketServerStart = false;
    bool FSocketServerStop = false;
    bool FSocketServerReset = false;
    std::int32_t FTransID = 0;
    std::int32_t FRecID = 0;
    TPortStatus FStatus = PORT_IDLE;
    TPortError FError = NO_ERROR;
    std::int32_t FStartTimer = START_DELAY_TICKS;
    // Two short of a check, so the first check falls on the second running tick.
    std::int32_t FConnTimer = RECONNECT_EVERY_TICKS - 2;
    // The sauna new requests are made for; a request goes out to the unit its slot holds.
    std::uint8_t FSlaveAddr = 1;
    std::uint8_t FRequestUnit = 1;
    std::uint8_t FFunctionCode = 0;
    std::int32_t FRegNum = 0;
    std::int32_t FRegVal = 0;
    std::int32_t FRegCount = 0;
    TRTUBuffer FTxBuffer{};
    TRTUBuffer FRxBuffer{};
    std::int32_t FTransCount = 0;
    std::int32_t FRecCount = 0;
    // What has been received and not yet taken as an answer.
    TAnswerStream FAnswers;
    // When each cyclic request last had an answer accepted.
    TPollFreshness FFreshness;
    // The wait in progress, when it began on the client's clock, and its deadline's timer.
    TPortWait FWait = WAIT_NONE;
    std::int64_t FWaitStart = 0;
    std::int32_t FWaitTimeout = 0;
    std::unique_ptr<QTimer> FDeadline;
    // The tick that started a connect goes on with its transaction once the connect has ended.
    bool FResumeStep = false;
    // What the read found when it began: the connection standing, and the frames skipped and
    // bytes dropped before it, to tell what came during it.
    bool FReadLinkUp = false;
    std::int32_t FSkippedBefore = 0;
    std::int64_t FDroppedBefore = 0;
    // Connections opened so far, and the one the request in flight went out on.
    std::int32_t FLinkSerial = 0;
    std::int32_t FRequestLink = 0;
    // Transactions in a row that ended without an answer of the gateway's.
    std::int32_t FFailedInRow = 0;
    // The stop was honoured after the active slot's turn was finished and the slot closed.
    bool FTurnEndedAtStop = false;
};
