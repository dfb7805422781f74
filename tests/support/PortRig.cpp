#include "PortRig.h"

#include "ModbusReplies.h"

#include <gtest/gtest.h>

std::string StatusName(TPortStatus Status) {
    static const char* const names[] = {"STOP", "IDLE", "TRANS", "REC", "COMPLETE", "ERROR"};
    return Status <= PORT_ERROR ? names[Status] : "?";
}

std::string ErrorName(TPortError Code) {
    static const char* const names[] = {"NO_ERROR", "NOT_CONNECTED", "TIMEOUT",
                                        "TRANS",    "REC",           "ID"};
    return Code <= ERROR_ID ? names[Code] : "?";
}

PortRig::PortRig() {
    auto client = std::make_unique<FakeTCPClient>();
    Fake = client.get();
    Port = std::make_unique<TDravonPort>(std::move(client));
    Port->SetServerTCPIPNum("127.0.0.1");
    Port->SetServerTCPPortNum(1502);
    Port->OnTrans = [this](TPortStatus State) { Raised.push_back(StatusName(State)); };
    Port->OnError = [this](TPortStatus State, TPortError ECode) {
        EXPECT_EQ(State, PORT_ERROR);
        Raised.push_back("OnError " + ErrorName(ECode));
    };
}

void PortRig::PassStartDelay() {
    for (int tick = 0; tick < TDravonPort::START_DELAY_TICKS; ++tick) {
        Fake->Advance(TDravonPort::TICK_MS);
        Port->SocketTimerTick();
    }
}

void PortRig::StartConnected() {
    Fake->SetConnected(true);
    Port->SetSocketServerStart(true);
    PassStartDelay();
}

Events PortRig::Tick() {
    Raised.clear();
    Fake->Advance(TDravonPort::TICK_MS);
    Port->SocketTimerTick();
    return Raised;
}

bool PortRig::TickUntilWritten(std::size_t Count) {
    for (int tick = 0; tick < 30 && Fake->Written.size() < Count; ++tick)
        Tick();
    return Fake->Written.size() == Count;
}

Events PortRig::TickUntilReadEnds() {
    Events events = Tick();
    for (int tick = 0; tick < 11 && Port->Waiting() == WAIT_READ; ++tick)
        events = Tick();
    return events;
}

Events PortRig::Arrive(std::int64_t Ms) {
    Raised.clear();
    Fake->Advance(Ms);
    Fake->Notify();
    return Raised;
}

void PortRig::AnswerFromController() {
    Fake->Responder = [this](const QByteArray& Request) {
        return ReplyFromController(Controller, Request);
    };
}

QByteArray PortRig::ControllerReply() {
    return ReplyFromController(Controller, Fake->Written.back());
}
