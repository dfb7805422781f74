// The port with its real TCP client under a running event loop, polling the gateway simulator
// while it injects one fault, then after the fault is switched off. Each run checks what an
// operator relies on: every value the image ever held is one the simulator served at that
// address, the failure shows in the port's error, and the poll is answered again soon after the
// fault stops.
#include "DravonRTU.h"
#include "EventLoopWait.h"
#include "G700SimProcess.h"
#include "PollSetQueue.h"
#include "SaunaREG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr std::uint8_t UNIT = 3;
// How long a fault may take to show in the port's error, and how long it lasts at least, so that
// the port meets it in several transactions and across a dropped connection.
constexpr milliseconds FAULT_SHOWS_WITHIN = 6000ms;
constexpr milliseconds FAULT_LASTS_AT_LEAST = 2500ms;
// After the fault stops the poll is answered again within this time, with a margin for a
// loaded machine's scheduling.
constexpr milliseconds ANSWERED_AGAIN_WITHIN = 3500ms;
constexpr milliseconds SCHEDULING_MARGIN = 500ms;

// A register or coil of the image.
struct TAddress {
    bool Coil;
    int Num;
    bool operator<(const TAddress& Other) const {
        return Coil != Other.Coil ? Coil < Other.Coil : Num < Other.Num;
    }
};

std::string Describe(const TAddress& Address) {
    return (Address.Coil ? "coil " : "register ") + std::to_string(Address.Num);
}

using TValues = std::map<TAddress, std::set<std::int32_t>>;

// The values the simulator's report says it served to Unit:
// "served unit U registers FIRST: V V ..." and "served unit U coils FIRST: 0110...".
void TakeServed(const std::vector<std::string>& Lines, int Unit, TValues& Served) {
    const std::string head = "served unit " + std::to_string(Unit) + " ";
    for (const std::string& line : Lines) {
        const auto at = line.find(head);
        if (at == std::string::npos)
            continue;
        std::istringstream words(line.substr(at + head.size()));
        std::string kind;
        int first = 0;
        char colon = 0;
        words >> kind >> first >> colon;
        if (kind == "registers") {
            std::int32_t value = 0;
            for (int num = first; words >> value; ++num)
                Served[{false, num}].insert(value);
        } else {
            std::string bits;
            words >> bits;
            for (std::size_t k = 0; k < bits.size(); ++k)
                Served[{true, first + static_cast<int>(k)}].insert(bits[k] == '1' ? 1 : 0);
        }
    }
}

// One run: the simulator with the fault's flags, the port polling unit 3 through it.
class FaultRun {
public:
    explicit FaultRun(const std::vector<std::string>& Flags) {
        StartSim(Flags);
        Port.SetServerTCPIPNum(QStringLiteral("127.0.0.1"));
        Port.SetServerTCPPortNum(FSim->Port());
        Port.SetSlaveAddr(UNIT);
        Port.SetSocketServerStart(true);
        for (const std::int32_t slot : QueuePollSet(*Port.Sockets, UNIT)) {
            Port.Sockets->SetOnSocketEnd(slot, [this](std::int32_t) {
                ++Answered;
                NoteImage();
            });
        }
        Port.OnTrans = [this](TPortStatus) { NoteImage(); };
        Port.OnError = [this](TPortStatus, TPortError ECode) {
            Errors.insert(ECode);
            NoteImage();
        };
        // The start delay does nothing a run needs to see, and a first dispatch before the first
        // reconnect check would fail unconnected whatever the fault.
        for (int tick = 0; tick < TDravonPort::START_DELAY_TICKS; ++tick)
            Port.SocketTimerTick();
        Port.TCPConnect();
        Port.Start();
    }

    // Runs the event loop, and with it the port's timer, until Done holds or Limit has passed.
    bool RunUntil(const std::function<bool()>& Done, milliseconds Limit) {
        return RunEventsUntil(Done, Limit);
    }

    // Stops the simulator and keeps what its report says it served.
    void StopSim() {
        FSim->Stop(SIGTERM, 3000ms);
        TakeServed(FSim->Lines(), UNIT, Served);
    }

    // A new simulator on the same port, as a gateway that restarted.
    void RestartSim(const std::vector<std::string>& Flags) {
        const std::string port = std::to_string(FSim->Port());
        std::vector<std::string> flags{"--listen", "127.0.0.1:" + port};
        flags.insert(flags.end(), Flags.begin(), Flags.end());
        StartSim(flags);
    }

    TG700SimProcess& Sim() { return *FSim; }

    TDravonPort Port;
    int Answered = 0;
    std::set<TPortError> Errors;
    TValues Held;   // every value the image held, by address
    TValues Served; // every value the simulator served to the unit, by address

private:
    void StartSim(const std::vector<std::string>& Flags) {
        std::vector<std::string> flags{"--log-served"};
        flags.insert(flags.end(), Flags.begin(), Flags.end());
        FSim = std::make_unique<TG700SimProcess>(G700_SIM_PATH, flags);
    }

    // The image starts all 0; from its first change on, every value an address holds counts.
    void NoteImage() {
        const TSaunaMX& image = *Port.Sauna;
        for (int num = 0; num < TSaunaMX::REG_COUNT; ++num)
            Note({false, num}, image.ReadTableREG(num));
        for (int num = 0; num < TSaunaMX::BIT_COUNT; ++num)
            Note({true, num}, image.ReadTableBIT(num) ? 1 : 0);
    }

    void Note(const TAddress& Address, std::int32_t Value) {
        auto& last = FLast[Address];
        if (last == Value)
            return;
        last = Value;
        Held[Address].insert(Value);
    }

    std::unique_ptr<TG700SimProcess> FSim;
    std::map<TAddress, std::int32_t> FLast;
};

void ExpectOnlyServedValues(const FaultRun& Run, const std::string& Name) {
    EXPECT_FALSE(Run.Held.empty()) << Name;
    for (const auto& [address, values] : Run.Held) {
        const auto served = Run.Served.find(address);
        for (std::int32_t value : values)
            EXPECT_TRUE(served != Run.Served.end() && served->second.count(value) != 0)
                << Name << ": the image held " << value << " at " << Describe(address)
                << ", which was never served there";
    }
}

// How the fault is made and how it shows.
struct TFaultMode {
    std::string Name;
    std::vector<std::string> Flags;
    // The port's error shows one of these while the fault lasts; none for a fault that the port
    // absorbs (then the frames it skipped must show it).
    std::set<TPortError> Shows;
};

class FaultRuns : public ::testing::TestWithParam<TFaultMode> {
protected:
    // Runs until the fault has shown, switches it off, and measures until the poll is answered.
    void ShowThenRecover(FaultRun& Run, const TFaultMode& Mode,
                         const std::function<void()>& StopFault) {
        const auto shown = [&] {
            if (Mode.Shows.empty())
                return Run.Port.StaleFrames() >= 3 && Run.Answered >= 3;
            for (TPortError code : Mode.Shows)
                if (Run.Errors.count(code) != 0)
                    return true;
            return false;
        };
        const Clock::time_point start = Clock::now();
        ASSERT_TRUE(Run.RunUntil(shown, FAULT_SHOWS_WITHIN)) << Mode.Name;
        Run.RunUntil([start] { return Clock::now() - start >= FAULT_LASTS_AT_LEAST; },
                     FAULT_LASTS_AT_LEAST);
        if (Mode.Shows.empty()) {
            EXPECT_TRUE(Run.Errors.empty()) << Mode.Name;
        }
        StopFault();
        const Clock::time_point stopped = Clock::now();
        const int answeredBefore = Run.Answered;
        ASSERT_TRUE(Run.RunUntil([&] { return Run.Answered > answeredBefore; },
                                 ANSWERED_AGAIN_WITHIN + SCHEDULING_MARGIN + 2000ms))
            << Mode.Name;
        const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - stopped);
        RecordProperty("answered_again_ms", static_cast<int>(took.count()));
        EXPECT_LE(took, ANSWERED_AGAIN_WITHIN + SCHEDULING_MARGIN) << Mode.Name;
    }
};

TEST_P(FaultRuns, ImageHoldsOnlyServedValuesTheFaultShowsAndThePollComesBack) {
    const TFaultMode& mode = GetParam();
    FaultRun run(mode.Flags);
    ShowThenRecover(run, mode, [&run] {
        run.Sim().Signal(SIGUSR1);
        run.Sim().WaitForLine("fault injection switched off", 1000ms);
    });
    run.StopSim();
    ExpectOnlyServedValues(run, mode.Name);
}

// An answer with another unit identifier is taken as the answer to its transaction, so the
// simulator's --other-unit-every has no row here: it fails nothing.
INSTANTIATE_TEST_SUITE_P(
    Modes, FaultRuns,
    ::testing::Values(
        TFaultMode{
            "LateByMoreThanATransaction", {"--late-every", "1", "--late-by", "1500"}, {ERROR_ID}},
        TFaultMode{"Doubled", {"--double-every", "1"}, {}},
        TFaultMode{"Dribbled", {"--dribble", "300"}, {ERROR_REC}},
        TFaultMode{"OtherIdentifier", {"--other-id-every", "1"}, {ERROR_ID}},
        TFaultMode{"OtherProtocol", {"--other-protocol-every", "1"}, {ERROR_REC}},
        TFaultMode{"Exception", {"--exception-every", "1"}, {ERROR_REC}},
        TFaultMode{"ClosedAfterEveryAnswer", {"--close-after", "1"}, {ERROR_NOT_CONNECTED}},
        TFaultMode{"Silent", {"--stall-after", "0"}, {ERROR_TIMEOUT}},
        TFaultMode{"DroppedAtRandom", {"--drop-chance", "50"}, {ERROR_TIMEOUT}}),
    [](const auto& Info) { return Info.param.Name; });

// A gateway that closes after every answer: the answer that came with the close is accepted.
TEST(FaultRunsClosed, AnswerThatCameWithTheCloseIsAccepted) {
    FaultRun run({"--close-after", "1"});
    ASSERT_TRUE(run.RunUntil([&run] { return run.Answered >= 2; }, FAULT_SHOWS_WITHIN));
    EXPECT_EQ(run.Errors.count(ERROR_NOT_CONNECTED), 1u);
    run.StopSim();
    EXPECT_GE(std::count_if(run.Sim().Lines().begin(), run.Sim().Lines().end(),
                            [](const std::string& Line) {
                                return Line.find("closed after 1 requests") != std::string::npos;
                            }),
              2);
}

// A gateway that falls silent holds each read for its whole time-out; the readings are marked
// old 5 s after their last answer all the same, not after 50 ticks stretched by the reads.
TEST(FaultRunsSilent, OldValuesAreMarkedFiveSecondsAfterTheLastAnswer) {
    constexpr milliseconds STALE_AFTER = 5000ms;
    // The poll set's five blocks are answered once; the temperature's came within the four
    // transactions (1.2 s) before the last. Timers may fire a little early.
    constexpr milliseconds EARLY_MARGIN = 1200ms + 500ms;
    FaultRun run({"--stall-after", "5"});
    ASSERT_TRUE(run.RunUntil([&run] { return run.Answered >= 5; }, FAULT_SHOWS_WITHIN));
    const Clock::time_point lastAnswer = Clock::now();
    EXPECT_FALSE(run.Port.StaleREG(REG_TEMP_ACT));
    ASSERT_TRUE(run.RunUntil([&run] { return run.Port.StaleREG(REG_TEMP_ACT); }, STALE_AFTER * 3));
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - lastAnswer);
    EXPECT_GE(took, STALE_AFTER - EARLY_MARGIN);
    EXPECT_LE(took, STALE_AFTER + TDravonPort::READ_TIMEOUT_MS * 1ms + SCHEDULING_MARGIN);
    EXPECT_EQ(run.Answered, 5);
    run.StopSim();
}

// The gateway goes away and comes back on the same address.
TEST(FaultRunsRestart, PollComesBackAfterTheGatewayRestarts) {
    FaultRun run({});
    ASSERT_TRUE(run.RunUntil([&run] { return run.Answered >= 3; }, FAULT_SHOWS_WITHIN));
    run.StopSim();
    const auto down = [&run] {
        return run.Errors.count(ERROR_REC) != 0 || run.Errors.count(ERROR_NOT_CONNECTED) != 0;
    };
    ASSERT_TRUE(run.RunUntil(down, FAULT_SHOWS_WITHIN));
    run.RunUntil([] { return false; }, 1000ms);
    run.RestartSim({});
    const Clock::time_point up = Clock::now();
    const int answeredBefore = run.Answered;
    ASSERT_TRUE(run.RunUntil([&] { return run.Answered > answeredBefore; },
                             ANSWERED_AGAIN_WITHIN + SCHEDULING_MARGIN + 2000ms));
    EXPECT_LE(std::chrono::duration_cast<milliseconds>(Clock::now() - up),
              ANSWERED_AGAIN_WITHIN + SCHEDULING_MARGIN);
    run.StopSim();
    ExpectOnlyServedValues(run, "restart");
}

// A gateway with saunas 1 and 2 only refuses every request for sauna 3: for 10 s the port keeps
// the one connection it opened and reports each refusal, the readings stay stale, and the poll
// set readdressed to sauna 1 shows its readings live within 2 s.
TEST(FaultRunsMissingSauna, RefusalsKeepTheOneConnection) {
    FaultRun run({"--units", "2"});
    run.RunUntil([] { return false; }, 10000ms);
    EXPECT_EQ(run.Answered, 0);
    EXPECT_EQ(run.Errors, std::set<TPortError>{ERROR_REC});
    EXPECT_TRUE(run.Port.StaleREG(REG_TEMP_ACT));
    run.Port.SetSlaveAddr(1);
    run.Port.Sockets->SetAddress(1);
    const Clock::time_point chosen = Clock::now();
    ASSERT_TRUE(run.RunUntil(
        [&run] { return !run.Port.StaleREG(REG_TEMP_ACT) && !run.Port.StaleBIT(BIT_LIGHT1); },
        2000ms + SCHEDULING_MARGIN));
    EXPECT_LE(Clock::now() - chosen, 2000ms + SCHEDULING_MARGIN);
    run.Sim().WaitForLine("no such line", 300ms); // takes in what the simulator reported
    const auto& lines = run.Sim().Lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& Line) {
                                return Line.find("connection from") != std::string::npos;
                            }),
              1);
    run.StopSim();
}

// Stray bytes before every answer: the port finds its footing at each answer, so every one is
// taken, nothing fails and only served values reach the image.
TEST(FaultRunsStrayBytes, EveryAnswerAfterTheStraysIsTaken) {
    FaultRun run({"--garbage", "7"});
    ASSERT_TRUE(run.RunUntil([&run] { return run.Answered >= 15; }, FAULT_SHOWS_WITHIN));
    EXPECT_TRUE(run.Errors.empty());
    run.StopSim();
    ExpectOnlyServedValues(run, "garbage");
}

} // namespace
