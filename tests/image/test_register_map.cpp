// The register map pinned to the controller's protocol as written out here, number by number,
// and the requests the poll set, the edit block and the commands put on the wire. The numbers
// below are the protocol's; they are deliberately not taken from the map the code uses, so that
// a changed number fails here even though the panel and the simulator would still agree.
#include "ModbusReplies.h"
#include "PollSetQueue.h"
#include "PortRig.h"
#include "SaunaREG.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TNumber {
    const char* Meaning; // in the protocol's words
    int Protocol;        // the number the protocol gives it
    int Map;             // the number the panel's map gives it
};

void ExpectNumbers(const std::vector<TNumber>& Numbers) {
    for (const TNumber& number : Numbers)
        EXPECT_EQ(number.Map, number.Protocol) << number.Meaning;
}

// The request PDUs (function, first, count or value) the port sends, as hexadecimal.
std::vector<std::string> PdusSent(const FakeTCPClient& Fake) {
    std::vector<std::string> pdus;
    for (const QByteArray& request : Fake.Written)
        pdus.push_back(Hex(request.mid(7)));
    return pdus;
}

} // namespace

TEST(RegisterMap, HoldingRegisters) {
    ExpectNumbers({
        {"holding register 2: command register, the panel writes command codes", 2, REG_COMMAND},
        {"holding register 14: temperature setpoint, tenths of a degree", 14, REG_TEMP_SET},
        {"holding register 15: measured temperature, tenths of a degree", 15, REG_TEMP_ACT},
        {"holding register 40: configuration type of the sauna", 40, REG_CONFIG_TYPE},
        {"holding register 41: aroma output fitted", 41, REG_AROMA_AVAIL},
        {"holding register 42: vent output fitted", 42, REG_VENT_AVAIL},
        {"holding register 43: light 2 output fitted", 43, REG_LIGHT2_AVAIL},
        {"holding register 46: heating mode 0 to 3", 46, REG_HEAT_MODE},
        {"holding register 55: work time setpoint, minutes", 55, REG_WORK_TIME_SET},
        {"holding register 100: controller model", 100, REG_CONTROLLER_TYPE},
        {"holding register 101: program version of the controller", 101, REG_FIRMWARE_VERSION},
        {"holding register 102: edit block, the value being edited", 102, REG_EDIT_VALUE},
        {"holding register 103: edit block, lowest allowed value", 103, REG_EDIT_MIN},
        {"holding register 104: edit block, highest allowed value", 104, REG_EDIT_MAX},
        {"holding register 107: edit block, step of the up and down buttons", 107, REG_EDIT_STEP},
        {"holding register 118: elapsed work time, minutes", 118, REG_WORK_TIMER},
    });
}

TEST(RegisterMap, Coils) {
    ExpectNumbers({
        {"coil 41: heater output on", 41, BIT_HEATER},
        {"coil 42: light 1 on", 42, BIT_LIGHT1},
        {"coil 43: light 2 on", 43, BIT_LIGHT2},
        {"coil 46: aroma on", 46, BIT_AROMA},
        {"coil 47: vent on", 47, BIT_VENT},
    });
}

TEST(RegisterMap, CommandCodes) {
    ExpectNumbers({
        {"command 11: change the heating mode", 11, CMD_HEAT_MODE},
        {"command 110: switch the heater on or off", 110, CMD_HEATER},
        {"command 111: switch light 1 on or off", 111, CMD_LIGHT1},
        {"command 112: switch light 2 on or off", 112, CMD_LIGHT2},
        {"command 115: switch aroma on or off", 115, CMD_AROMA},
        {"command 116: switch the vent on or off", 116, CMD_VENT},
        {"command 230: load the temperature setpoint into the edit block", 230, CMD_EDIT_TEMP},
        {"command 255: load the work time setpoint into the edit block", 255, CMD_EDIT_TIME},
        {"command 330: store the edit value as the temperature setpoint", 330, CMD_STORE_TEMP},
        {"command 331: store the edit value as the work time setpoint", 331, CMD_STORE_TIME},
    });
}

TEST(RegisterMap, ConfigurationTypesWithoutASelectableHeatingMode) {
    ExpectNumbers({
        {"configuration type 10: fixed heating mode", 10, CONFIG_TYPE_FIXED_A},
        {"configuration type 20: fixed heating mode", 20, CONFIG_TYPE_FIXED_B},
        {"configuration type 60: fixed heating mode", 60, CONFIG_TYPE_FIXED_C},
    });
}

TEST(RegisterMap, PollSetAndEditBlock) {
    const struct {
        const char* Meaning;
        bool Coils;
        int First;
        int Count;
    } pollSet[] = {
        {"holding registers 1 to 15", false, 1, 15},
        {"holding registers 40 to 65", false, 40, 26},
        {"holding registers 118 to 119", false, 118, 2},
        {"holding registers 100 to 101", false, 100, 2},
        {"coils 0 to 127", true, 0, 128},
    };
    ASSERT_EQ(std::size(POLL_SET), std::size(pollSet));
    for (std::size_t n = 0; n < std::size(pollSet); ++n) {
        EXPECT_EQ(POLL_SET[n].Coils, pollSet[n].Coils) << pollSet[n].Meaning;
        EXPECT_EQ(POLL_SET[n].First, pollSet[n].First) << pollSet[n].Meaning;
        EXPECT_EQ(POLL_SET[n].Count, pollSet[n].Count) << pollSet[n].Meaning;
    }
    ExpectNumbers({
        {"edit block: holding registers 102 to 108, first", 102, EDIT_BLOCK_FIRST},
        {"edit block: holding registers 102 to 108, count", 7, EDIT_BLOCK_COUNT},
    });
}

// The poll set, the edit block and a write of every command code as the port sends them.
TEST(RegisterMap, RequestsOnTheWire) {
    PortRig rig;
    TDravonSockets& sockets = *rig.Port->Sockets;
    QueuePollSet(sockets, 1);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(5));
    // Served round robin after the poll set's last block.
    sockets.AddReadRWBlock(1, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT, SOCKET_MODE_SINGLE);
    for (int code : {CMD_HEAT_MODE, CMD_HEATER, CMD_LIGHT1, CMD_LIGHT2, CMD_AROMA, CMD_VENT,
                     CMD_EDIT_TEMP, CMD_EDIT_TIME, CMD_STORE_TEMP, CMD_STORE_TIME})
        sockets.AddWriteRW(1, REG_COMMAND, code);
    ASSERT_TRUE(rig.TickUntilWritten(10));
    ASSERT_TRUE(rig.TickUntilWritten(16));
    EXPECT_EQ(PdusSent(*rig.Fake), (std::vector<std::string>{
                                       "03 00 01 00 0F", // read holding registers 1 to 15
                                       "03 00 28 00 1A", // read holding registers 40 to 65
                                       "03 00 76 00 02", // read holding registers 118 and 119
                                       "03 00 64 00 02", // read holding registers 100 and 101
                                       "01 00 00 00 80", // read coils 0 to 127
                                       "03 00 66 00 07", // read the edit block, 102 to 108
                                       "06 00 02 00 0B", // write 11 into register 2
                                       "06 00 02 00 6E", // 110
                                       "06 00 02 00 6F", // 111
                                       "06 00 02 00 70", // 112
                                       "06 00 02 00 73", // 115
                                       "06 00 02 00 74", // 116
                                       "06 00 02 00 E6", // 230
                                       "06 00 02 00 FF", // 255
                                       "06 00 02 01 4A", // 330
                                       "06 00 02 01 4B", // 331
                                   }));
}
