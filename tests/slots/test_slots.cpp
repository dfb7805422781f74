#include "SocketRTU.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The poll set as the window queues it at start-up.
void QueuePollSet(TDravonSockets& table, std::int32_t addr) {
    table.AddReadRWBlock(addr, 1, 15, SOCKET_MODE_MULTI);
    table.AddReadRWBlock(addr, 40, 26, SOCKET_MODE_MULTI);
    table.AddReadRWBlock(addr, 118, 2, SOCKET_MODE_MULTI);
    table.AddReadRWBlock(addr, 100, 2, SOCKET_MODE_MULTI);
    table.AddReadRBBlock(addr, 0, 128, SOCKET_MODE_MULTI);
}

// One successful turn of the active slot as the port runs it, then the choice of the next.
void ServeActive(TDravonSockets& table) {
    table.SetStatus(table.ActiveSocket(), SOCKET_STATUS_RUN);
    table.SetStatus(table.ActiveSocket(), SOCKET_STATUS_COMPLETE);
    table.CompleteActiveSocket();
    table.CloseActiveSocket();
    table.GetNext();
}

void MoveActiveTo(TDravonSockets& table, std::int32_t num) {
    table.ResetSockets();
    for (std::int32_t step = 0; step < num; ++step)
        table.GetNext();
    ASSERT_EQ(table.ActiveSocket(), num);
}

} // namespace

TEST(SocketRTU, NewTableIsEmptyAndHasNoActiveSlot) {
    TDravonSockets table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.ActiveSocket(), 0);
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 0);
    for (std::int32_t num = 1; num <= TDravonSockets::SOCKET_COUNT; ++num) {
        EXPECT_EQ(table.GetMode(num), SOCKET_MODE_NONE);
        EXPECT_EQ(table.GetStatus(num), SOCKET_STATUS_STOP);
    }
}

TEST(SocketRTU, BuildersFillTheSlotAsTheirTableSays) {
    const struct {
        const char* name;
        std::int32_t (*add)(TDravonSockets&);
        TSocketMode mode;
        std::int32_t function;
        std::int32_t regNum;
        std::int32_t regCount;
    } cases[] = {
        {"AddReadRBBlock",
         [](TDravonSockets& t) { return t.AddReadRBBlock(3, 0, 128, SOCKET_MODE_MULTI); },
         SOCKET_MODE_MULTI, SOCKET_FUNCTION_READ_COILS, 0, 128},
        {"AddReadRW", [](TDravonSockets& t) { return t.AddReadRW(3, 14, SOCKET_MODE_REPEAT); },
         SOCKET_MODE_REPEAT, SOCKET_FUNCTION_READ_REGISTERS, 14, 1},
        {"AddReadRWBlock",
         [](TDravonSockets& t) { return t.AddReadRWBlock(3, 102, 7, SOCKET_MODE_SINGLE); },
         SOCKET_MODE_SINGLE, SOCKET_FUNCTION_READ_REGISTERS, 102, 7},
        {"AddWriteRW", [](TDravonSockets& t) { return t.AddWriteRW(3, 2, 111); },
         SOCKET_MODE_SINGLE, SOCKET_FUNCTION_WRITE_REGISTER, 2, 1},
    };
    for (const auto& c : cases) {
        TDravonSockets table;
        const std::int32_t num = c.add(table);
        ASSERT_EQ(num, 1) << c.name;
        EXPECT_EQ(table.Count(), 1) << c.name;
        EXPECT_EQ(table.GetMode(num), c.mode) << c.name;
        EXPECT_EQ(table.GetStatus(num), SOCKET_STATUS_WAIT) << c.name;
        EXPECT_EQ(table.GetSlaveAddr(num), 3) << c.name;
        EXPECT_EQ(table.GetFunctionCode(num), c.function) << c.name;
        EXPECT_EQ(table.GetRegNum(num), c.regNum) << c.name;
        EXPECT_EQ(table.GetRegCount(num), c.regCount) << c.name;
    }
    TDravonSockets table;
    EXPECT_EQ(table.GetRegValue(table.AddWriteRW(1, 2, 111)), 111);
}

TEST(SocketRTU, PollSetTakesSlotsOneToFiveAndAFreedSlotIsTakenAgain) {
    TDravonSockets table;
    QueuePollSet(table, 1);
    EXPECT_EQ(table.Count(), 5);
    EXPECT_EQ(table.AddWriteRW(1, 2, 111), 6);
    MoveActiveTo(table, 6);
    ServeActive(table);
    EXPECT_EQ(table.GetMode(6), SOCKET_MODE_NONE);
    EXPECT_EQ(table.Count(), 5);
    EXPECT_EQ(table.AddWriteRW(1, 2, 112), 6);
}

TEST(SocketRTU, FullTableStoresNothingAndReturnsZero) {
    TDravonSockets table;
    for (std::int32_t n = 1; n <= TDravonSockets::SOCKET_COUNT; ++n)
        ASSERT_EQ(table.AddReadRW(1, n, SOCKET_MODE_MULTI), n);
    EXPECT_EQ(table.AddWriteRW(2, 2, 111), 0);
    EXPECT_EQ(table.Count(), 30);
    for (std::int32_t n = 1; n <= TDravonSockets::SOCKET_COUNT; ++n) {
        EXPECT_EQ(table.GetFunctionCode(n), SOCKET_FUNCTION_READ_REGISTERS) << n;
        EXPECT_EQ(table.GetSlaveAddr(n), 1) << n;
        EXPECT_EQ(table.GetRegNum(n), n) << n;
    }
    // A caller that sets a callback on the returned 0 does no harm.
    table.SetOnSocketEnd(0, [](std::int32_t) { FAIL(); });
}

TEST(SocketRTU, GetNextWrapsRoundRobin) {
    TDravonSockets table;
    QueuePollSet(table, 1);
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 1);
    MoveActiveTo(table, 5);
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 1);
}

TEST(SocketRTU, GetNextProbesAllSlotsBeforeTakingTheSameOneAgain) {
    TDravonSockets table;
    for (std::int32_t n = 1; n <= 3; ++n)
        table.AddReadRW(1, n, SOCKET_MODE_MULTI);
    table.Clear(1);
    table.Clear(2);
    table.GetNext();
    ASSERT_EQ(table.ActiveSocket(), 3);
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 3);
}

TEST(SocketRTU, GetNextWithNothingWaitingEndsWhereItStarted) {
    TDravonSockets table;
    QueuePollSet(table, 1);
    MoveActiveTo(table, 4);
    for (std::int32_t n = 1; n <= 5; ++n)
        table.SetStatus(n, SOCKET_STATUS_RUN);
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 4);
    table.ResetSockets();
    table.GetNext();
    EXPECT_EQ(table.ActiveSocket(), 30);
}

TEST(SocketRTU, RepeatedEditReadIsServedAgainAfterEveryWaitingSlot) {
    TDravonSockets table;
    QueuePollSet(table, 1);
    MoveActiveTo(table, 5);
    const std::int32_t edit = table.AddReadRWBlock(1, 102, 7, SOCKET_MODE_SINGLE);
    ASSERT_EQ(edit, 6);
    int editTurns = 0;
    table.SetOnSocketEnd(edit, [&](std::int32_t) {
        if (++editTurns == 1)
            table.RepeatActiveSocket();
    });
    std::vector<std::int32_t> served;
    table.GetNext();
    for (int turn = 0; turn < 7; ++turn) {
        served.push_back(table.ActiveSocket());
        ServeActive(table);
    }
    EXPECT_EQ(served, (std::vector<std::int32_t>{6, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(table.GetMode(edit), SOCKET_MODE_NONE);
    EXPECT_EQ(table.Count(), 5);
}

TEST(SocketRTU, SetAddressReaddressesTheCyclicSlotsOnly) {
    TDravonSockets table;
    QueuePollSet(table, 1);
    table.AddWriteRW(1, 2, 111);
    table.AddReadRWBlock(1, 102, 7, SOCKET_MODE_SINGLE);
    table.AddReadRWBlock(1, 102, 7, SOCKET_MODE_REPEAT);
    table.Clear(3);
    table.SetAddress(2);
    for (std::int32_t n : {1, 2, 4, 5})
        EXPECT_EQ(table.GetSlaveAddr(n), 2) << n;
    // The command, the single read and the read served once more keep their sauna.
    for (std::int32_t n : {6, 7, 8})
        EXPECT_EQ(table.GetSlaveAddr(n), 1) << n;
    EXPECT_EQ(table.GetSlaveAddr(3), 0);
    EXPECT_EQ(table.GetSlaveAddr(9), 0);

    TDravonSockets empty;
    empty.SetAddress(2);
    EXPECT_EQ(empty.GetSlaveAddr(1), 0);
}

TEST(SocketRTU, CompleteMarksEndBeforeCallingBackWithTheSlotNumber) {
    TDravonSockets table;
    table.AddReadRW(1, 14, SOCKET_MODE_MULTI);
    table.AddReadRW(1, 15, SOCKET_MODE_MULTI);
    std::vector<std::int32_t> calls;
    table.SetOnSocketEnd(2, [&](std::int32_t num) {
        calls.push_back(num);
        EXPECT_EQ(table.GetStatus(num), SOCKET_STATUS_END);
    });
    MoveActiveTo(table, 2);
    table.CompleteActiveSocket();
    EXPECT_EQ(calls, (std::vector<std::int32_t>{2}));

    TDravonSockets idle;
    idle.CompleteActiveSocket();
    idle.CloseActiveSocket();
    idle.RepeatActiveSocket();
    EXPECT_EQ(idle.Count(), 0);
}

TEST(SocketRTU, CallbackMayQueueAndClearItsOwnSlot) {
    TDravonSockets table;
    const std::int32_t first = table.AddWriteRW(1, 2, 230);
    std::int32_t queued = -1;
    table.SetOnSocketEnd(first, [&](std::int32_t num) {
        queued = table.AddReadRWBlock(1, 102, 7, SOCKET_MODE_SINGLE);
        table.Clear(num);
    });
    table.GetNext();
    table.CompleteActiveSocket();
    EXPECT_EQ(queued, 2);
    EXPECT_EQ(table.GetMode(first), SOCKET_MODE_NONE);
    EXPECT_EQ(table.Count(), 1);
}

TEST(SocketRTU, ClosingAFailedSlotFollowsItsMode) {
    const struct {
        TSocketMode mode;
        TSocketMode modeAfter;
        TSocketStatus statusAfter;
        std::int32_t countAfter;
    } cases[] = {
        {SOCKET_MODE_SINGLE, SOCKET_MODE_NONE, SOCKET_STATUS_STOP, 0},
        {SOCKET_MODE_REPEAT, SOCKET_MODE_SINGLE, SOCKET_STATUS_WAIT, 1},
        {SOCKET_MODE_MULTI, SOCKET_MODE_MULTI, SOCKET_STATUS_WAIT, 1},
    };
    for (const auto& c : cases) {
        TDravonSockets table;
        const std::int32_t num = table.AddReadRW(1, 14, c.mode);
        bool called = false;
        table.SetOnSocketEnd(num, [&](std::int32_t) { called = true; });
        table.GetNext();
        table.SetStatus(num, SOCKET_STATUS_ERROR);
        table.CloseActiveSocket();
        EXPECT_EQ(table.GetMode(num), c.modeAfter) << int(c.mode);
        EXPECT_EQ(table.GetStatus(num), c.statusAfter) << int(c.mode);
        EXPECT_EQ(table.Count(), c.countAfter) << int(c.mode);
        EXPECT_FALSE(called) << int(c.mode);
    }
}

TEST(SocketRTU, RepeatTurnsACyclicSlotIntoOneMoreTurn) {
    TDravonSockets table;
    const std::int32_t num = table.AddReadRWBlock(1, 1, 15, SOCKET_MODE_MULTI);
    table.GetNext();
    table.RepeatActiveSocket();
    ServeActive(table);
    EXPECT_EQ(table.GetMode(num), SOCKET_MODE_SINGLE);
    EXPECT_EQ(table.ActiveSocket(), num);
    ServeActive(table);
    EXPECT_EQ(table.GetMode(num), SOCKET_MODE_NONE);
    EXPECT_EQ(table.Count(), 0);
}

TEST(SocketRTU, AddKeepsTheSlotsTableAndGivesNoCallbackClearKeepsTheValue) {
    TDravonSockets table;
    const std::int32_t num = table.AddWriteRW(1, 2, 111);
    table.SetRegTable(num, 31, 77);
    table.SetOnSocketEnd(num, [](std::int32_t) { FAIL(); });
    table.Clear(num);
    EXPECT_EQ(table.GetRegValue(num), 111);
    EXPECT_EQ(table.GetRegTable(num, 31), 77);

    TRTUSocket request;
    request.Mode = SOCKET_MODE_MULTI;
    request.Status = SOCKET_STATUS_WAIT;
    request.RegTable[31] = 5;
    request.OnSocketEnd = [](std::int32_t) { FAIL(); };
    ASSERT_EQ(table.Add(request), num);
    EXPECT_EQ(table.GetRegTable(num, 31), 77);
    table.GetNext();
    table.CompleteActiveSocket();
}

TEST(SocketRTU, NumbersOutsideTheTableAreIgnoredAndReadAsFree) {
    TDravonSockets table;
    table.AddReadRW(1, 14, SOCKET_MODE_MULTI);
    for (std::int32_t num : {-1, 0, 31}) {
        table.SetMode(num, SOCKET_MODE_MULTI);
        table.SetStatus(num, SOCKET_STATUS_WAIT);
        table.SetSlaveAddr(num, 4);
        table.SetFunctionCode(num, 6);
        table.SetRegNum(num, 9);
        table.SetRegCount(num, 9);
        table.SetRegValue(num, 9);
        table.SetRegTable(num, 0, 9);
        table.Clear(num);
        EXPECT_EQ(table.GetMode(num), SOCKET_MODE_NONE) << num;
        EXPECT_EQ(table.GetStatus(num), SOCKET_STATUS_STOP) << num;
        EXPECT_EQ(table.GetSlaveAddr(num), 0) << num;
        EXPECT_EQ(table.GetFunctionCode(num), 0) << num;
        EXPECT_EQ(table.GetRegNum(num), 0) << num;
        EXPECT_EQ(table.GetRegCount(num), 0) << num;
        EXPECT_EQ(table.GetRegValue(num), 0) << num;
        EXPECT_EQ(table.GetRegTable(num, 0), 0) << num;
    }
    table.SetRegTable(1, 32, 9);
    table.SetRegTable(1, -1, 9);
    EXPECT_EQ(table.GetRegTable(1, 32), 0);
    EXPECT_EQ(table.GetRegTable(1, -1), 0);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.GetRegNum(1), 14);
}
