// Arbitrary gateway bytes through the port's receive, check and decode path, tick by tick on
// the scripted client. Each time the port has sent a request the input says what the gateway
// does with it: answer it whole (the answer's data taken from the input), answer with one
// header byte changed, answer and send more bytes after it, send bytes of its own, answer an
// earlier request, say nothing, split the answer over two arrivals, or close; at once or some
// time into the read, which the client may tell the port of between ticks. Raw bytes alone
// would rarely be accepted; whole answers make the decode path run on every input.
//
// After every tick each register and coil of the image holds its first value or a value that
// some frame carried which answers, field for field, a request sent before the frame's first
// byte arrived: identifier, protocol 0, length, function and byte count of a read (any unit, as
// the identifier already pairs it), or the exact echo of a write. The check decodes frames on its
// own, from the Modbus TCP layout.
#include "DravonRTU.h"
#include "FakeTCPClient.h"
#include "ModbusReplies.h"
#include "PollSetQueue.h"
#include "SaunaREG.h"

#include <QCoreApplication>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
constexpr int MAX_TICKS = 600;
// Enough for the last transaction to end, its read waiting out its whole second.
constexpr int TICKS_AFTER_INPUT = 16;
constexpr std::int64_t TICK_MS = 100;
// The latest a byte sent during a read arrives after it was sent.
constexpr std::int64_t MAX_ARRIVAL_MS = 1200;
constexpr std::size_t MAX_EXTRA_BYTES = 64;
constexpr std::size_t MAX_RAW_BYTES = 120;
constexpr int READ_COILS = 1;
constexpr int READ_HOLDING_REGISTERS = 3;
constexpr int WRITE_SINGLE_REGISTER = 6;
constexpr int HEADER_LENGTH = 9; // identifier, protocol, length, unit, function, byte count

enum TGatewayMove : std::uint8_t {
    MOVE_WHOLE,
    MOVE_HEADER_BYTE,
    MOVE_ANSWER_AND_MORE,
    MOVE_RAW,
    MOVE_EARLIER_ANSWER,
    MOVE_SILENCE,
    MOVE_SPLIT,
    MOVE_CLOSE,
    kMaxValue = MOVE_CLOSE, // for FuzzedDataProvider::ConsumeEnum
};

struct SentRequest {
    QByteArray Frame;
    qsizetype StreamAt;  // bytes the gateway had sent before this request went out
    qsizetype ScannedTo; // answers starting before this offset of the stream have been found
};

// A whole answer to the request FRequests[Request] at offset At of the gateway's stream.
struct FoundAnswer {
    std::size_t Request;
    qsizetype At;
};

std::uint8_t ByteAt(const QByteArray& Bytes, qsizetype At) {
    return static_cast<std::uint8_t>(Bytes[At]);
}

std::int32_t WordAt(const QByteArray& Bytes, qsizetype At) {
    return ByteAt(Bytes, At) * 256 + ByteAt(Bytes, At + 1);
}

// Data bytes of the answer to a read request.
std::int32_t DataBytes(const QByteArray& Request) {
    const std::int32_t count = WordAt(Request, 10);
    return ByteAt(Request, 7) == READ_COILS ? (count + 7) / 8 : 2 * count;
}

qsizetype AnswerLength(const QByteArray& Request) {
    if (ByteAt(Request, 7) == WRITE_SINGLE_REGISTER)
        return Request.size();
    return HEADER_LENGTH + DataBytes(Request);
}

// Whether the bytes at At of Stream, which holds an answer's length from there, are a whole
// answer to Request.
bool AnswersAt(const QByteArray& Stream, qsizetype At, const QByteArray& Request) {
    const int function = ByteAt(Request, 7);
    if (function == WRITE_SINGLE_REGISTER)
        return Stream.mid(At, Request.size()) == Request;
    const std::int32_t data = DataBytes(Request);
    return WordAt(Stream, At) == WordAt(Request, 0) && WordAt(Stream, At + 2) == 0 &&
           WordAt(Stream, At + 4) == 3 + data && ByteAt(Stream, At + 7) == function &&
           ByteAt(Stream, At + 8) == data;
}

// Register or coil Num as carried by the answer to Request at At.
std::int32_t CarriedValue(const QByteArray& Stream, qsizetype At, const QByteArray& Request,
                          std::int32_t Num) {
    const std::int32_t k = Num - WordAt(Request, 8);
    if (ByteAt(Request, 7) == READ_COILS)
        return (ByteAt(Stream, At + HEADER_LENGTH + k / 8) >> (k % 8)) & 1;
    return WordAt(Stream, At + HEADER_LENGTH + 2 * k);
}

class Gateway {
public:
    Gateway(FakeTCPClient& Fake, FuzzedDataProvider& Input) : FFake(Fake), FInput(Input) {}

    // Takes the requests the port sent since the last call, and the input's move for each.
    void AnswerNewRequests() {
        while (FRequests.size() < FFake.Written.size()) {
            const qsizetype now = FStream.size();
            FRequests.push_back({FFake.Written[FRequests.size()], now, now});
            Move(FRequests.back().Frame);
        }
    }

    // Looks for answers in what the gateway has sent since the last call; each offset is
    // judged once, when the stream holds a whole answer's length from it.
    void FindAnswers() {
        for (std::size_t n = 0; n < FRequests.size(); ++n) {
            SentRequest& sent = FRequests[n];
            const qsizetype length = AnswerLength(sent.Frame);
            for (; sent.ScannedTo + length <= FStream.size(); ++sent.ScannedTo) {
                if (AnswersAt(FStream, sent.ScannedTo, sent.Frame))
                    FAnswers.push_back({n, sent.ScannedTo});
            }
        }
    }

    // Whether some answer found to a request of Function covering Num carried Value.
    bool Carried(int Function, std::int32_t Num, std::int32_t Value) const {
        for (const FoundAnswer& answer : FAnswers) {
            const QByteArray& request = FRequests[answer.Request].Frame;
            const std::int32_t first = WordAt(request, 8);
            if (ByteAt(request, 7) == Function && Num >= first &&
                Num < first + WordAt(request, 10) &&
                CarriedValue(FStream, answer.At, request, Num) == Value)
                return true;
        }
        return false;
    }

    void PrintHistory() const {
        for (const SentRequest& sent : FRequests)
            std::printf("request %s after %lld gateway bytes\n", Hex(sent.Frame).c_str(),
                        static_cast<long long>(sent.StreamAt));
        std::printf("gateway bytes: %s\n", Hex(FStream).c_str());
    }

private:
    void Move(const QByteArray& Request) {
        const auto move = FInput.ConsumeEnum<TGatewayMove>();
        const bool duringRead = FInput.ConsumeBool();
        switch (move) {
        case MOVE_WHOLE:
            Send(Answer(Request), duringRead);
            break;
        case MOVE_HEADER_BYTE: {
            QByteArray answer = Answer(Request);
            const auto at = FInput.ConsumeIntegralInRange<int>(0, HEADER_LENGTH - 1);
            answer[at] = static_cast<char>(FInput.ConsumeIntegral<std::uint8_t>());
            Send(answer, duringRead);
            break;
        }
        case MOVE_ANSWER_AND_MORE:
            Send(Answer(Request) +
                     Bytes(FInput.ConsumeIntegralInRange<std::size_t>(1, MAX_EXTRA_BYTES)),
                 duringRead);
            break;
        case MOVE_RAW:
            Send(Bytes(FInput.ConsumeIntegralInRange<std::size_t>(1, MAX_RAW_BYTES)), duringRead);
            break;
        case MOVE_EARLIER_ANSWER: {
            const auto earlier =
                FInput.ConsumeIntegralInRange<std::size_t>(0, FRequests.size() - 1);
            Send(Answer(FRequests[earlier].Frame), duringRead);
            break;
        }
        case MOVE_SILENCE:
            break;
        case MOVE_SPLIT: {
            const QByteArray answer = Answer(Request);
            const auto cut = FInput.ConsumeIntegralInRange<qsizetype>(1, answer.size() - 1);
            Send(answer.left(cut), duringRead);
            Send(answer.mid(cut), true);
            break;
        }
        case MOVE_CLOSE:
            FFake.CloseAfter(ArrivalDelay(true));
            break;
        }
    }

    // The whole answer to Request: a write's echo, or a read's header with data from the
    // input (zeros once the input is spent).
    QByteArray Answer(const QByteArray& Request) {
        if (ByteAt(Request, 7) == WRITE_SINGLE_REGISTER)
            return Request;
        QByteArray data = Bytes(static_cast<std::size_t>(DataBytes(Request)));
        data.resize(DataBytes(Request), '\0');
        return ReplyWithData(Request, data);
    }

    QByteArray Bytes(std::size_t Count) {
        const std::vector<char> bytes = FInput.ConsumeBytes<char>(Count);
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }

    // Bytes sent before the next read have arrived by then; bytes sent during it arrive while
    // it waits, or after it gave up. Arrivals keep their order: nothing arrives ahead of bytes
    // sent before it.
    void Send(const QByteArray& Bytes, bool DuringRead) {
        FFake.ArriveAfter(ArrivalDelay(DuringRead), Bytes);
        FStream += Bytes;
    }

    std::int64_t ArrivalDelay(bool DuringRead) {
        const std::int64_t delay =
            DuringRead ? FInput.ConsumeIntegralInRange<std::int64_t>(1, MAX_ARRIVAL_MS) : 0;
        FLastArrival = std::max(FLastArrival, FFake.NowMs() + delay);
        return FLastArrival - FFake.NowMs();
    }

    FakeTCPClient& FFake;
    FuzzedDataProvider& FInput;
    std::vector<SentRequest> FRequests;
    std::vector<FoundAnswer> FAnswers;
    QByteArray FStream;
    std::int64_t FLastArrival = 0;
};

// The image as it was after the previous tick, to look only at what a tick changed.
struct ImageCopy {
    std::array<std::int32_t, TSaunaMX::REG_COUNT> Registers{};
    std::array<bool, TSaunaMX::BIT_COUNT> Coils{};
};

[[noreturn]] void Finding(const Gateway& Gate, int Tick, const char* Kind, std::int32_t Num,
                          std::int32_t Value) {
    std::printf("tick %d: %s %d holds %d, which no answer carried\n", Tick, Kind, Num, Value);
    Gate.PrintHistory();
    std::fflush(stdout);
    std::abort();
}

void CheckImage(const TSaunaMX& Image, ImageCopy& Before, Gateway& Gate, int Tick) {
    Gate.FindAnswers();
    for (std::int32_t num = 0; num < TSaunaMX::REG_COUNT; ++num) {
        const std::int32_t value = Image.ReadTableREG(num);
        if (value != Before.Registers[num] && !Gate.Carried(READ_HOLDING_REGISTERS, num, value))
            Finding(Gate, Tick, "register", num, value);
        Before.Registers[num] = value;
    }
    for (std::int32_t num = 0; num < TSaunaMX::BIT_COUNT; ++num) {
        const bool value = Image.ReadTableBIT(num);
        if (value != Before.Coils[num] && !Gate.Carried(READ_COILS, num, value ? 1 : 0))
            Finding(Gate, Tick, "coil", num, value ? 1 : 0);
        Before.Coils[num] = value;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    static QCoreApplication application(*Argc, *Argv); // the port's timer wants one
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider input(Data, Size);
    auto client = std::make_unique<FakeTCPClient>();
    FakeTCPClient& fake = *client;
    TDravonPort port(std::move(client));
    port.SetServerTCPIPNum(QStringLiteral("127.0.0.1"));
    port.SetServerTCPPortNum(1502);
    fake.SetConnected(true);
    port.SetSocketServerStart(true);
    QueuePollSet(*port.Sockets, 1);
    port.Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    for (int tick = 0; tick < TDravonPort::START_DELAY_TICKS; ++tick) {
        fake.Advance(TICK_MS);
        port.SocketTimerTick();
    }

    Gateway gateway(fake, input);
    ImageCopy before;
    int ticksLeftAfterInput = TICKS_AFTER_INPUT;
    for (int tick = 1; tick <= MAX_TICKS && ticksLeftAfterInput > 0; ++tick) {
        gateway.AnswerNewRequests();
        // The client's news between two ticks, as the socket's notifier brings it.
        const auto between = input.ConsumeIntegralInRange<std::int64_t>(0, TICK_MS - 1);
        if (between > 0) {
            fake.Advance(between);
            fake.Notify();
            gateway.AnswerNewRequests();
            CheckImage(*port.Sauna, before, gateway, tick);
        }
        fake.Advance(TICK_MS - between);
        port.SocketTimerTick();
        CheckImage(*port.Sauna, before, gateway, tick);
        if (input.remaining_bytes() == 0)
            --ticksLeftAfterInput;
    }
    return 0;
}
