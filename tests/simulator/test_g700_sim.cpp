// The gateway simulator, judged from outside: each test starts the built program on a free
// loopback port and talks to it with libmodbus's client or with hand-made frames on a plain
// socket. The model tests at the end run one controller in-process with a chosen clock.
#include "G700SimProcess.h"
#include "SaunaREG.h"
#include "SimController.h"
#include "SimFaults.h"
#include "SimPresets.h"

#include <arpa/inet.h>
#include <modbus.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

namespace {
using namespace std::chrono_literals;
using std::chrono::milliseconds;
using std::chrono::steady_clock;

const std::string SIM = G700_SIM_PATH;
constexpr milliseconds LINE_TIMEOUT{2000};

const TControllerSetup& Preset(int Unit) {
    return CONTROLLER_SETUPS[static_cast<std::size_t>(Unit - FIRST_UNIT)];
}

milliseconds Since(steady_clock::time_point Start) {
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - Start);
}

// libmodbus's client connected to the simulator: the independent peer of these tests.
class TModbusClient {
public:
    explicit TModbusClient(int Port, milliseconds ResponseTimeout = 1000ms)
        : FCtx(modbus_new_tcp("127.0.0.1", Port), &modbus_free) {
        const auto Us =
            std::chrono::duration_cast<std::chrono::microseconds>(ResponseTimeout).count();
        modbus_set_response_timeout(FCtx.get(), static_cast<std::uint32_t>(Us / 1000000),
                                    static_cast<std::uint32_t>(Us % 1000000));
        if (modbus_connect(FCtx.get()) != 0)
            throw std::runtime_error("cannot connect to the simulator");
    }
    ~TModbusClient() { modbus_close(FCtx.get()); }

    modbus_t* On(int Unit) {
        modbus_set_slave(FCtx.get(), Unit);
        return FCtx.get();
    }

    std::vector<std::uint16_t> Registers(int Unit, int First, int Count) {
        std::vector<std::uint16_t> Regs(static_cast<std::size_t>(Count));
        if (modbus_read_registers(On(Unit), First, Count, Regs.data()) != Count)
            throw std::runtime_error("register read failed: " +
                                     std::string(modbus_strerror(errno)));
        return Regs;
    }
    std::uint16_t Register(int Unit, int Num) { return Registers(Unit, Num, 1)[0]; }

    std::vector<bool> Coils(int Unit, int First, int Count) {
        std::vector<std::uint8_t> Bits(static_cast<std::size_t>(Count));
        if (modbus_read_bits(On(Unit), First, Count, Bits.data()) != Count)
            throw std::runtime_error("coil read failed: " + std::string(modbus_strerror(errno)));
        return {Bits.begin(), Bits.end()};
    }
    bool Coil(int Unit, int Num) { return Coils(Unit, Num, 1)[0]; }

    void Write(int Unit, int Num, int Val) {
        if (modbus_write_register(On(Unit), Num, static_cast<std::uint16_t>(Val)) != 1)
            throw std::runtime_error("write failed: " + std::string(modbus_strerror(errno)));
    }

    // errno of a request that is meant to fail, 0 when it succeeded.
    int Failure(int Unit, const std::function<int(modbus_t*)>& Request) {
        errno = 0;
        return Request(On(Unit)) == -1 ? errno : 0;
    }

private:
    std::unique_ptr<modbus_t, decltype(&modbus_free)> FCtx;
};

using TFrameBytes = std::vector<std::uint8_t>;

// A plain TCP client for what libmodbus's client would hide: raw bytes, segments, closing.
class TRawClient {
public:
    explicit TRawClient(int Port) : FFd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in Addr{};
        Addr.sin_family = AF_INET;
        Addr.sin_port = htons(static_cast<std::uint16_t>(Port));
        inet_pton(AF_INET, "127.0.0.1", &Addr.sin_addr);
        if (connect(FFd, reinterpret_cast<const sockaddr*>(&Addr), sizeof Addr) != 0)
            throw std::runtime_error("cannot connect to the simulator");
    }
    ~TRawClient() { close(FFd); }

    void Send(const TFrameBytes& Bytes) {
        ASSERT_EQ(send(FFd, Bytes.data(), Bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(Bytes.size()));
    }

    // What one arrival brings (at most Max bytes), waiting up to Timeout for it; empty when
    // nothing came.
    TFrameBytes ReceiveOnce(milliseconds Timeout, std::size_t Max = 512) {
        pollfd Poll{FFd, POLLIN, 0};
        if (poll(&Poll, 1, static_cast<int>(Timeout.count())) <= 0)
            return {};
        TFrameBytes Bytes(Max);
        const ssize_t Got = recv(FFd, Bytes.data(), Max, 0);
        Bytes.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
        return Bytes;
    }

    // Everything that arrives until Count bytes are in or Timeout has passed.
    TFrameBytes Receive(std::size_t Count, milliseconds Timeout) {
        const auto Start = steady_clock::now();
        TFrameBytes All;
        while (All.size() < Count && Since(Start) < Timeout) {
            const TFrameBytes Part = ReceiveOnce(Timeout - Since(Start), Count - All.size());
            All.insert(All.end(), Part.begin(), Part.end());
        }
        return All;
    }

    // True when the peer closes the connection within Timeout.
    bool ClosedWithin(milliseconds Timeout) {
        pollfd Poll{FFd, POLLIN, 0};
        if (poll(&Poll, 1, static_cast<int>(Timeout.count())) <= 0)
            return false;
        std::uint8_t Byte;
        return recv(FFd, &Byte, 1, MSG_PEEK) == 0;
    }

private:
    int FFd;
};

TFrameBytes Request(std::uint16_t TransId, std::uint8_t Unit, std::uint8_t Function,
                    std::uint16_t Address, std::uint16_t Word, std::uint16_t Protocol = 0,
                    std::uint16_t LengthField = 6) {
    auto Hi = [](int V) { return static_cast<std::uint8_t>(V >> 8); };
    auto Lo = [](int V) { return static_cast<std::uint8_t>(V); };
    return {Hi(TransId), Lo(TransId), Hi(Protocol), Lo(Protocol), Hi(LengthField), Lo(LengthField),
            Unit,        Function,    Hi(Address),  Lo(Address),  Hi(Word),        Lo(Word)};
}

// The answer to Request(TransId, 1, 3, REG_CONTROLLER_TYPE, 2): unit 1's model and version.
TFrameBytes ModelAnswer(std::uint16_t TransId) {
    const TControllerSetup& One = Preset(1);
    return {static_cast<std::uint8_t>(TransId >> 8),
            static_cast<std::uint8_t>(TransId),
            0,
            0,
            0,
            7,
            1,
            3,
            4,
            static_cast<std::uint8_t>(One.ControllerType >> 8),
            static_cast<std::uint8_t>(One.ControllerType),
            static_cast<std::uint8_t>(One.FirmwareVersion >> 8),
            static_cast<std::uint8_t>(One.FirmwareVersion)};
}

TFrameBytes ExceptionAnswer(std::uint16_t TransId, std::uint8_t Unit, std::uint8_t Function,
                            std::uint8_t Code) {
    return {static_cast<std::uint8_t>(TransId >> 8),
            static_cast<std::uint8_t>(TransId),
            0,
            0,
            0,
            3,
            Unit,
            static_cast<std::uint8_t>(Function | 0x80),
            Code};
}

// A simulator running for one test, with libmodbus's client connected to it unless the test
// talks through a plain socket (the simulator serves one connection at a time).
class G700Sim : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& Args = {}, milliseconds ResponseTimeout = 1000ms) {
        StartWithoutClient(Args);
        Client = std::make_unique<TModbusClient>(Sim->Port(), ResponseTimeout);
    }
    void StartWithoutClient(const std::vector<std::string>& Args = {}) {
        Sim = std::make_unique<TG700SimProcess>(SIM, Args);
    }
    void TearDown() override {
        Client.reset();
        Sim.reset();
    }

    std::unique_ptr<TG700SimProcess> Sim;
    std::unique_ptr<TModbusClient> Client;
};

// --- Command line ---------------------------------------------------------------------------

TEST(G700SimCommandLine, HelpNamesEveryFlag) {
    const auto Run = TG700SimProcess::RunToEnd(SIM, {"--help"}, 3000ms);
    EXPECT_EQ(Run.ExitCode, 0);
    for (const char* Flag :
         {"--listen",         "--time-scale",     "--edit-delay",       "--log-served",
          "--delay",          "--late-every",     "--late-by",          "--drop-every",
          "--drop-chance",    "--seed",           "--exception-every",  "--close-after",
          "--split",          "--dribble",        "--double-every",     "--garbage",
          "--stall-after",    "--other-id-every", "--other-unit-every", "--other-protocol-every",
          "--zero-setpoints", "SIGUSR1"})
        EXPECT_NE(Run.Output.find(Flag), std::string::npos) << Flag;
}

TEST(G700SimCommandLine, RefusesAddressesBeyondLoopbackAndBadValues) {
    const std::vector<std::vector<std::string>> Cases{
        {"--listen", "192.0.2.1:0"}, {"--listen", "10.1.2.3:1502"},
        {"--listen", "localhost:0"}, {"--listen", "::1:0"},
        {"--listen", "127.0.0.1"},   {"--listen", "127.0.0.1:65536"},
        {"--time-scale", "0"},       {"--drop-every", "x"},
        {"--delay", "-5"},           {"--garbage"},
        {"--drop-chance", "0"},      {"--drop-chance", "101"},
        {"--dribble", "-1"},         {"--late-by", "0"},
        {"--log-served", "1"},       {"--bogus", "1"},
        {"--zero-setpoints", "1"},
    };
    for (const auto& Args : Cases) {
        const auto Run = TG700SimProcess::RunToEnd(SIM, Args, 3000ms);
        EXPECT_EQ(Run.ExitCode, 2) << Args[0] << " " << (Args.size() > 1 ? Args[1] : "");
        EXPECT_EQ(Run.Output.find("listening"), std::string::npos) << Run.Output;
    }
}

TEST(G700SimCommandLine, EndsCleanlyOnSigintAndSigterm) {
    for (const int Signal : {SIGINT, SIGTERM}) {
        TG700SimProcess Sim(SIM, {"--delay", "2000"});
        TRawClient Raw(Sim.Port());
        Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
        ASSERT_TRUE(Sim.WaitForLine("held back", LINE_TIMEOUT));
        // Even in the middle of a held-back answer.
        EXPECT_EQ(Sim.Stop(Signal, 3000ms), 0) << Signal;
        ASSERT_FALSE(Sim.Lines().empty());
        EXPECT_NE(Sim.Lines().back().find("stopped"), std::string::npos) << Sim.Lines().back();
    }
}

// --- The four controllers -------------------------------------------------------------------

TEST_F(G700Sim, EachUnitAnswersWithItsOwnController) {
    Start();
    std::set<int> Models, Versions, ConfigTypes, HeatModes, Fitted;
    int HottestRoom = 0;
    for (int Unit = FIRST_UNIT; Unit < FIRST_UNIT + UNIT_COUNT; ++Unit) {
        SCOPED_TRACE("unit " + std::to_string(Unit));
        const TControllerSetup& S = Preset(Unit);
        const auto Regs = Client->Registers(Unit, 0, TSimController::REG_COUNT);
        const auto Coils = Client->Coils(Unit, 0, TSimController::BIT_COUNT);
        EXPECT_EQ(Regs[REG_CONTROLLER_TYPE], S.ControllerType);
        EXPECT_EQ(Regs[REG_FIRMWARE_VERSION], S.FirmwareVersion);
        EXPECT_EQ(Regs[REG_CONFIG_TYPE], S.ConfigType);
        EXPECT_EQ(Regs[REG_HEAT_MODE], S.HeatMode);
        EXPECT_EQ(Regs[REG_LIGHT2_AVAIL], S.Light2Fitted ? 1 : 0);
        EXPECT_EQ(Regs[REG_AROMA_AVAIL], S.AromaFitted ? 1 : 0);
        EXPECT_EQ(Regs[REG_VENT_AVAIL], S.VentFitted ? 1 : 0);
        EXPECT_EQ(Regs[REG_TEMP_SET], S.TempSet);
        EXPECT_EQ(Regs[REG_WORK_TIME_SET], S.WorkTimeSet);
        EXPECT_EQ(Regs[REG_WORK_TIMER], S.WorkTimerStart);
        // At real speed the room moves a tenth of a degree in three seconds at most.
        EXPECT_NEAR(Regs[REG_TEMP_ACT], S.TempStart, 5);
        EXPECT_EQ(Coils[BIT_HEATER], S.HeaterOn);
        EXPECT_EQ(Coils[BIT_LIGHT1], S.Light1On);
        EXPECT_EQ(Coils[BIT_LIGHT2], S.Light2On);
        EXPECT_EQ(Coils[BIT_AROMA], S.AromaOn);
        EXPECT_EQ(Coils[BIT_VENT], S.VentOn);
        Models.insert(Regs[REG_CONTROLLER_TYPE]);
        Versions.insert(Regs[REG_FIRMWARE_VERSION]);
        ConfigTypes.insert(Regs[REG_CONFIG_TYPE]);
        HeatModes.insert(Regs[REG_HEAT_MODE]);
        Fitted.insert(Regs[REG_LIGHT2_AVAIL] * 4 + Regs[REG_AROMA_AVAIL] * 2 +
                      Regs[REG_VENT_AVAIL]);
        HottestRoom = std::max<int>(HottestRoom, Regs[REG_TEMP_ACT]);
    }
    // The four differ so that every branch of the panel's status view shows.
    EXPECT_EQ(Models.size(), 4u);
    EXPECT_EQ(Versions.size(), 4u);
    EXPECT_GE(HeatModes.size(), 3u);
    EXPECT_EQ(Fitted.size(), 4u);
    const std::set<int> KnownModels{0x21, 0x31, 0x32, 0x33, 0x41, 0x46};
    EXPECT_TRUE(
        std::any_of(Models.begin(), Models.end(), [&](int M) { return !KnownModels.count(M); }));
    const std::set<int> FixedModeTypes{CONFIG_TYPE_FIXED_A, CONFIG_TYPE_FIXED_B,
                                       CONFIG_TYPE_FIXED_C};
    EXPECT_TRUE(std::any_of(ConfigTypes.begin(), ConfigTypes.end(),
                            [&](int T) { return FixedModeTypes.count(T); }));
    EXPECT_TRUE(std::any_of(ConfigTypes.begin(), ConfigTypes.end(),
                            [&](int T) { return !FixedModeTypes.count(T); }));
    EXPECT_GT(HottestRoom, 1000);
}

// Units without a controller behind the gateway: by their number, or left out by --units.
TEST_F(G700Sim, UnitsWithoutAControllerGetTheGatewayException) {
    const struct {
        std::vector<std::string> Args;
        std::vector<int> Missing;
        int Fitted;
    } cases[] = {{{}, {0, 5, 247}, 4}, {{"--units", "2"}, {3, 4}, 2}};
    for (const auto& c : cases) {
        Start(c.Args);
        for (const int Unit : c.Missing) {
            EXPECT_EQ(Client->Failure(Unit,
                                      [](modbus_t* C) {
                                          std::uint16_t Reg;
                                          return modbus_read_registers(C, REG_CONTROLLER_TYPE, 1,
                                                                       &Reg);
                                      }),
                      EMBXGTAR)
                << Unit;
        }
        EXPECT_EQ(Client->Register(c.Fitted, REG_CONTROLLER_TYPE), Preset(c.Fitted).ControllerType);
    }
}

TEST_F(G700Sim, RequestsOutsideWhatItServesGetTheModbusException) {
    Start();
    std::uint16_t Regs[2];
    std::uint8_t Bits[2];
    const struct {
        const char* What;
        std::function<int(modbus_t*)> Request;
        int Errno;
    } Cases[] = {
        {"read input registers",
         [&](modbus_t* C) { return modbus_read_input_registers(C, 0, 1, Regs); }, EMBXILFUN},
        {"read discrete inputs", [&](modbus_t* C) { return modbus_read_input_bits(C, 0, 1, Bits); },
         EMBXILFUN},
        {"write one coil", [](modbus_t* C) { return modbus_write_bit(C, BIT_LIGHT1, 1); },
         EMBXILFUN},
        {"write registers",
         [&](modbus_t* C) { return modbus_write_registers(C, REG_COMMAND, 1, Regs); }, EMBXILFUN},
        {"registers across the end",
         [&](modbus_t* C) { return modbus_read_registers(C, 119, 2, Regs); }, EMBXILADD},
        {"register 120", [&](modbus_t* C) { return modbus_read_registers(C, 120, 1, Regs); },
         EMBXILADD},
        {"register 65535", [&](modbus_t* C) { return modbus_read_registers(C, 65535, 1, Regs); },
         EMBXILADD},
        {"coils across the end", [&](modbus_t* C) { return modbus_read_bits(C, 255, 2, Bits); },
         EMBXILADD},
        {"coil 256", [&](modbus_t* C) { return modbus_read_bits(C, 256, 1, Bits); }, EMBXILADD},
        {"write register 120", [](modbus_t* C) { return modbus_write_register(C, 120, 1); },
         EMBXILADD},
        {"write a measured value",
         [](modbus_t* C) { return modbus_write_register(C, REG_TEMP_SET, 500); }, EMBXILADD},
        {"write the edit limit",
         [](modbus_t* C) { return modbus_write_register(C, REG_EDIT_MAX, 500); }, EMBXILADD},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Client->Failure(2, Case.Request), Case.Errno) << Case.What;
    EXPECT_EQ(Client->Register(2, REG_TEMP_SET), Preset(2).TempSet);
}

TEST_F(G700Sim, HandMadeFramesGetTheirAnswersAndBadHeadersNone) {
    StartWithoutClient();
    TRawClient Raw(Sim->Port());
    const struct {
        const char* What;
        TFrameBytes Sent;
        TFrameBytes Expected; // empty: no answer at all
    } Cases[] = {
        {"no registers", Request(1, 1, 3, 0, 0),
         ExceptionAnswer(1, 1, 3, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE)},
        {"126 registers", Request(2, 1, 3, 0, 126),
         ExceptionAnswer(2, 1, 3, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE)},
        {"2001 coils", Request(3, 1, 1, 0, 2001),
         ExceptionAnswer(3, 1, 1, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE)},
        {"protocol identifier 1", Request(4, 1, 3, REG_CONTROLLER_TYPE, 2, 1), {}},
        {"length field 5", Request(5, 1, 3, REG_CONTROLLER_TYPE, 2, 0, 5), {}},
        {"well formed", Request(6, 1, 3, REG_CONTROLLER_TYPE, 2), ModelAnswer(6)},
    };
    for (const auto& Case : Cases) {
        Raw.Send(Case.Sent);
        const milliseconds Wait = Case.Expected.empty() ? 300ms : 1000ms;
        EXPECT_EQ(Raw.Receive(std::max<std::size_t>(Case.Expected.size(), 1), Wait), Case.Expected)
            << Case.What;
    }
    EXPECT_TRUE(
        Sim->WaitForLine("rejected without an answer: protocol identifier 1", LINE_TIMEOUT));
    EXPECT_TRUE(Sim->WaitForLine("rejected without an answer: length field 5", LINE_TIMEOUT));

    // A function libmodbus cannot frame is read to the end of its length field, so the stream
    // stays in step for the next request.
    TFrameBytes Unknown{0, 7, 0, 0, 0, 6, 1, 0x41, 1, 2, 3, 4};
    Raw.Send(Unknown);
    EXPECT_EQ(Raw.Receive(9, 1000ms),
              ExceptionAnswer(7, 1, 0x41, MODBUS_EXCEPTION_ILLEGAL_FUNCTION));
    Raw.Send(Request(8, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(8));
}

TEST_F(G700Sim, ServesOneConnectionAtATime) {
    Start();
    TRawClient Second(Sim->Port());
    Second.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_TRUE(Second.ReceiveOnce(300ms).empty());
    Client.reset();
    EXPECT_EQ(Second.Receive(13, 2000ms), ModelAnswer(1));
}

// --- Commands -------------------------------------------------------------------------------

// Every register and coil of the four units, except the room temperature and the work timer,
// which move with the clock.
using TSnapshot = std::map<std::string, int>;

TSnapshot Snapshot(TModbusClient& Client) {
    TSnapshot Values;
    for (int Unit = FIRST_UNIT; Unit < FIRST_UNIT + UNIT_COUNT; ++Unit) {
        const auto Regs = Client.Registers(Unit, 0, TSimController::REG_COUNT);
        const auto Coils = Client.Coils(Unit, 0, TSimController::BIT_COUNT);
        const std::string Prefix = "unit " + std::to_string(Unit);
        for (int Num = 0; Num < TSimController::REG_COUNT; ++Num)
            if (Num != REG_TEMP_ACT && Num != REG_WORK_TIMER)
                Values[Prefix + " register " + std::to_string(Num)] =
                    Regs[static_cast<std::size_t>(Num)];
        for (int Num = 0; Num < TSimController::BIT_COUNT; ++Num)
            Values[Prefix + " coil " + std::to_string(Num)] = Coils[static_cast<std::size_t>(Num)];
    }
    return Values;
}

std::vector<std::string> Changes(const TSnapshot& Before, const TSnapshot& After) {
    std::vector<std::string> Lines;
    for (const auto& [Name, Val] : After)
        if (Before.at(Name) != Val)
            Lines.push_back(Name + ": " + std::to_string(Before.at(Name)) + " -> " +
                            std::to_string(Val));
    return Lines;
}

TEST_F(G700Sim, EachCommandChangesOnlyItsOwnUnit) {
    Start();
    const struct {
        int Unit;
        int Command;
        std::vector<std::string> Expected;
    } Cases[] = {
        {1, CMD_HEATER, {"unit 1 coil 41: 0 -> 1"}},
        {2, CMD_LIGHT1, {"unit 2 coil 42: 1 -> 0"}},
        {1, CMD_LIGHT2, {"unit 1 coil 43: 0 -> 1"}},
        {2, CMD_LIGHT2, {}}, // not fitted
        {3, CMD_AROMA, {"unit 3 coil 46: 1 -> 0"}},
        {4, CMD_AROMA, {}}, // not fitted
        {2, CMD_VENT, {"unit 2 coil 47: 1 -> 0"}},
        {3, CMD_VENT, {}}, // not fitted
        {4, CMD_HEATER, {"unit 4 coil 41: 0 -> 1"}},
        {1, CMD_HEAT_MODE, {"unit 1 register 46: 0 -> 1"}},
        {3, CMD_HEAT_MODE, {"unit 3 register 46: 3 -> 0"}},
        {2, CMD_HEAT_MODE, {}}, // configuration type 20 fixes the mode
        {4, CMD_HEAT_MODE, {}}, // configuration type 10 fixes the mode
        {1, 999, {}},           // no such command
    };
    for (const auto& Case : Cases) {
        const TSnapshot Before = Snapshot(*Client);
        Client->Write(Case.Unit, REG_COMMAND, Case.Command);
        EXPECT_EQ(Changes(Before, Snapshot(*Client)), Case.Expected)
            << "unit " << Case.Unit << " command " << Case.Command;
    }
    EXPECT_TRUE(
        Sim->WaitForLine("unit 4: command 115 (aroma): ignored, aroma not fitted", LINE_TIMEOUT));
}

TEST_F(G700Sim, OutputCommandsSwitchBackAndForth) {
    Start();
    for (int Round = 0; Round < 4; ++Round) {
        EXPECT_EQ(Client->Coil(1, BIT_VENT), Round % 2 == 1) << Round;
        Client->Write(1, REG_COMMAND, CMD_VENT);
    }
}

TEST_F(G700Sim, HeatingModeStepsThroughFourModes) {
    Start();
    for (const int Expected : {1, 2, 3, 0, 1}) {
        Client->Write(1, REG_COMMAND, CMD_HEAT_MODE);
        EXPECT_EQ(Client->Register(1, REG_HEAT_MODE), Expected);
    }
}

TEST_F(G700Sim, SwitchingTheHeaterOnStartsTheWorkTimerAgain) {
    Start();
    ASSERT_EQ(Client->Register(2, REG_WORK_TIMER), Preset(2).WorkTimerStart);
    Client->Write(2, REG_COMMAND, CMD_HEATER);
    EXPECT_TRUE(Client->Coil(2, BIT_HEATER));
    EXPECT_EQ(Client->Register(2, REG_WORK_TIMER), 0);
}

// --- Setpoint editing -----------------------------------------------------------------------

TEST_F(G700Sim, EditBlockLoadsOnlyAfterTheControllerDelay) {
    constexpr milliseconds DELAY{400};
    Start({"--edit-delay", std::to_string(DELAY.count())});
    const struct {
        int Unit;
        int Command;
        int Setpoint;
        int Min, Max, Step;
    } Cases[] = {
        {1, CMD_EDIT_TEMP, REG_TEMP_SET, Preset(1).TempMin, Preset(1).TempMax, Preset(1).TempStep},
        {2, CMD_EDIT_TIME, REG_WORK_TIME_SET, Preset(2).WorkTimeMin, Preset(2).WorkTimeMax,
         Preset(2).WorkTimeStep},
        {3, CMD_EDIT_TEMP, REG_TEMP_SET, Preset(3).TempMin, Preset(3).TempMax, Preset(3).TempStep},
        {3, CMD_EDIT_TIME, REG_WORK_TIME_SET, Preset(3).WorkTimeMin, Preset(3).WorkTimeMax,
         Preset(3).WorkTimeStep},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE("unit " + std::to_string(Case.Unit) + " command " +
                     std::to_string(Case.Command));
        const int Setpoint = Client->Register(Case.Unit, Case.Setpoint);
        const auto Sent = steady_clock::now();
        Client->Write(Case.Unit, REG_COMMAND, Case.Command);
        auto Block = Client->Registers(Case.Unit, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT);
        // Only a read that came back before the delay could have passed must find it empty.
        if (Since(Sent) < DELAY) {
            EXPECT_EQ(Block, std::vector<std::uint16_t>(EDIT_BLOCK_COUNT, 0));
        }
        while (Block[0] == 0 && Since(Sent) < 3000ms) {
            std::this_thread::sleep_for(20ms);
            Block = Client->Registers(Case.Unit, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT);
        }
        EXPECT_GE(Since(Sent), DELAY);
        const std::vector<std::uint16_t> Loaded{static_cast<std::uint16_t>(Setpoint),
                                                static_cast<std::uint16_t>(Case.Min),
                                                static_cast<std::uint16_t>(Case.Max),
                                                0,
                                                0,
                                                static_cast<std::uint16_t>(Case.Step),
                                                0};
        EXPECT_EQ(Block, Loaded);
    }
}

// A new or reset controller: both setpoints 0, below their limits. A load brings the 0 with the
// limits and the step, and a value within the limits can be stored.
TEST_F(G700Sim, ZeroSetpointsStartEveryControllerBelowItsLimits) {
    Start({"--zero-setpoints", "--edit-delay", "100"});
    for (int Unit = 1; Unit <= 4; ++Unit) {
        EXPECT_EQ(Client->Register(Unit, REG_TEMP_SET), 0) << Unit;
        EXPECT_EQ(Client->Register(Unit, REG_WORK_TIME_SET), 0) << Unit;
    }
    const TControllerSetup& Two = Preset(2);
    Client->Write(2, REG_COMMAND, CMD_EDIT_TIME);
    const auto Sent = steady_clock::now();
    auto Block = Client->Registers(2, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT);
    while (Block[REG_EDIT_STEP - EDIT_BLOCK_FIRST] == 0 && Since(Sent) < 3000ms) {
        std::this_thread::sleep_for(20ms);
        Block = Client->Registers(2, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT);
    }
    const std::vector<std::uint16_t> Loaded{0,
                                            static_cast<std::uint16_t>(Two.WorkTimeMin),
                                            static_cast<std::uint16_t>(Two.WorkTimeMax),
                                            0,
                                            0,
                                            static_cast<std::uint16_t>(Two.WorkTimeStep),
                                            0};
    EXPECT_EQ(Block, Loaded);
    Client->Write(2, REG_EDIT_VALUE, Two.WorkTimeMin);
    Client->Write(2, REG_COMMAND, CMD_STORE_TIME);
    EXPECT_EQ(Client->Register(2, REG_WORK_TIME_SET), Two.WorkTimeMin);
    EXPECT_EQ(Client->Register(2, REG_TEMP_SET), 0);
}

TEST_F(G700Sim, StoreCommandsKeepTheSetpointWithinItsLimits) {
    Start();
    const struct {
        int Unit;
        int Command;
        int Setpoint;
        int Edited;
        int Stored;
    } Cases[] = {
        {1, CMD_STORE_TEMP, REG_TEMP_SET, 905, 905},
        {1, CMD_STORE_TEMP, REG_TEMP_SET, 1101, Preset(1).TempMax},
        {1, CMD_STORE_TEMP, REG_TEMP_SET, 100, Preset(1).TempMin},
        {3, CMD_STORE_TEMP, REG_TEMP_SET, 1150, 1150},
        {2, CMD_STORE_TIME, REG_WORK_TIME_SET, 125, 125},
        {2, CMD_STORE_TIME, REG_WORK_TIME_SET, 65535, Preset(2).WorkTimeMax},
        {4, CMD_STORE_TIME, REG_WORK_TIME_SET, 0, Preset(4).WorkTimeMin},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE("unit " + std::to_string(Case.Unit) + " stores " +
                     std::to_string(Case.Edited));
        const TSnapshot Before = Snapshot(*Client);
        Client->Write(Case.Unit, REG_EDIT_VALUE, Case.Edited);
        Client->Write(Case.Unit, REG_COMMAND, Case.Command);
        EXPECT_EQ(Client->Register(Case.Unit, Case.Setpoint), Case.Stored);
        EXPECT_EQ(Client->Register(Case.Unit, REG_EDIT_VALUE), Case.Stored);
        const std::string Unit = "unit " + std::to_string(Case.Unit);
        for (const std::string& Change : Changes(Before, Snapshot(*Client)))
            EXPECT_EQ(Change.rfind(Unit + " register ", 0), 0u) << Change;
    }
}

// --- The room -------------------------------------------------------------------------------

TEST_F(G700Sim, HeaterWarmsTheRoomUntilTheWorkTimeEndsThenItCools) {
    // An hour of model time per real second: unit 4 reaches its setpoint after 21 model
    // minutes, switches off at 60 and is back at ambient 84 minutes later.
    Start({"--time-scale", "3600"});
    const TControllerSetup& S = Preset(4);
    Client->Write(4, REG_COMMAND, CMD_HEATER);
    int LastTemp = S.TempStart, LastTimer = 0;
    const auto Start = steady_clock::now();
    while (Since(Start) < 4000ms) {
        const auto Regs = Client->Registers(4, REG_TEMP_ACT, REG_WORK_TIMER - REG_TEMP_ACT + 1);
        // Read after the registers, so that they were read while the heater was on.
        if (!Client->Coil(4, BIT_HEATER))
            break;
        const int Temp = Regs.front();
        const int Timer = Regs.back();
        EXPECT_GE(Temp, LastTemp);
        EXPECT_LE(Temp, S.TempSet);
        EXPECT_GE(Timer, LastTimer);
        LastTemp = Temp;
        LastTimer = Timer;
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_FALSE(Client->Coil(4, BIT_HEATER));
    EXPECT_EQ(Client->Register(4, REG_WORK_TIMER), S.WorkTimeSet);
    LastTemp = Client->Register(4, REG_TEMP_ACT);
    EXPECT_LE(LastTemp, S.TempSet);
    while (LastTemp > S.TempAmbient && Since(Start) < 8000ms) {
        std::this_thread::sleep_for(20ms);
        const int Temp = Client->Register(4, REG_TEMP_ACT);
        EXPECT_LE(Temp, LastTemp);
        LastTemp = Temp;
    }
    EXPECT_EQ(LastTemp, S.TempAmbient);
    EXPECT_TRUE(Sim->WaitForLine("unit 4: work time of 60 min reached, heater off", LINE_TIMEOUT));
}

// --- Faults ---------------------------------------------------------------------------------

TEST_F(G700Sim, DelayHoldsEachAnswerBackFromItsOwnRequest) {
    StartWithoutClient({"--delay", "600"});
    TRawClient Raw(Sim->Port());
    const auto FirstSent = steady_clock::now();
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    std::this_thread::sleep_for(100ms);
    const auto SecondSent = steady_clock::now();
    Raw.Send(Request(2, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 2000ms), ModelAnswer(1));
    EXPECT_GE(Since(FirstSent), 600ms);
    EXPECT_EQ(Raw.Receive(13, 2000ms), ModelAnswer(2));
    EXPECT_GE(Since(SecondSent), 600ms);
    // Not queued behind the first answer's delay, which would make it 1200 ms.
    EXPECT_LT(Since(FirstSent), 1100ms);
    EXPECT_TRUE(Sim->WaitForLine("fault: answer to request 2 held back 600 ms", LINE_TIMEOUT));
}

TEST_F(G700Sim, DropEveryActsOnTheRequestButSendsNoAnswer) {
    Start({"--drop-every", "3"}, 500ms);
    EXPECT_FALSE(Client->Coil(1, BIT_LIGHT1));
    EXPECT_EQ(Client->Register(1, REG_CONTROLLER_TYPE), Preset(1).ControllerType);
    EXPECT_EQ(Client->Failure(
                  1, [](modbus_t* C) { return modbus_write_register(C, REG_COMMAND, CMD_LIGHT1); }),
              ETIMEDOUT);
    EXPECT_TRUE(Client->Coil(1, BIT_LIGHT1));
    EXPECT_EQ(Client->Register(1, REG_CONTROLLER_TYPE), Preset(1).ControllerType);
    EXPECT_EQ(Client->Failure(1,
                              [](modbus_t* C) {
                                  std::uint16_t Reg;
                                  return modbus_read_registers(C, REG_CONTROLLER_TYPE, 1, &Reg);
                              }),
              ETIMEDOUT);
    EXPECT_TRUE(
        Sim->WaitForLine("fault: answer to request 3 (unit 1, function 6) dropped", LINE_TIMEOUT));
}

TEST_F(G700Sim, ExceptionEveryRefusesTheRequestWithoutActingOnIt) {
    Start({"--exception-every", "2"});
    EXPECT_FALSE(Client->Coil(1, BIT_LIGHT1));
    EXPECT_EQ(Client->Failure(
                  1, [](modbus_t* C) { return modbus_write_register(C, REG_COMMAND, CMD_LIGHT1); }),
              EMBXSFAIL);
    EXPECT_FALSE(Client->Coil(1, BIT_LIGHT1));
    EXPECT_EQ(Client->Failure(
                  1, [](modbus_t* C) { return modbus_write_register(C, REG_COMMAND, CMD_LIGHT1); }),
              EMBXSFAIL);
    EXPECT_TRUE(
        Sim->WaitForLine("fault: request 4 (unit 1, function 6) not acted on", LINE_TIMEOUT));
}

TEST_F(G700Sim, CloseAfterEndsEveryConnectionAfterItsNthRequest) {
    StartWithoutClient({"--close-after", "2"});
    for (int Connection = 1; Connection <= 2; ++Connection) {
        TRawClient Raw(Sim->Port());
        for (std::uint16_t Id = 1; Id <= 2; ++Id) {
            Raw.Send(Request(Id, 1, 3, REG_CONTROLLER_TYPE, 2));
            EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(Id)) << Connection;
        }
        EXPECT_TRUE(Raw.ClosedWithin(1000ms)) << Connection;
    }
    EXPECT_TRUE(Sim->WaitForLine("ended: fault: closed after 2 requests", LINE_TIMEOUT));
}

TEST_F(G700Sim, SplitSendsEachAnswerInTwoSegments) {
    StartWithoutClient({"--split", "300"});
    TRawClient Raw(Sim->Port());
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    const TFrameBytes Whole = ModelAnswer(1);
    const TFrameBytes First = Raw.ReceiveOnce(1000ms);
    EXPECT_EQ(First, TFrameBytes(Whole.begin(), Whole.begin() + Whole.size() / 2));
    const TFrameBytes Rest = Raw.Receive(Whole.size() - First.size(), 1000ms);
    TFrameBytes Joined = First;
    Joined.insert(Joined.end(), Rest.begin(), Rest.end());
    EXPECT_EQ(Joined, Whole);
    EXPECT_TRUE(Sim->WaitForLine("fault: answer to request 1 split into 6 + 7 bytes, 300 ms apart",
                                 LINE_TIMEOUT));
}

TEST_F(G700Sim, GarbageGoesOutJustBeforeEveryAnswer) {
    StartWithoutClient({"--garbage", "5"});
    TRawClient Raw(Sim->Port());
    for (std::uint16_t Id = 1; Id <= 2; ++Id) {
        Raw.Send(Request(Id, 1, 3, REG_CONTROLLER_TYPE, 2));
        TFrameBytes Expected = GarbageBytes(5);
        const TFrameBytes Answer = ModelAnswer(Id);
        Expected.insert(Expected.end(), Answer.begin(), Answer.end());
        EXPECT_EQ(Raw.Receive(Expected.size(), 1000ms), Expected);
    }
    EXPECT_TRUE(
        Sim->WaitForLine("fault: 5 garbage bytes before the answer to request 2", LINE_TIMEOUT));
}

TEST_F(G700Sim, StallAfterStopsAnsweringButKeepsTheConnectionOpen) {
    StartWithoutClient({"--stall-after", "1"});
    TRawClient Raw(Sim->Port());
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(1));
    for (std::uint16_t Id = 2; Id <= 3; ++Id) {
        Raw.Send(Request(Id, 1, 3, REG_CONTROLLER_TYPE, 2));
        EXPECT_FALSE(Raw.ClosedWithin(400ms));
        EXPECT_TRUE(Raw.ReceiveOnce(0ms).empty());
    }
    EXPECT_TRUE(
        Sim->WaitForLine("fault: request 3 not answered, stalled after 1 requests", LINE_TIMEOUT));
}

TEST_F(G700Sim, LateEveryHoldsEveryNthAnswerBackLongerThanATransaction) {
    StartWithoutClient({"--late-every", "2", "--late-by", "1200"});
    TRawClient Raw(Sim->Port());
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(1));
    const auto Sent = steady_clock::now();
    Raw.Send(Request(2, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 3000ms), ModelAnswer(2));
    EXPECT_GE(Since(Sent), 1200ms);
    EXPECT_TRUE(Sim->WaitForLine("fault: answer to request 2 held back 1200 ms", LINE_TIMEOUT));
}

TEST_F(G700Sim, DoubleEverySendsTheAnswerTwice) {
    StartWithoutClient({"--double-every", "1"});
    TRawClient Raw(Sim->Port());
    Raw.Send(Request(5, 1, 3, REG_CONTROLLER_TYPE, 2));
    TFrameBytes Twice = ModelAnswer(5);
    Twice.insert(Twice.end(), Twice.begin(), Twice.end());
    EXPECT_EQ(Raw.Receive(Twice.size(), 1000ms), Twice);
    EXPECT_TRUE(Raw.ReceiveOnce(200ms).empty());
    EXPECT_TRUE(Sim->WaitForLine("fault: answer to request 1 sent twice", LINE_TIMEOUT));
}

TEST_F(G700Sim, DribbleSendsTheAnswerOneByteAtATime) {
    StartWithoutClient({"--dribble", "60"});
    TRawClient Raw(Sim->Port());
    const auto Sent = steady_clock::now();
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    const TFrameBytes Whole = ModelAnswer(1);
    TFrameBytes Joined;
    while (Joined.size() < Whole.size() && Since(Sent) < 3000ms) {
        const TFrameBytes Piece = Raw.ReceiveOnce(1000ms);
        EXPECT_LE(Piece.size(), 1u);
        Joined.insert(Joined.end(), Piece.begin(), Piece.end());
    }
    EXPECT_EQ(Joined, Whole);
    EXPECT_GE(Since(Sent), 12 * 60ms);
    EXPECT_TRUE(Sim->WaitForLine("fault: answer to request 1 dribbled, 13 bytes 60 ms apart",
                                 LINE_TIMEOUT));
}

// Answers that look right but belong to another transaction, another unit or another protocol.
TEST_F(G700Sim, MisaddressedAnswers) {
    const TControllerSetup& Two = Preset(2);
    const TFrameBytes FromUnitTwo{0,
                                  1,
                                  0,
                                  0,
                                  0,
                                  7,
                                  2,
                                  3,
                                  4,
                                  static_cast<std::uint8_t>(Two.ControllerType >> 8),
                                  static_cast<std::uint8_t>(Two.ControllerType),
                                  static_cast<std::uint8_t>(Two.FirmwareVersion >> 8),
                                  static_cast<std::uint8_t>(Two.FirmwareVersion)};
    TFrameBytes OtherId = ModelAnswer(1);
    OtherId[0] = 0x80;
    TFrameBytes OtherProtocol = ModelAnswer(1);
    OtherProtocol[3] = 1;
    const struct {
        const char* Flag;
        TFrameBytes Expected;
        const char* Logged;
    } Cases[] = {
        {"--other-id-every", OtherId, "with transaction identifier 32769"},
        {"--other-unit-every", FromUnitTwo, "as unit 2"},
        {"--other-protocol-every", OtherProtocol, "with protocol identifier 1"},
    };
    for (const auto& Case : Cases) {
        TG700SimProcess Sim(SIM, {Case.Flag, "2"});
        TRawClient Raw(Sim.Port());
        Raw.Send(Request(7, 1, 3, REG_CONTROLLER_TYPE, 2));
        EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(7)) << Case.Flag;
        Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
        EXPECT_EQ(Raw.Receive(13, 1000ms), Case.Expected) << Case.Flag;
        EXPECT_TRUE(Sim.WaitForLine(Case.Logged, LINE_TIMEOUT)) << Case.Flag;
    }
}

// A write answered as another unit is still acted on by the unit it was sent to.
TEST_F(G700Sim, WriteAnsweredAsAnotherUnitSwitchesItsOwnUnit) {
    StartWithoutClient({"--other-unit-every", "1"});
    {
        TRawClient Raw(Sim->Port());
        Raw.Send(Request(3, 1, 6, REG_COMMAND, CMD_LIGHT1));
        TFrameBytes Echo = Request(3, 2, 6, REG_COMMAND, CMD_LIGHT1);
        EXPECT_EQ(Raw.Receive(12, 1000ms), Echo);
    }
    Sim->Signal(SIGUSR1);
    ASSERT_TRUE(Sim->WaitForLine("fault injection switched off", LINE_TIMEOUT));
    Client = std::make_unique<TModbusClient>(Sim->Port());
    EXPECT_TRUE(Client->Coil(1, BIT_LIGHT1));
    EXPECT_EQ(Client->Coil(2, BIT_LIGHT1), Preset(2).Light1On);
}

TEST_F(G700Sim, DropChanceDropsAtRandomTheSameWayForTheSameSeed) {
    std::vector<std::vector<bool>> Runs;
    for (const char* Seed : {"7", "7"}) {
        TG700SimProcess Sim(SIM, {"--drop-chance", "50", "--seed", Seed});
        TModbusClient Modbus(Sim.Port(), 150ms);
        std::vector<bool> Answered;
        for (int Request = 0; Request < 16; ++Request) {
            std::uint16_t Reg;
            Answered.push_back(modbus_read_registers(Modbus.On(1), REG_CONTROLLER_TYPE, 1, &Reg) ==
                               1);
        }
        Runs.push_back(Answered);
        EXPECT_TRUE(Sim.WaitForLine("answers dropped at random, 50 %", LINE_TIMEOUT));
    }
    const auto Count = std::count(Runs[0].begin(), Runs[0].end(), true);
    EXPECT_GT(Count, 0);
    EXPECT_LT(Count, 16);
    EXPECT_EQ(Runs[0], Runs[1]);
}

TEST_F(G700Sim, Sigusr1SwitchesTheFaultsOffAndSendsWhatWasHeldBack) {
    StartWithoutClient({"--stall-after", "1", "--garbage", "3", "--delay", "5000"});
    TRawClient Raw(Sim->Port());
    Raw.Send(Request(1, 1, 3, REG_CONTROLLER_TYPE, 2));
    Raw.Send(Request(2, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_TRUE(Raw.ReceiveOnce(300ms).empty());
    const auto Off = steady_clock::now();
    Sim->Signal(SIGUSR1);
    TFrameBytes HeldBack = GarbageBytes(3);
    const TFrameBytes First = ModelAnswer(1);
    HeldBack.insert(HeldBack.end(), First.begin(), First.end());
    EXPECT_EQ(Raw.Receive(HeldBack.size(), 1000ms), HeldBack);
    EXPECT_LT(Since(Off), 1000ms);
    ASSERT_TRUE(Sim->WaitForLine("fault injection switched off", LINE_TIMEOUT));
    Raw.Send(Request(3, 1, 3, REG_CONTROLLER_TYPE, 2));
    EXPECT_EQ(Raw.Receive(13, 1000ms), ModelAnswer(3));
}

TEST_F(G700Sim, LogServedNamesEveryValueOfEveryReadAnswer) {
    Start({"--log-served"});
    Client->Registers(1, REG_CONTROLLER_TYPE, 2);
    Client->Coils(2, 40, 8);
    Client->Write(1, REG_COMMAND, CMD_VENT);
    const TControllerSetup& One = Preset(1);
    EXPECT_TRUE(
        Sim->WaitForLine("served unit 1 registers 100: " + std::to_string(One.ControllerType) +
                             " " + std::to_string(One.FirmwareVersion),
                         LINE_TIMEOUT));
    // Unit 2: light 1 (42) and the vent (47) on.
    EXPECT_TRUE(Sim->WaitForLine("served unit 2 coils 40: 00100001", LINE_TIMEOUT));
    Sim->Stop(SIGTERM, 3000ms);
    EXPECT_EQ(std::count_if(
                  Sim->Lines().begin(), Sim->Lines().end(),
                  [](const std::string& Line) { return Line.find("served") != std::string::npos; }),
              2);
}

// --- The model, in-process ------------------------------------------------------------------

TSimTime ModelMinutes(int Minutes, int Seconds = 0) {
    return {{}, (Minutes * 60 + Seconds) * 1000LL};
}

class G700SimModel : public ::testing::Test {
protected:
    TSimController Make(int Unit, std::int64_t EditDelayMs = 300) {
        return TSimController(Preset(Unit), EditDelayMs, [](const std::string&) {});
    }
};

TEST_F(G700SimModel, RoomWarmsAtTheHeatingRateAndHoldsAtTheSetpoint) {
    TSimController Unit = Make(4); // 18.0 °C, setpoint 60.0 °C
    Unit.WriteREG(REG_COMMAND, CMD_HEATER, {});
    Unit.AdvanceTo(ModelMinutes(10));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 180 + 10 * TSimController::HEAT_RATE);
    Unit.AdvanceTo(ModelMinutes(21));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 600);
    Unit.AdvanceTo(ModelMinutes(50));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 600);
    EXPECT_EQ(Unit.ReadREG(REG_WORK_TIMER), 50);
}

TEST_F(G700SimModel, HeaterGoesOffExactlyAtTheSetWorkTime) {
    TSimController Unit = Make(4); // work time 60 min
    Unit.WriteREG(REG_COMMAND, CMD_HEATER, {});
    Unit.AdvanceTo(ModelMinutes(59, 59));
    EXPECT_TRUE(Unit.ReadBIT(BIT_HEATER));
    EXPECT_EQ(Unit.ReadREG(REG_WORK_TIMER), 59);
    Unit.AdvanceTo(ModelMinutes(60));
    EXPECT_FALSE(Unit.ReadBIT(BIT_HEATER));
    EXPECT_EQ(Unit.ReadREG(REG_WORK_TIMER), 60);
}

TEST_F(G700SimModel, LoweredSetpointCoolsTheRoomWhileTheHeaterStaysOn) {
    TSimController Unit = Make(3); // 101.2 °C heating toward 110.0 °C
    Unit.WriteREG(REG_EDIT_VALUE, 1000, {});
    Unit.WriteREG(REG_COMMAND, CMD_STORE_TEMP, {});
    Unit.AdvanceTo(ModelMinutes(1));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 1012 - TSimController::COOL_RATE);
    Unit.AdvanceTo(ModelMinutes(30));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 1000);
    EXPECT_TRUE(Unit.ReadBIT(BIT_HEATER));
}

TEST_F(G700SimModel, RoomCoolsToAmbientAndNoFurther) {
    TSimController Unit = Make(2); // 65.5 °C, heater off, ambient 22.0 °C
    Unit.AdvanceTo(ModelMinutes(10));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 655 - 10 * TSimController::COOL_RATE);
    Unit.AdvanceTo(ModelMinutes(500));
    EXPECT_EQ(Unit.ReadREG(REG_TEMP_ACT), 220);
}

TEST_F(G700SimModel, EditDelayRunsOnRealTimeWhateverTheModelClock) {
    TSimController Unit = Make(1, 300);
    Unit.WriteREG(REG_COMMAND, CMD_EDIT_TIME, {1000ms, 0});
    Unit.AdvanceTo({1299ms, 10LL * 3600 * 1000});
    EXPECT_EQ(Unit.ReadREG(REG_EDIT_VALUE), 0);
    Unit.AdvanceTo({1300ms, 10LL * 3600 * 1000});
    EXPECT_EQ(Unit.ReadREG(REG_EDIT_VALUE), Preset(1).WorkTimeSet);
}

// The delay is counted in the clock's full precision: a command taken 0.9 ms into a
// millisecond does not load the block 0.9 ms early.
TEST_F(G700SimModel, EditBlockNeverLoadsBeforeItsDelayHasPassed) {
    using std::chrono::microseconds;
    TSimController Unit = Make(2, 300);
    Unit.WriteREG(REG_COMMAND, CMD_EDIT_TEMP, {microseconds(1000900), 0});
    Unit.AdvanceTo({microseconds(1300899), 0});
    EXPECT_EQ(Unit.ReadREG(REG_EDIT_VALUE), 0);
    Unit.AdvanceTo({microseconds(1300900), 0});
    EXPECT_EQ(Unit.ReadREG(REG_EDIT_VALUE), Preset(2).TempSet);
}
} // namespace
