// The port with its real TCP client against the gateway simulator on loopback: the poll set,
// a command's round trip, and recovery from every fault the simulator can inject. The tick is
// driven directly; a connect or a read that waits lets real time pass, under the event loop,
// until it ends.
#include "DravonRTU.h"
#include "EventLoopWait.h"
#include "G700SimProcess.h"
#include "SaunaREG.h"
#include "SimPresets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int TICK_LIMIT = 600;
constexpr auto TIME_LIMIT = std::chrono::seconds(15);

struct EndToEnd {
    explicit EndToEnd(const std::vector<std::string>& SimFlags, std::uint8_t Unit)
        : Sim(G700_SIM_PATH, SimFlags) {
        Port.SetServerTCPIPNum(QStringLiteral("127.0.0.1"));
        Port.SetServerTCPPortNum(Sim.Port());
        Port.SetSlaveAddr(Unit);
        Port.SetSocketServerStart(true);
        for (const TPollBlock& block : POLL_SET) {
            if (block.Coils)
                Port.Sockets->AddReadRBBlock(Unit, block.First, block.Count, SOCKET_MODE_MULTI);
            else
                Port.Sockets->AddReadRWBlock(Unit, block.First, block.Count, SOCKET_MODE_MULTI);
        }
    }

    // Ticks until Done holds, at most TICK_LIMIT ticks and TIME_LIMIT of real time.
    bool TickUntil(const std::function<bool()>& Done) {
        const auto deadline = Clock::now() + TIME_LIMIT;
        for (int tick = 0; tick < TICK_LIMIT && Clock::now() < deadline; ++tick) {
            if (Done())
                return true;
            Port.SocketTimerTick();
            RunEventsUntil([this] { return Port.Waiting() == WAIT_NONE; }, TIME_LIMIT);
        }
        return Done();
    }

    // Every block of the poll set has been answered once more since the call.
    bool PollSetServedAgain() {
        std::vector<bool> seen(POLL_SET_SLOTS + 1, false);
        for (std::int32_t slot = 1; slot <= POLL_SET_SLOTS; ++slot)
            Port.Sockets->SetOnSocketEnd(slot, [&seen](std::int32_t Num) { seen[Num] = true; });
        const bool served = TickUntil([&seen] {
            return std::all_of(seen.begin() + 1, seen.end(), [](bool s) { return s; });
        });
        for (std::int32_t slot = 1; slot <= POLL_SET_SLOTS; ++slot)
            Port.Sockets->SetOnSocketEnd(slot, nullptr);
        return served;
    }

    // The simulator's output holds a line with Text (its output is read as it comes).
    bool SimLogged(const std::string& Text) {
        return Sim.WaitForLine(Text, std::chrono::milliseconds(300));
    }

    static constexpr std::int32_t POLL_SET_SLOTS = static_cast<std::int32_t>(std::size(POLL_SET));

    TG700SimProcess Sim;
    TDravonPort Port;
};

// The image holds what the simulator's controller of that unit was set up with.
void ExpectImageOf(const TSaunaMX& Image, int Unit) {
    const TControllerSetup& setup = CONTROLLER_SETUPS[Unit - FIRST_UNIT];
    EXPECT_EQ(Image.ReadTableREG(REG_CONTROLLER_TYPE), setup.ControllerType);
    EXPECT_EQ(Image.ReadTableREG(REG_FIRMWARE_VERSION), setup.FirmwareVersion);
    EXPECT_EQ(Image.ReadTableREG(REG_CONFIG_TYPE), setup.ConfigType);
    EXPECT_EQ(Image.ReadTableREG(REG_HEAT_MODE), setup.HeatMode);
    EXPECT_EQ(Image.ReadTableREG(REG_TEMP_SET), setup.TempSet);
    EXPECT_EQ(Image.ReadTableREG(REG_WORK_TIME_SET), setup.WorkTimeSet);
    EXPECT_EQ(Image.ReadTableREG(REG_LIGHT2_AVAIL) != 0, setup.Light2Fitted);
    EXPECT_EQ(Image.ReadTableREG(REG_AROMA_AVAIL) != 0, setup.AromaFitted);
    EXPECT_EQ(Image.ReadTableREG(REG_VENT_AVAIL) != 0, setup.VentFitted);
    EXPECT_EQ(Image.ReadTableBIT(BIT_LIGHT1), setup.Light1On);
    EXPECT_EQ(Image.ReadTableBIT(BIT_VENT), setup.VentOn);
}
} // namespace

TEST(EndToEnd, PollSetMirrorsTheSelectedUnit) {
    for (int unit : {1, 3}) {
        EndToEnd run({}, static_cast<std::uint8_t>(unit));
        ASSERT_TRUE(run.PollSetServedAgain()) << unit;
        ExpectImageOf(*run.Port.Sauna, unit);
        // Every frame the panel sent was a well-formed Modbus TCP request.
        EXPECT_FALSE(run.SimLogged("rejected")) << unit;
    }
}

TEST(EndToEnd, CommandSwitchesTheOutputAndThePollSetShowsIt) {
    EndToEnd run({}, 1);
    ASSERT_TRUE(run.PollSetServedAgain());
    ASSERT_FALSE(run.Port.Sauna->ReadTableBIT(BIT_LIGHT1));
    bool written = false;
    const std::int32_t slot = run.Port.Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    run.Port.Sockets->SetOnSocketEnd(slot, [&written](std::int32_t) { written = true; });
    ASSERT_TRUE(run.TickUntil([&written] { return written; }));
    ASSERT_TRUE(run.PollSetServedAgain());
    EXPECT_TRUE(run.Port.Sauna->ReadTableBIT(BIT_LIGHT1));
}

TEST(EndToEnd, SelectingAnotherUnitRedirectsThePollSet) {
    EndToEnd run({}, 1);
    ASSERT_TRUE(run.PollSetServedAgain());
    run.Port.SetSlaveAddr(4);
    run.Port.Sockets->SetAddress(4);
    // The request in flight at the switch still brings the first unit's answer.
    ASSERT_TRUE(run.PollSetServedAgain());
    ASSERT_TRUE(run.PollSetServedAgain());
    ExpectImageOf(*run.Port.Sauna, 4);
}

// Whatever the gateway does wrong, the port keeps going and the image ends up right: a fault
// never reaches the image as a wrong value.
TEST(EndToEnd, RecoversFromEveryInjectedFault) {
    const struct {
        std::vector<std::string> flags;
        const char* logged; // the simulator's own line for the fault it made
    } cases[] = {
        {{"--split", "20"}, "split into"},
        {{"--delay", "150"}, "held back"},
        {{"--drop-every", "3"}, "dropped"},
        {{"--exception-every", "3"}, "answered with exception"},
        {{"--close-after", "4"}, "closed after"},
        {{"--stall-after", "3"}, "stalled after"},
    };
    for (const auto& c : cases) {
        const std::string name = c.flags.front();
        EndToEnd run(c.flags, 3);
        ASSERT_TRUE(run.PollSetServedAgain()) << name;
        ASSERT_TRUE(run.PollSetServedAgain()) << name;
        ExpectImageOf(*run.Port.Sauna, 3);
        EXPECT_TRUE(run.SimLogged(c.logged)) << name;
        EXPECT_FALSE(run.SimLogged("rejected")) << name;
    }
}

// Bytes before every answer: the port finds each answer after them, so the image holds the
// unit's values and nothing of the noise.
TEST(EndToEnd, NoiseBeforeEveryAnswerIsSteppedOver) {
    EndToEnd run({"--garbage", "5"}, 3);
    int failures = 0;
    run.Port.OnError = [&failures](TPortStatus, TPortError ECode) {
        failures +=
            ECode != ERROR_NOT_CONNECTED ? 1 : 0; // the first request goes before the connect
    };
    ASSERT_TRUE(run.PollSetServedAgain());
    ASSERT_TRUE(run.PollSetServedAgain());
    ExpectImageOf(*run.Port.Sauna, 3);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(run.SimLogged("garbage"));
}
