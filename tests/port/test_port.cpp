#include "DravonRTU.h"
#include "FakeTCPClient.h"
#include "ModbusReplies.h"
#include "PollSetQueue.h"
#include "PortRig.h"
#include "SaunaREG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

std::vector<std::int32_t> FirstNumbersWritten(const FakeTCPClient& Fake, std::size_t From) {
    std::vector<std::int32_t> firsts;
    for (std::size_t n = From; n < Fake.Written.size(); ++n)
        firsts.push_back(FrameFirst(Fake.Written[n]));
    return firsts;
}

} // namespace

TEST(DravonPort, ConstructionValues) {
    PortRig rig;
    TDravonPort& port = *rig.Port;
    EXPECT_EQ(port.SlaveAddr(), 1);
    EXPECT_EQ(port.Status(), PORT_IDLE);
    EXPECT_EQ(port.ErrorCode(), NO_ERROR);
    EXPECT_EQ(port.TransID(), 0);
    EXPECT_FALSE(port.SocketServerStart());
    EXPECT_FALSE(port.SocketTimer->isActive());
    EXPECT_EQ(port.SocketTimer->interval(), 100);
    EXPECT_EQ(port.Sockets->Count(), 0);
    EXPECT_EQ(port.Sauna->ReadTableREG(REG_TEMP_ACT), 0);
    TDravonPort plain;
    EXPECT_TRUE(plain.ServerTCPIPNum().isEmpty());
    EXPECT_EQ(plain.ServerTCPPortNum(), 0);
    EXPECT_FALSE(plain.TCPClient->IsConnected());
}

TEST(DravonPort, StartEnablesTheTimer) {
    PortRig rig;
    rig.Port->Start();
    EXPECT_TRUE(rig.Port->SocketTimer->isActive());
}

TEST(DravonPort, StartDelayThenStoppedTicksOnlyReportStop) {
    PortRig rig;
    rig.Port->Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    for (int tick = 1; tick <= 20; ++tick)
        EXPECT_EQ(rig.Tick(), Events{}) << tick;
    for (int tick = 21; tick <= 40; ++tick)
        EXPECT_EQ(rig.Tick(), Events{"STOP"}) << tick;
    EXPECT_EQ(rig.Port->Status(), PORT_STOP);
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    EXPECT_TRUE(rig.Fake->Written.empty());
}

TEST(DravonPort, FirstDispatchFailsWithoutConnectionAndTheNextCheckConnects) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();

    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "ERROR"}));
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);

    EXPECT_EQ(rig.Tick(), (Events{"OnError NOT_CONNECTED", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    EXPECT_EQ(rig.Fake->Host, "127.0.0.1");
    EXPECT_EQ(rig.Fake->Port, 1502);
    ASSERT_EQ(rig.Fake->Written.size(), 1u);
    EXPECT_EQ(FrameFirst(rig.Fake->Written[0]), 40);
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_WAIT);
    EXPECT_EQ(rig.Port->Sockets->GetStatus(2), SOCKET_STATUS_RUN);
}

TEST(DravonPort, ReconnectCheckFallsOnEveryTenthRunningTick) {
    PortRig rig;
    rig.Fake->ConnectSucceeds = false;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    std::vector<int> checkTicks;
    for (int running = 1; running <= 35; ++running) {
        if (running == 5) {
            // Stopped ticks are not counted.
            rig.Port->SetSocketServerStart(false);
            for (int stopped = 0; stopped < 7; ++stopped)
                rig.Tick();
            rig.Port->SetSocketServerStart(true);
        }
        const int before = rig.Fake->ConnectCalls;
        rig.Tick();
        if (rig.Fake->ConnectCalls > before)
            checkTicks.push_back(running);
    }
    EXPECT_EQ(checkTicks, (std::vector<int>{2, 12, 22, 32}));
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
}

TEST(DravonPort, ReconnectCheckTreatsAFailedConnectedTestAsNotConnected) {
    PortRig rig;
    rig.StartConnected();
    rig.Fake->FailLinkTest = true;
    rig.Tick();
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    rig.Tick();
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
}

TEST(DravonPort, TCPConnectUsesTheLowSixteenBitsOfThePortAndReportsFailureQuietly) {
    PortRig rig;
    rig.Port->SetServerTCPPortNum(65536 + 1502);
    rig.Port->SetStatus(PORT_COMPLETE);
    rig.Port->TCPConnect();
    EXPECT_EQ(rig.Fake->Port, 1502);
    EXPECT_TRUE(rig.Fake->Connected());
    EXPECT_EQ(rig.Port->ErrorCode(), NO_ERROR);

    rig.Port->TCPConnect(); // already connected
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(rig.Port->Status(), PORT_COMPLETE);
    EXPECT_TRUE(rig.Raised.empty());
    EXPECT_TRUE(rig.Fake->Connected());
}

TEST(DravonPort, RequestFramesAndTheResponseLengthsTheyWaitFor) {
    const struct {
        const char* name;
        std::function<void(TDravonSockets&)> queue;
        std::int32_t transIdBefore;
        const char* request;
        std::size_t responseLength;
    } cases[] = {
        {"WriteRW(2, 111)", [](TDravonSockets& s) { s.AddWriteRW(1, 2, 111); }, 4,
         "00 05 00 00 00 06 01 06 00 02 00 6F", 12},
        {"ReadRW(40, 26)",
         [](TDravonSockets& s) { s.AddReadRWBlock(3, 40, 26, SOCKET_MODE_SINGLE); }, 9,
         "00 0A 00 00 00 06 03 03 00 28 00 1A", 61},
        {"ReadRB(0, 128)",
         [](TDravonSockets& s) { s.AddReadRBBlock(1, 0, 128, SOCKET_MODE_SINGLE); }, 255,
         "01 00 00 00 00 06 01 01 00 00 00 80", 25},
        {"ReadRB(0, 1)", [](TDravonSockets& s) { s.AddReadRBBlock(1, 0, 1, SOCKET_MODE_SINGLE); },
         0, "00 01 00 00 00 06 01 01 00 00 00 01", 10},
        {"ReadRB(0, 8)", [](TDravonSockets& s) { s.AddReadRBBlock(1, 0, 8, SOCKET_MODE_SINGLE); },
         0, "00 01 00 00 00 06 01 01 00 00 00 08", 10},
        {"ReadRB(0, 9)", [](TDravonSockets& s) { s.AddReadRBBlock(1, 0, 9, SOCKET_MODE_SINGLE); },
         0, "00 01 00 00 00 06 01 01 00 00 00 09", 11},
    };
    for (const auto& c : cases) {
        PortRig rig;
        c.queue(*rig.Port->Sockets);
        rig.Port->SetTransID(c.transIdBefore);
        rig.StartConnected();
        rig.Tick();
        ASSERT_EQ(rig.Fake->Written.size(), 1u) << c.name;
        EXPECT_EQ(Hex(rig.Fake->Written[0]), c.request) << c.name;
        EXPECT_EQ(rig.Port->TransCount(), 12) << c.name;
        // The answer one byte a millisecond, then more bytes: the read ends when the answer is
        // whole, and takes it as the answer of the length it waits for.
        const QByteArray reply = rig.ControllerReply() + QByteArray(20, '\xFF');
        EXPECT_EQ(rig.Tick(), Events{}) << c.name;
        for (int at = 0; at < reply.size(); ++at)
            rig.Fake->ArriveAfter(at + 1, reply.mid(at, 1));
        Events read;
        for (int ms = 0; ms < reply.size() && read.empty(); ++ms)
            read = rig.Arrive(1);
        EXPECT_EQ(read, Events{"REC"}) << c.name;
        EXPECT_EQ(static_cast<std::size_t>(reply.size()) - rig.Fake->ArrivalsLeft(),
                  c.responseLength)
            << c.name;
    }
}

TEST(DravonPort, DecodesCoilsLeastSignificantBitFirst) {
    PortRig rig;
    rig.Port->Sockets->AddReadRBBlock(1, 0, 128, SOCKET_MODE_MULTI);
    QByteArray data(16, '\0');
    data[5] = '\x86'; // coils 40 to 47
    rig.Fake->Responder = [&](const QByteArray& request) { return ReplyWithData(request, data); };
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(2));
    EXPECT_EQ(rig.Port->ReadRxBuffer(15), 0x86);
    const TSaunaMX& image = *rig.Port->Sauna;
    for (int coil : {41, 42, 47})
        EXPECT_TRUE(image.ReadTableBIT(coil)) << coil;
    for (int coil : {40, 43, 44, 45, 46})
        EXPECT_FALSE(image.ReadTableBIT(coil)) << coil;
    EXPECT_TRUE(image.ReadTableBIT(BIT_HEATER));
    EXPECT_TRUE(image.ReadTableBIT(BIT_LIGHT1));
    EXPECT_TRUE(image.ReadTableBIT(BIT_VENT));
    EXPECT_FALSE(image.ReadTableBIT(BIT_LIGHT2));
    EXPECT_FALSE(image.ReadTableBIT(BIT_AROMA));
}

TEST(DravonPort, WritesExactlyTheCoilsAsked) {
    PortRig rig;
    rig.Port->Sockets->AddReadRBBlock(1, 0, 10, SOCKET_MODE_MULTI);
    rig.Fake->Responder = [](const QByteArray& request) {
        return ReplyWithData(request, QByteArray(2, '\xFF'));
    };
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(2));
    for (int coil = 0; coil < 10; ++coil)
        EXPECT_TRUE(rig.Port->Sauna->ReadTableBIT(coil)) << coil;
    for (int coil = 10; coil < TSaunaMX::BIT_COUNT; ++coil)
        ASSERT_FALSE(rig.Port->Sauna->ReadTableBIT(coil)) << coil;
}

TEST(DravonPort, DecodesRegistersAsUnsignedBigEndianWords) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    QByteArray data(30, '\0');
    data[26] = '\xFF'; // register 14, positions 36 and 37
    data[27] = '\xFE';
    data[28] = '\x03'; // register 15, positions 38 and 39
    data[29] = '\x1B';
    rig.Fake->Responder = [&](const QByteArray& request) { return ReplyWithData(request, data); };
    rig.Port->Sauna->WriteTableREG(0, 9);
    rig.Port->Sauna->WriteTableREG(16, 9);
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(2));
    EXPECT_EQ(rig.Port->ReadRxBuffer(38), 0x03);
    EXPECT_EQ(rig.Port->ReadRxBuffer(39), 0x1B);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_SET), 65534);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(0), 9);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(16), 9);
}

TEST(DravonPort, OneTransactionEveryThreeTicksRoundRobin) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.AnswerFromController();
    rig.StartConnected();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "TRANS"}));
    for (int turn = 0; turn < 5; ++turn) {
        EXPECT_EQ(rig.Tick(), Events{"REC"}) << turn;
        EXPECT_EQ(rig.Tick(), Events{"COMPLETE"}) << turn;
        EXPECT_EQ(rig.Tick(), Events{"TRANS"}) << turn;
    }
    EXPECT_EQ(FirstNumbersWritten(*rig.Fake, 0),
              (std::vector<std::int32_t>{1, 40, 118, 100, 0, 1}));
}

TEST(DravonPort, PollSetFillsTheImage) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 855);
    rig.Controller.WriteTableREG(REG_CONFIG_TYPE, 20);
    rig.Controller.WriteTableREG(REG_WORK_TIMER, 90);
    rig.Controller.WriteTableREG(119, 65535);
    rig.Controller.WriteTableREG(REG_FIRMWARE_VERSION, 0x123);
    rig.Controller.WriteTableBIT(127, true);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(6));
    const TSaunaMX& image = *rig.Port->Sauna;
    EXPECT_EQ(image.ReadTableREG(REG_TEMP_ACT), 855);
    EXPECT_EQ(image.SaunaConfigType(), 0);
    EXPECT_EQ(image.ReadTableREG(REG_WORK_TIMER), 90);
    EXPECT_EQ(image.ReadTableREG(119), 65535);
    EXPECT_EQ(image.ReadTableREG(REG_FIRMWARE_VERSION), 0x123);
    EXPECT_TRUE(image.ReadTableBIT(127));
}

TEST(DravonPort, StopRequestedInFlightLetsTheTransactionEnd) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    int completed = 0;
    rig.Port->Sockets->SetOnSocketEnd(1, [&](std::int32_t) { ++completed; });
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.AnswerFromController();
    rig.StartConnected();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "TRANS"}));
    rig.Port->SetSocketServerStop(true);
    EXPECT_EQ(rig.Tick(), Events{"REC"});
    EXPECT_EQ(rig.Tick(), Events{"COMPLETE"});
    EXPECT_EQ(rig.Tick(), Events{});
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
    EXPECT_EQ(completed, 1);
    EXPECT_FALSE(rig.Port->SocketServerStart());
    EXPECT_FALSE(rig.Port->SocketServerStop());
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_WAIT);
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_EQ(rig.Tick(), Events{"STOP"});
    EXPECT_EQ(rig.Fake->Written.size(), 1u);
}

TEST(DravonPort, EmptyTableAfterSuccessIsQuiet) {
    PortRig rig;
    rig.Port->Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    rig.AnswerFromController();
    rig.StartConnected();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "TRANS"}));
    rig.Tick();
    rig.Tick();
    for (int tick = 0; tick < 4; ++tick)
        EXPECT_EQ(rig.Tick(), Events{}) << tick;
    EXPECT_EQ(rig.Port->Status(), PORT_COMPLETE);
    EXPECT_EQ(rig.Port->Sockets->Count(), 0);
    EXPECT_EQ(rig.Controller.ReadTableREG(REG_COMMAND), CMD_LIGHT1);

    rig.Port->Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT2);
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
}

TEST(DravonPort, EmptyTableAfterFailureReportsItEveryTick) {
    PortRig rig;
    rig.Port->Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    rig.StartConnected();
    rig.Fake->FailWrites = true;
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "ERROR"}));
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(rig.Tick(), (Events{"OnError TRANS", "ERROR"})) << tick;
    EXPECT_EQ(rig.Port->Sockets->Count(), 0);
}

TEST(DravonPort, FailedSingleShotIsDroppedAndCyclicWaitsForItsTurn) {
    PortRig rig;
    rig.Fake->ConnectSucceeds = false;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "ERROR"}));
    EXPECT_EQ(rig.Tick(), (Events{"OnError NOT_CONNECTED", "ERROR", "ERROR"}));
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_WAIT);
    EXPECT_EQ(rig.Port->Sockets->GetStatus(2), SOCKET_STATUS_RUN);
    EXPECT_EQ(rig.Tick(), (Events{"OnError NOT_CONNECTED", "ERROR", "ERROR"}));
    EXPECT_EQ(rig.Port->Sockets->GetMode(2), SOCKET_MODE_NONE);
    EXPECT_EQ(rig.Port->Sockets->Count(), 1);
    EXPECT_EQ(rig.Port->Sockets->ActiveSocket(), 1);
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_RUN);
}

TEST(DravonPort, RepeatedEditReadComesBackAfterThePollSet) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(5));
    TDravonSockets& sockets = *rig.Port->Sockets;
    const std::int32_t edit =
        sockets.AddReadRWBlock(1, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT, SOCKET_MODE_SINGLE);
    ASSERT_EQ(edit, 6);
    int editTurns = 0;
    sockets.SetOnSocketEnd(edit, [&](std::int32_t num) {
        EXPECT_EQ(num, edit);
        if (++editTurns == 1)
            sockets.RepeatActiveSocket();
    });
    ASSERT_TRUE(rig.TickUntilWritten(13));
    EXPECT_EQ(FirstNumbersWritten(*rig.Fake, 5),
              (std::vector<std::int32_t>{102, 1, 40, 118, 100, 0, 102, 1}));
    EXPECT_EQ(editTurns, 2);
    EXPECT_EQ(sockets.GetMode(edit), SOCKET_MODE_NONE);
}

TEST(DravonPort, EachRequestGoesToTheUnitItsSlotHolds) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(1));
    rig.Port->SetSlaveAddr(2);
    rig.Port->Sockets->SetAddress(2);
    rig.Port->Sockets->AddWriteRW(3, 2, 111);
    ASSERT_TRUE(rig.TickUntilWritten(7));
    EXPECT_EQ(FrameUnit(rig.Fake->Written[0]), 1);
    for (std::size_t n = 1; n < 7; ++n) {
        const std::uint8_t unit = FrameFunction(rig.Fake->Written[n]) == 6 ? 3 : 2;
        EXPECT_EQ(FrameUnit(rig.Fake->Written[n]), unit) << n;
    }
    // Sending a request for another unit leaves the sauna that new requests are made for.
    EXPECT_EQ(rig.Port->SlaveAddr(), 2);
}

TEST(DravonPort, SendAndReadFailuresAreReportedInTwoStages) {
    const struct {
        const char* name;
        std::function<void(FakeTCPClient&)> beforeSend;
        std::function<void(FakeTCPClient&)> beforeRead;
        TPortError code;
    } cases[] = {
        {"not connected at the send", [](FakeTCPClient& f) { f.SetConnected(false); }, nullptr,
         ERROR_NOT_CONNECTED},
        {"connected test fails before the send", [](FakeTCPClient& f) { f.FailLinkTest = true; },
         nullptr, ERROR_TRANS},
        {"write fails", [](FakeTCPClient& f) { f.FailWrites = true; }, nullptr, ERROR_TRANS},
        {"peer closed before the read", nullptr, [](FakeTCPClient& f) { f.ClosePeer(); },
         ERROR_NOT_CONNECTED},
        {"connected test fails before the read", nullptr,
         [](FakeTCPClient& f) { f.FailLinkTest = true; }, ERROR_NOT_CONNECTED},
        {"peer closes while the answer is awaited", nullptr,
         [](FakeTCPClient& f) { f.CloseAfter(150); }, ERROR_REC},
    };
    for (const auto& c : cases) {
        PortRig rig;
        rig.Port->SetRecID(77);
        rig.Port->WriteRxBuffer(1, 0xAA);
        rig.StartConnected();
        // Past the first reconnect check, so that no connect attempt rewrites the code.
        rig.Tick();
        rig.Tick();
        rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
        if (c.beforeSend)
            c.beforeSend(*rig.Fake);
        const Events dispatch = rig.Tick();
        if (c.beforeRead) {
            EXPECT_EQ(dispatch, (Events{"IDLE", "TRANS"})) << c.name;
            c.beforeRead(*rig.Fake);
            EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"}) << c.name;
            EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_COMPLETE) << c.name;
        } else {
            EXPECT_EQ(dispatch, (Events{"IDLE", "ERROR"})) << c.name;
        }
        EXPECT_EQ(rig.Port->ErrorCode(), c.code) << c.name;
        EXPECT_EQ(rig.Port->RecID(), 77) << c.name;
        EXPECT_EQ(rig.Port->ReadRxBuffer(1), 0xAA) << c.name;
        const Events next = rig.Tick();
        ASSERT_GE(next.size(), 2u) << c.name;
        EXPECT_EQ(next[0], "OnError " + ErrorName(c.code)) << c.name;
        EXPECT_EQ(next[1], "ERROR") << c.name;
    }
}

TEST(DravonPort, BufferPositionsOutsideOneToHundredReadZeroAndIgnoreWrites) {
    PortRig rig;
    TDravonPort& port = *rig.Port;
    for (std::int32_t pos : {-1, 0, 101}) {
        port.WriteTxBuffer(pos, 0x55);
        port.WriteRxBuffer(pos, 0x55);
        EXPECT_EQ(port.ReadTxBuffer(pos), 0) << pos;
        EXPECT_EQ(port.ReadRxBuffer(pos), 0) << pos;
    }
    port.WriteTxBuffer(100, 0x55);
    port.WriteRxBuffer(1, 0x66);
    EXPECT_EQ(port.ReadTxBuffer(100), 0x55);
    EXPECT_EQ(port.ReadRxBuffer(1), 0x66);
    EXPECT_EQ(port.ReadTxBuffer(99), 0);
}

// An answer is judged against its request before it is decoded: one that does not match it in
// every field but the unit fails the transaction in the read, and the failure is reported
// although another slot waits.
// The transaction identifier pairs the answer with its request: a gateway that puts another
// unit identifier into its answers is still answering, as libmodbus takes it.
TEST(DravonPortChecks, AnAnswerWithAnotherUnitIdentifierIsAccepted) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.Fake->Responder = [&rig](const QByteArray& request) {
        return WithByte(ReplyFromController(rig.Controller, request), 6, 0xFF);
    };
    rig.StartConnected();
    for (int tick = 0; tick < 30; ++tick) {
        const Events events = rig.Tick();
        EXPECT_EQ(std::count(events.begin(), events.end(), "OnError REC"), 0) << tick;
    }
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
    EXPECT_EQ(rig.Fake->DisconnectCalls, 0);
}

// A gateway refuses every request for unit 3 with exception 11, as for a sauna that is not
// fitted, and answers unit 1: each refusal is reported, nothing of it is decoded, the link is
// never dropped, and unit 1's values keep coming.
TEST(DravonPortChecks, ExceptionAnswersFailTheirRequestAndKeepTheLink) {
    PortRig rig;
    TDravonSockets& sockets = *rig.Port->Sockets;
    sockets.AddReadRWBlock(3, 1, 15, SOCKET_MODE_MULTI);
    sockets.AddReadRBBlock(3, 0, 128, SOCKET_MODE_MULTI);
    sockets.AddReadRWBlock(3, 40, 15, SOCKET_MODE_MULTI);
    sockets.AddReadRWBlock(1, 65, 10, SOCKET_MODE_MULTI);
    rig.Controller.WriteTableREG(66, 0x41);
    rig.Fake->Responder = [&rig](const QByteArray& request) {
        return FrameUnit(request) == 3 ? ReplyException(request, 11)
                                       : ReplyFromController(rig.Controller, request);
    };
    rig.StartConnected();
    int refusals = 0;
    for (int tick = 0; tick < 120; ++tick) {
        rig.Tick();
        refusals +=
            static_cast<int>(std::count(rig.Raised.begin(), rig.Raised.end(), "OnError REC"));
        if (tick == 60)
            rig.Controller.WriteTableREG(66, 0x42);
    }
    EXPECT_EQ(rig.Fake->DisconnectCalls, 0);
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    EXPECT_GE(refusals, 25); // three of every four transactions of 3 ticks
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(66), 0x42);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 0);
    EXPECT_FALSE(rig.Port->StaleREG(66));
    EXPECT_TRUE(rig.Port->StaleREG(REG_TEMP_ACT));
}

TEST(DravonPortChecks, MismatchedAnswersAreNotDecoded) {
    const struct {
        const char* name;
        bool write;
        std::function<QByteArray(const QByteArray& good, const QByteArray& request)> reply;
    } cases[] = {
        {"exception answer to a read", false,
         [](const QByteArray&, const QByteArray& r) { return ReplyException(r, 2); }},
        {"exception answer to a write", true,
         [](const QByteArray&, const QByteArray& r) { return ReplyException(r, 4); }},
        {"answer to another function", false,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 7, 4); }},
        {"protocol identifier 1", false,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 3, 1); }},
        {"length field one more than the answer", false,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 5, 34); }},
        {"length field one less than the answer", false,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 5, 32); }},
        {"byte count not the count asked", false,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 8, 28); }},
        {"fewer registers than asked", false,
         [](const QByteArray&, const QByteArray& r) {
             return ReplyRegisters(r, std::vector<std::int32_t>(14, 0x1234));
         }},
        {"short answer", false,
         [](const QByteArray& good, const QByteArray&) { return good.left(good.size() - 2); }},
        {"write echo cut short", true,
         [](const QByteArray& good, const QByteArray&) { return good.left(10); }},
        {"write echo with another value", true,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 11, 112); }},
        {"write echo of another register", true,
         [](const QByteArray& good, const QByteArray&) { return WithByte(good, 9, 3); }},
    };
    for (const auto& c : cases) {
        PortRig rig;
        TDravonSockets& sockets = *rig.Port->Sockets;
        const std::int32_t num = c.write ? sockets.AddWriteRW(1, REG_COMMAND, CMD_LIGHT1)
                                         : sockets.AddReadRWBlock(1, 1, 15, SOCKET_MODE_SINGLE);
        sockets.AddReadRBBlock(1, 0, 128, SOCKET_MODE_MULTI);
        bool called = false;
        sockets.SetOnSocketEnd(num, [&](std::int32_t) { called = true; });
        for (int reg = 1; reg <= 15; ++reg)
            rig.Controller.WriteTableREG(reg, 0x1234);
        rig.Port->Sauna->WriteTableREG(REG_COMMAND, 7);
        rig.StartConnected();
        rig.Tick();
        const QByteArray& request = rig.Fake->Written.back();
        rig.Fake->Hold(c.reply(ReplyFromController(rig.Controller, request), request));
        EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"}) << c.name;
        EXPECT_EQ(rig.Port->ErrorCode(), ERROR_REC) << c.name;
        EXPECT_EQ(rig.Tick(), (Events{"OnError REC", "ERROR", "TRANS"})) << c.name;
        EXPECT_FALSE(called) << c.name;
        EXPECT_EQ(sockets.GetMode(num), SOCKET_MODE_NONE) << c.name;
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_COMMAND), 7) << c.name;
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 0) << c.name;
    }
}

TEST(DravonPortChecks, ExceptionAnswerEndsTheReadWithoutWaiting) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_SINGLE);
    rig.StartConnected();
    rig.Tick();
    rig.Fake->Hold(ReplyException(rig.Fake->Written.back(), 2));
    EXPECT_EQ(rig.Tick(), Events{"ERROR"});
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_REC);
    EXPECT_EQ(rig.Port->ReadRxBuffer(8), 0x83);
}

// A failure never starts the identifiers again, nor does the port's own reconnect: a late
// answer could otherwise match a later request of the same identifier.
TEST(DravonPortChecks, IdentifiersOnlyMoveForwardAcrossEveryKindOfFailure) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddReadRWBlock(1, 100, 2, SOCKET_MODE_MULTI);
    rig.StartConnected();
    const std::vector<std::function<void()>> answers{
        [&] {},                                                               // nothing
        [&] { rig.Fake->Hold(ReplyException(rig.Fake->Written.back(), 4)); }, // exception
        [&] { rig.Fake->Hold(ReplyFromController(rig.Controller, rig.Fake->Written[0])); },
        [&] { rig.Fake->Hold(rig.ControllerReply().left(9)); }, // a part
        [&] { rig.Fake->Hold(rig.ControllerReply()); },         // right
        [&] { rig.Fake->CloseAfter(150); },                     // closed while waiting
        [&] { rig.Fake->Hold(rig.ControllerReply()); },         // right, after the reconnect
    };
    for (const auto& answer : answers) {
        ASSERT_TRUE(rig.TickUntilWritten(rig.Fake->Written.size() + 1));
        answer();
        rig.TickUntilReadEnds();
    }
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    ASSERT_EQ(rig.Fake->Written.size(), answers.size());
    for (std::size_t n = 1; n < rig.Fake->Written.size(); ++n)
        EXPECT_GT(FrameID(rig.Fake->Written[n]), FrameID(rig.Fake->Written[n - 1])) << n;
}

// TCP may split a response: the read collects it whole.
// Stray bytes where a gateway's stream should hold only frames: the port finds its footing at
// the next place the awaited answer could begin, so every whole answer is taken, nothing of the
// strays is decoded, and only a transaction that got strays and no answer fails.
TEST(DravonPortFrames, StrayBytesCostNoWholeAnswer) {
    enum TWhere { BEFORE, AFTER, BETWEEN, INSTEAD };
    const struct {
        const char* name;
        int count;
        TWhere where;
    } cases[] = {
        {"1 before", 1, BEFORE},       {"7 before", 7, BEFORE},
        {"300 before", 300, BEFORE},   {"1 after", 1, AFTER},
        {"7 after", 7, AFTER},         {"300 after", 300, AFTER},
        {"1 between", 1, BETWEEN},     {"7 between", 7, BETWEEN},
        {"300 between", 300, BETWEEN}, {"7 instead of every fourth", 7, INSTEAD},
    };
    for (const auto& c : cases) {
        PortRig rig;
        const std::int32_t slot = rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
        int accepted = 0;
        rig.Port->Sockets->SetOnSocketEnd(slot, [&accepted](std::int32_t) { ++accepted; });
        // Strays of every kind: zeros, headers cut short, bytes above 0x7F.
        QByteArray strays;
        for (int k = 0; k < c.count; ++k)
            strays.append(static_cast<char>(k % 5 == 0 ? 0 : (0xA5 ^ (k * 37)) & 0xFF));
        int requests = 0;
        rig.Fake->Responder = [&](const QByteArray& request) {
            ++requests;
            rig.Controller.WriteTableREG(REG_TEMP_ACT, 700 + requests);
            const QByteArray answer = ReplyFromController(rig.Controller, request);
            switch (c.where) {
            case BEFORE:
                return strays + answer;
            case AFTER:
                return answer + strays;
            case BETWEEN:
                return answer + strays + answer; // the copy is a frame of a finished transaction
            case INSTEAD:
                return requests % 4 == 0 ? strays : answer;
            }
            return answer;
        };
        rig.StartConnected();
        int failures = 0;
        // Twelve requests and the outcome of the twelfth; a read given strays alone waits out
        // its second.
        for (int tick = 0; tick < 200 && (requests <= 12 || rig.Port->Waiting() != WAIT_NONE);
             ++tick) {
            const Events events = rig.Tick();
            failures += static_cast<int>(
                std::count_if(events.begin(), events.end(),
                              [](const std::string& e) { return e.rfind("OnError", 0) == 0; }));
            // Only values some answer carried ever reach the image.
            const std::int32_t temp = rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT);
            EXPECT_TRUE(temp == 0 || (temp > 700 && temp <= 700 + requests))
                << c.name << " " << temp;
        }
        const int refused = c.where == INSTEAD ? requests / 4 : 0;
        EXPECT_EQ(failures, refused) << c.name;
        EXPECT_GE(accepted, requests - refused - 1) << c.name; // the last may be in flight
        EXPECT_GE(requests, 10) << c.name;
        EXPECT_EQ(rig.Fake->DisconnectCalls, 0) << c.name;
    }
}

TEST(DravonPortFrames, SplitResponseIsCollectedByOneRead) {
    for (int cut : {1, 2, 9, 20, 30}) {
        PortRig rig;
        rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
        rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
        rig.StartConnected();
        rig.Tick();
        const QByteArray reply = rig.ControllerReply();
        rig.Fake->ArriveAfter(150, reply.left(cut));
        rig.Fake->ArriveAfter(250, reply.mid(cut, 5));
        rig.Fake->ArriveAfter(350, reply.mid(cut + 5));
        EXPECT_EQ(rig.Tick(), Events{}) << cut; // nothing yet: the read waits
        EXPECT_EQ(rig.Tick(), Events{}) << cut;
        EXPECT_EQ(rig.Tick(), Events{}) << cut;
        EXPECT_EQ(rig.Tick(), Events{"REC"}) << cut;
        EXPECT_EQ(rig.Fake->ArrivalsLeft(), 0u) << cut;
        rig.Tick();
        EXPECT_EQ(rig.Tick(), Events{"TRANS"}) << cut;
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795) << cut;
    }
}

// The copy of a doubled answer is a frame of a transaction already served: the next read
// skips it and takes its own answer.
TEST(DravonPortFrames, DoubledAnswerUsesTheFirstAndSkipsTheCopy) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.StartConnected();
    rig.Tick();
    const QByteArray reply = rig.ControllerReply();
    rig.Fake->Hold(reply + reply);
    EXPECT_EQ(rig.Tick(), Events{"REC"});
    EXPECT_EQ(rig.Fake->HeldBytes(), 0);
    EXPECT_EQ(rig.Port->RecID(), 1);
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 800);
    rig.Fake->Hold(rig.ControllerReply());
    EXPECT_EQ(rig.Tick(), Events{"REC"});
    EXPECT_EQ(rig.Port->RecID(), 2);
    EXPECT_EQ(rig.Port->StaleFrames(), 1);
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 800);
}

TEST(DravonPortFrames, NothingIsWrittenPastTheEndOfTheBuffer) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 0, 46, SOCKET_MODE_MULTI);
    for (int reg = 0; reg < 46; ++reg)
        rig.Controller.WriteTableREG(reg, 0x0100 + reg);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(2));
    EXPECT_EQ(rig.Port->ReadRxBuffer(100), 0x01);
    for (int reg = 0; reg < 45; ++reg)
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(reg), 0x0100 + reg) << reg;
}

// A read that brings nothing is a time-out, reported one second after the read began. The ticks
// meanwhile only look at the read.
TEST(DravonPortTimeouts, ATimeoutIsReportedOneSecondAfterTheReadBegan) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddReadRBBlock(1, 0, 128, SOCKET_MODE_MULTI);
    rig.Port->SetRecID(77);
    rig.Port->WriteRxBuffer(1, 0xAA);
    rig.StartConnected();
    rig.Tick();
    for (int waited = 0; waited < 1000; waited += 100) {
        EXPECT_EQ(rig.Tick(), Events{}) << waited;
        EXPECT_EQ(rig.Port->Waiting(), WAIT_READ) << waited;
    }
    EXPECT_EQ(rig.Tick(), Events{"ERROR"});
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_TIMEOUT);
    EXPECT_EQ(rig.Port->RecID(), 77);
    EXPECT_EQ(rig.Port->ReadRxBuffer(1), 0xAA);
    EXPECT_EQ(rig.Tick(), (Events{"OnError TIMEOUT", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_WAIT);
}

// Bytes that arrive between ticks end the read at once, and a frame of another transaction
// 900 ms into the read does not give it a second more: it ends 1000 ms after it began.
TEST(DravonPortTimeouts, TheReadsDeadlineIsCountedFromItsStartWhateverArrives) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.StartConnected();
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{}); // the read begins and waits
    rig.Fake->ArriveAfter(40, rig.ControllerReply());
    EXPECT_EQ(rig.Arrive(39), Events{});
    EXPECT_EQ(rig.Arrive(1), Events{"REC"});

    rig.Tick();
    rig.Tick(); // the next request goes out
    EXPECT_EQ(rig.Tick(), Events{});
    const QByteArray request = rig.Fake->Written.back();
    const QByteArray other = WithByte(request, 1, static_cast<std::uint8_t>(request[1] + 7));
    rig.Fake->ArriveAfter(900, ReplyFromController(rig.Controller, other));
    EXPECT_EQ(rig.Arrive(900), Events{});
    EXPECT_EQ(rig.Port->StaleFrames(), 1);
    EXPECT_EQ(rig.Arrive(99), Events{});
    EXPECT_EQ(rig.Arrive(1), Events{"ERROR"});
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_ID);
}

// Three failed transactions in a row drop the connection; the reconnect check comes on the
// tenth running tick, and the ticks that only looked at a waiting read are not counted.
TEST(DravonPortTimeouts, ThreeInARowDropTheConnectionAndTheCheckReconnects) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.StartConnected();
    // Running ticks 1 to 6: three transactions, each dispatched and timed out.
    for (int transaction = 1; transaction <= 3; ++transaction) {
        EXPECT_EQ(rig.Tick().back(), "TRANS") << transaction;
        EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"}) << transaction;
    }
    EXPECT_EQ(rig.Fake->DisconnectCalls, 1);
    EXPECT_FALSE(rig.Fake->Connected());
    EXPECT_EQ(rig.Tick(), (Events{"OnError TIMEOUT", "ERROR", "ERROR"}));
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    for (int running = 8; running <= 11; ++running)
        rig.Tick();
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    EXPECT_EQ(rig.Tick(), (Events{"OnError NOT_CONNECTED", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
}

TEST(DravonPortTimeouts, AnAnswerBreaksTheRow) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.StartConnected();
    const bool answered[] = {false, false, true, false, false};
    std::size_t requests = 0;
    for (bool answer : answered) {
        ASSERT_TRUE(rig.TickUntilWritten(++requests));
        if (answer)
            rig.Fake->Hold(rig.ControllerReply());
        rig.TickUntilReadEnds();
        EXPECT_EQ(rig.Port->ErrorCode(), answer ? NO_ERROR : ERROR_TIMEOUT);
    }
    EXPECT_EQ(rig.Fake->DisconnectCalls, 0);
    EXPECT_TRUE(rig.Fake->Connected());
}

TEST(DravonPortTimeouts, AFreshConnectionStartsAFreshRow) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.StartConnected();
    for (int timeout = 0; timeout < 2; ++timeout) {
        rig.Tick();
        rig.TickUntilReadEnds();
    }
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_TIMEOUT);
    rig.Port->TCPClient->Disconnect();
    rig.Port->TCPConnect();
    rig.Tick();
    rig.TickUntilReadEnds();
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_TIMEOUT);
    EXPECT_EQ(rig.Fake->DisconnectCalls, 1);
    EXPECT_TRUE(rig.Fake->Connected());
}

// Every failed transaction counts toward the row, whatever the read brought, and each is
// reported while the other slots of the poll set wait.
TEST(DravonPortTimeouts, EmptyPartialAndStaleReadsMakeOneRow) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.StartConnected();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "TRANS"}));
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"}); // nothing came
    EXPECT_EQ(rig.Tick(), (Events{"OnError TIMEOUT", "ERROR", "TRANS"}));
    const QByteArray dribbled = rig.ControllerReply();
    rig.Fake->Hold(dribbled.left(5));
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"}); // a part came
    EXPECT_EQ(rig.Tick(), (Events{"OnError REC", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Fake->DisconnectCalls, 0);
    rig.Fake->Hold(dribbled.mid(5)); // the rest of the last answer, after its read gave up
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"});
    EXPECT_EQ(rig.Port->StaleFrames(), 1);
    EXPECT_EQ(rig.Fake->DisconnectCalls, 1);
    EXPECT_EQ(rig.Tick(), (Events{"OnError ID", "ERROR", "ERROR"}));
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(FirstNumbersWritten(*rig.Fake, 0), (std::vector<std::int32_t>{1, 40, 118}));
}

// The reconnect check opens a new connection in the tick that reads: the request went out on
// the old one, so the read fails at once instead of waiting for an answer that cannot come.
TEST(DravonPortTimeouts, ReconnectInAReadTickFailsTheReadWithoutWaiting) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.AnswerFromController();
    rig.StartConnected();
    // Reads fall on running ticks 2, 5, 8, ...; reconnect checks on 2, 12, 22 and 32.
    for (int running = 1; running <= 31; ++running)
        rig.Tick();
    ASSERT_EQ(rig.Port->Status(), PORT_TRANS);
    rig.Fake->ClosePeer();
    EXPECT_EQ(rig.Tick(), Events{"ERROR"});
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    EXPECT_TRUE(rig.Fake->Connected());
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
    EXPECT_EQ(rig.Tick(), (Events{"OnError NOT_CONNECTED", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Tick(), Events{"REC"});
}

// A gateway that dribbles an answer over the whole second of the read never has it accepted.
TEST(DravonPortTimeouts, DribbleThatNeverCompletesFailsTheRead) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddReadRBBlock(1, 0, 128, SOCKET_MODE_MULTI);
    rig.StartConnected();
    rig.Tick();
    const QByteArray reply = rig.ControllerReply();
    for (int n = 0; n < 30; ++n)
        rig.Fake->ArriveAfter(100 + 30 * n, reply.mid(n, 1));
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"});
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_REC);
    EXPECT_EQ(rig.Fake->ArrivalsLeft(), 0u);
    EXPECT_EQ(rig.Tick(), (Events{"OnError REC", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 0);
}

// Between ticks a caller may start the identifiers again; an answer read for the identifier
// awaited before is then no longer decoded.
TEST(DravonPortIdentifiers, AnswerForAnIdentifierNoLongerAwaitedIsNotDecoded) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddReadRBBlock(1, 0, 128, SOCKET_MODE_MULTI);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.AnswerFromController();
    rig.StartConnected();
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{"REC"});
    EXPECT_EQ(rig.Tick(), Events{"COMPLETE"});
    rig.Port->SetTransID(0);
    EXPECT_EQ(rig.Tick(), (Events{"OnError ID", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 0);
    EXPECT_EQ(FrameID(rig.Fake->Written.back()), 1);
}

// A reading is live only while the unit its block now polls answered it within the last 50
// running ticks. It is unknown before the first answer, after the link's start and after the
// block is readdressed to another sauna, until that sauna answers it; old once answered but not
// lately, and at once when the link stops or is lost. The other blocks are not touched by one
// block's silence.
TEST(DravonPortFreshness, OnlyARecentAnswerOfTheSaunaPolledNowIsLive) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    bool silent = false;
    rig.Fake->Responder = [&](const QByteArray& request) {
        return silent && FrameFirst(request) == 1 ? QByteArray()
                                                  : ReplyFromController(rig.Controller, request);
    };
    const TDravonPort& port = *rig.Port;
    const auto tickUntilLive = [&rig, &port](int reg) {
        for (int tick = 0; tick < 40 && port.AgeREG(reg) != READING_LIVE; ++tick)
            rig.Tick();
        return port.AgeREG(reg) == READING_LIVE;
    };
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_UNKNOWN); // before the first answer
    rig.StartConnected();
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));
    ASSERT_TRUE(tickUntilLive(REG_CONTROLLER_TYPE));
    for (int tick = 0; tick < 20 && port.StaleBIT(BIT_HEATER); ++tick)
        rig.Tick();
    EXPECT_EQ(port.AgeBIT(BIT_HEATER), READING_LIVE);
    EXPECT_EQ(port.AgeREG(119), READING_LIVE); // no block reads it

    // Silence of the temperature's block: old 5 s after its last answer, which came at most one
    // turn of the poll set (15 ticks) before, or in the 3 ticks after if its request was out.
    silent = true;
    int oldAfter = 0;
    for (int running = 1; running <= 60 && oldAfter == 0; ++running) {
        rig.Tick();
        oldAfter = port.AgeREG(REG_TEMP_ACT) == READING_OLD ? running : 0;
    }
    EXPECT_GE(oldAfter, 50 - 15);
    EXPECT_LE(oldAfter, 50 + 3);
    EXPECT_EQ(port.AgeREG(REG_CONTROLLER_TYPE), READING_LIVE); // answered meanwhile
    silent = false;
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));

    // A stop: old at the first stopped tick; unknown from the restart until answered again.
    rig.Port->SetSocketServerStart(false);
    rig.Tick();
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_OLD);
    EXPECT_EQ(port.AgeBIT(BIT_HEATER), READING_OLD);
    rig.Port->SetSocketServerStart(true);
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    rig.Tick();
    EXPECT_EQ(port.AgeREG(REG_CONTROLLER_TYPE), READING_UNKNOWN);
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));

    // Another sauna, and back before it answered: unknown until the sauna chosen last has
    // answered the block.
    const auto choose = [&rig](std::uint8_t unit) {
        rig.Port->SetSlaveAddr(unit);
        rig.Port->Sockets->SetAddress(unit);
    };
    choose(2);
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    EXPECT_EQ(port.AgeBIT(BIT_HEATER), READING_UNKNOWN);
    choose(1);
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));
    choose(2);
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));
    EXPECT_EQ(FrameUnit(rig.Fake->Written.back()), 2);

    // The gateway closes the connection: old at once, and still old over the new connection
    // until answered on it.
    rig.Fake->ClosePeer();
    for (int tick = 0; tick < 4 && !port.StaleREG(REG_TEMP_ACT); ++tick)
        rig.Tick();
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_OLD);
    rig.Port->TCPConnect();
    EXPECT_EQ(port.AgeREG(REG_TEMP_ACT), READING_OLD);
    ASSERT_TRUE(tickUntilLive(REG_TEMP_ACT));
}

// The operator stops and starts the link while part of an answer is held: the identifiers
// start again, so the first answer on the new connection carries the identifier of the old
// part. It is judged and decoded from the new connection's bytes alone.
TEST(DravonPortReconnect, TheFirstAnswerAfterAReconnectIsTheNewConnectionsAlone) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    for (int reg = 1; reg <= 15; ++reg)
        rig.Controller.WriteTableREG(reg, 111);
    rig.StartConnected();
    rig.Tick(); // request 1 goes out
    rig.Fake->Hold(rig.ControllerReply().left(20));
    rig.TickUntilReadEnds(); // only a part came
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_REC);
    rig.Tick();
    for (int reg = 1; reg <= 15; ++reg)
        rig.Controller.WriteTableREG(reg, 222);
    rig.Fake->ClosePeer();
    rig.Port->SetTransID(0);
    rig.Port->TCPConnect();
    rig.AnswerFromController();
    for (int tick = 0; tick < 6; ++tick)
        rig.Tick();
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    for (int reg = 1; reg <= 15; ++reg)
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(reg), 222) << reg;
}

// A late answer and the right one come in the same read: the late one is skipped whole.
TEST(DravonPortLateAnswers, LateAnswerIsSkippedAndTheRightOneTakenInTheSameRead) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Port->Sauna->WriteTableREG(REG_TEMP_ACT, 5);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.StartConnected();
    rig.Tick();
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"ERROR"});
    const QByteArray late = rig.ControllerReply(); // identifier 1, after its read gave up
    EXPECT_EQ(rig.Tick(), (Events{"OnError TIMEOUT", "ERROR", "TRANS"}));
    EXPECT_EQ(FrameID(rig.Fake->Written.back()), 2);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 800);
    rig.Fake->Hold(late.left(20));
    rig.Fake->ArriveAfter(150, late.mid(20) + rig.ControllerReply().left(7));
    rig.Fake->ArriveAfter(250, rig.ControllerReply().mid(7));
    EXPECT_EQ(rig.TickUntilReadEnds(), Events{"REC"});
    EXPECT_EQ(rig.Port->RecID(), 2);
    EXPECT_EQ(rig.Port->StaleFrames(), 1);
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 800);
    EXPECT_EQ(FrameID(rig.Fake->Written.back()), 3);
}

// Found on loopback: once identifiers were started again after a mismatch, the reads that
// brought frames of identifiers 1, 2, 1, 1 put the answer for registers 118 and 119 into 100
// and 101. Identifiers now only move forward, and a frame of an earlier transaction is skipped.
TEST(DravonPortLateAnswers, ReplayedFramesNeverLandInAnotherBlock) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 118, 2, SOCKET_MODE_MULTI);
    rig.Port->Sockets->AddReadRWBlock(1, 100, 2, SOCKET_MODE_MULTI);
    for (int reg = 0; reg < TSaunaMX::REG_COUNT; ++reg)
        rig.Controller.WriteTableREG(reg, 1000 + reg);
    rig.StartConnected();
    Events errors;
    for (int frameId : {1, 2, 1, 1}) {
        ASSERT_TRUE(rig.TickUntilWritten(rig.Fake->Written.size() + 1));
        rig.Fake->Hold(ReplyFromController(rig.Controller, rig.Fake->Written[frameId - 1]));
        rig.TickUntilReadEnds();
        for (const std::string& event : rig.Tick())
            if (event.rfind("OnError", 0) == 0)
                errors.push_back(event);
        for (int reg : {100, 101, 118, 119}) {
            const std::int32_t held = rig.Port->Sauna->ReadTableREG(reg);
            ASSERT_TRUE(held == 0 || held == 1000 + reg) << reg << " holds " << held;
        }
    }
    for (int reg : {100, 101, 118, 119})
        EXPECT_EQ(rig.Port->Sauna->ReadTableREG(reg), 1000 + reg) << reg;
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(FrameID(rig.Fake->Written[static_cast<std::size_t>(n)]), n + 1);
    EXPECT_EQ(errors, (Events{"OnError ID", "OnError ID"}));
    EXPECT_EQ(rig.Port->StaleFrames(), 2);
}

// An answer that came together with the gateway's close is still the answer.
TEST(DravonPortLateAnswers, AnswerHeldWhenThePeerHasClosedIsAccepted) {
    PortRig rig;
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.StartConnected();
    // Past the first reconnect check, which would open a new connection in the read tick.
    rig.Tick();
    rig.Tick();
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "TRANS"}));
    rig.Fake->Hold(rig.ControllerReply());
    rig.Fake->ClosePeer();
    EXPECT_EQ(rig.Tick(), Events{"REC"});
    EXPECT_EQ(rig.Tick(), Events{"COMPLETE"});
    // Then the closed connection is handled as before: the next request cannot be sent.
    EXPECT_EQ(rig.Tick(), Events{"ERROR"});
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
}

TEST(DravonPortIdentifiers, IdentifierAfter65535IsOneAndIsAccepted) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    int completed = 0;
    rig.Port->Sockets->SetOnSocketEnd(1, [&](std::int32_t) { ++completed; });
    rig.AnswerFromController();
    rig.Port->SetTransID(65534);
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(3));
    EXPECT_EQ(Hex(rig.Fake->Written[0].left(2)), "FF FF");
    EXPECT_EQ(Hex(rig.Fake->Written[1].left(2)), "00 01");
    EXPECT_EQ(Hex(rig.Fake->Written[2].left(2)), "00 02");
    EXPECT_EQ(completed, 2);
    EXPECT_EQ(rig.Port->StaleFrames(), 0);
}

TEST(DravonPortRestart, RequestQueuedIntoTheLastActiveSlotWhileStoppedIsSent) {
    PortRig rig;
    TDravonSockets& sockets = *rig.Port->Sockets;
    sockets.AddWriteRW(1, REG_COMMAND, CMD_LIGHT1);
    rig.AnswerFromController();
    rig.StartConnected();
    rig.Tick();
    rig.Port->SetSocketServerStop(true);
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{});
    EXPECT_EQ(rig.Tick(), Events{"STOP"});
    ASSERT_EQ(sockets.AddWriteRW(1, REG_COMMAND, CMD_LIGHT2), 1);
    rig.Port->SetTransID(0);
    rig.Port->SetSocketServerStart(true);
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
    ASSERT_EQ(rig.Fake->Written.size(), 2u);
    EXPECT_EQ(FrameWord(rig.Fake->Written[1], 10), CMD_LIGHT2);
    rig.Tick();
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.Controller.ReadTableREG(REG_COMMAND), CMD_LIGHT2);
    EXPECT_EQ(sockets.Count(), 0);
}

TEST(DravonPortRestart, CyclicSlotsCarryOnAfterTheOneLastServed) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.AnswerFromController();
    rig.StartConnected();
    ASSERT_TRUE(rig.TickUntilWritten(2));
    rig.Port->SetSocketServerStop(true);
    for (int tick = 0; tick < 4; ++tick)
        rig.Tick();
    EXPECT_FALSE(rig.Port->SocketServerStart());
    rig.Port->SetSocketServerStart(true);
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
    EXPECT_EQ(FirstNumbersWritten(*rig.Fake, 0), (std::vector<std::int32_t>{1, 40, 118}));
}

TEST(DravonPortRestart, RestartBeforeAStoppedTickDoesNotFinishTheTurnAgain) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    int firstSlotTurns = 0;
    rig.Port->Sockets->SetOnSocketEnd(1, [&](std::int32_t) { ++firstSlotTurns; });
    rig.AnswerFromController();
    rig.StartConnected();
    rig.Tick();
    rig.Port->SetSocketServerStop(true);
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.Tick(), Events{});
    // The connect button starts the link again before the next tick.
    rig.Port->SetTransID(0);
    rig.Port->SetRecID(0);
    rig.Port->SetSocketServerStart(true);
    EXPECT_EQ(rig.Tick(), Events{"TRANS"});
    EXPECT_EQ(firstSlotTurns, 1);
    EXPECT_EQ(rig.Port->Sockets->GetStatus(1), SOCKET_STATUS_WAIT);
    ASSERT_TRUE(rig.TickUntilWritten(6));
    EXPECT_EQ(FirstNumbersWritten(*rig.Fake, 0),
              (std::vector<std::int32_t>{1, 40, 118, 100, 0, 1}));
}

// A connect that the gateway does not answer at once is a step the tick waits for: the
// transaction goes on only once it stands or failed, no tick meanwhile counts, and no second
// attempt starts.
TEST(DravonPortWaits, APendingConnectHoldsTheTransactionUntilItEnds) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.AnswerFromController();
    rig.Fake->ConnectTakesMs = 350;
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    EXPECT_EQ(rig.Tick(), (Events{"IDLE", "ERROR"})); // running tick 1: not yet connected
    EXPECT_EQ(rig.Tick(), Events{});                  // running tick 2: the check dials
    EXPECT_EQ(rig.Port->Waiting(), WAIT_CONNECT);
    EXPECT_EQ(rig.Tick(), Events{});
    rig.Port->TCPConnect(); // the operator's connect while one is pending starts nothing
    EXPECT_EQ(rig.Tick(), Events{});
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    EXPECT_TRUE(rig.Fake->Written.empty());
    // Answered 350 ms after it began, between two ticks: the held step runs at once.
    EXPECT_EQ(rig.Arrive(150), (Events{"OnError NOT_CONNECTED", "ERROR", "TRANS"}));
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
    ASSERT_EQ(rig.Fake->Written.size(), 1u);
    // The next check falls ten running ticks after the one that dialled.
    rig.Fake->ClosePeer();
    std::vector<int> dialled;
    for (int running = 3; running <= 12; ++running) {
        const int before = rig.Fake->ConnectCalls;
        rig.Tick();
        if (rig.Fake->ConnectCalls > before)
            dialled.push_back(running);
    }
    EXPECT_EQ(dialled, std::vector<int>{12});
}

// An attempt nobody answers is given up 2000 ms after it began, counted on the clock whatever
// the ticks; the tick's transaction then goes on and fails unconnected.
TEST(DravonPortWaits, AConnectNeverAnsweredIsAbandonedAtTwoSeconds) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Fake->ConnectTakesMs = -1;
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    rig.Tick();
    rig.Tick(); // the check dials
    ASSERT_EQ(rig.Port->Waiting(), WAIT_CONNECT);
    EXPECT_EQ(rig.Arrive(1999), Events{});
    EXPECT_EQ(rig.Fake->AbandonedAttempts, 0);
    EXPECT_EQ(rig.Arrive(1), (Events{"OnError NOT_CONNECTED", "ERROR", "ERROR"}));
    EXPECT_EQ(rig.Fake->AbandonedAttempts, 1);
    EXPECT_EQ(rig.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
}

// The operator stops the link while an attempt is pending: it is abandoned at once, and the
// tick that dialled does not go on with its transaction.
TEST(DravonPortWaits, StopDuringAPendingConnectAbandonsIt) {
    PortRig rig;
    rig.Port->Sockets->AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    rig.Fake->ConnectTakesMs = -1;
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    rig.Tick();
    rig.Tick();
    ASSERT_EQ(rig.Port->Waiting(), WAIT_CONNECT);
    rig.Raised.clear();
    rig.Port->TCPDisconnect();
    rig.Port->SetSocketServerStop(true);
    EXPECT_EQ(rig.Fake->AbandonedAttempts, 1);
    EXPECT_EQ(rig.Port->Waiting(), WAIT_NONE);
    EXPECT_TRUE(rig.Raised.empty());
    for (int tick = 0; tick < 40; ++tick)
        rig.Tick();
    EXPECT_FALSE(rig.Port->SocketServerStart());
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
}

// A stop asked for while requests wait and the link is down dials nothing before it is
// honoured.
TEST(DravonPortWaits, AStoppingLinkIsNotDialledAgain) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.Port->SetSocketServerStart(true);
    rig.PassStartDelay();
    rig.Tick(); // the first dispatch fails unconnected; the check would dial on the next tick
    rig.Port->SetSocketServerStop(true);
    for (int tick = 0; tick < 30; ++tick)
        rig.Tick();
    EXPECT_FALSE(rig.Port->SocketServerStart());
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
}

// An answer is credited to the unit it was asked of: the request in flight when another sauna is
// chosen brings the first sauna's values, which are no reading of the second.
TEST(DravonPortFreshness, AnAnswerCountsForTheUnitItWasAskedOf) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    rig.Controller.WriteTableREG(REG_TEMP_ACT, 795);
    rig.AnswerFromController();
    rig.StartConnected();
    rig.Tick();
    ASSERT_EQ(FrameUnit(rig.Fake->Written.back()), 1);
    ASSERT_EQ(FrameFirst(rig.Fake->Written.back()), 1);
    rig.Port->SetSlaveAddr(2);
    rig.Port->Sockets->SetAddress(2);
    for (int tick = 0; tick < 3; ++tick)
        rig.Tick();
    EXPECT_EQ(rig.Port->Sauna->ReadTableREG(REG_TEMP_ACT), 795);
    EXPECT_EQ(rig.Port->AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    EXPECT_EQ(FrameUnit(rig.Fake->Written.back()), 2);
}

// A slow gateway that keeps the link: every answer comes 800 ms late, as its notifier tells, and
// the temperature's block gets none. The block goes old 5 s after its last answer by the clock,
// although most of that time passes in reads that wait, not in ticks.
TEST(DravonPortFreshness, ReadingsGoOldFiveSecondsAfterTheirLastAnswerByTheClock) {
    PortRig rig;
    QueuePollSet(*rig.Port->Sockets, 1);
    bool silent = false;
    std::int64_t lastAnswer = -1;
    rig.Port->Sockets->SetOnSocketEnd(1, [&](std::int32_t) { lastAnswer = rig.Fake->NowMs(); });
    rig.Fake->ResponseDelayMs = 800;
    rig.Fake->Responder = [&](const QByteArray& request) {
        return silent && FrameFirst(request) == 1 ? QByteArray()
                                                  : ReplyFromController(rig.Controller, request);
    };
    rig.StartConnected();
    // The event loop as it runs with this gateway: the notifier while a read waits, else ticks.
    const auto step = [&rig] {
        if (rig.Port->Waiting() == WAIT_NONE)
            rig.Tick();
        else
            rig.Arrive(100);
    };
    for (int n = 0; n < 200 && lastAnswer < 0; ++n)
        step();
    ASSERT_GE(lastAnswer, 0);
    silent = true;
    std::int64_t oldAt = -1;
    int ticks = 0;
    for (int n = 0; n < 200 && oldAt < 0; ++n) {
        ticks += rig.Port->Waiting() == WAIT_NONE ? 1 : 0;
        step();
        if (rig.Port->AgeREG(REG_TEMP_ACT) == READING_OLD)
            oldAt = rig.Fake->NowMs();
    }
    ASSERT_GE(oldAt, 0);
    EXPECT_GE(oldAt - lastAnswer, 5000);
    EXPECT_LT(oldAt - lastAnswer, 5000 + 100);
    EXPECT_LT(ticks, 50 - 10); // far fewer ticks than 5 s of them
}
