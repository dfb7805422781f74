// The window with its real QTcpSocket client against a libmodbus server on 127.0.0.1: the poll
// set fills the status view, and the typed settings are saved at exit.
#include "WindowRig.h"

#include "LoopbackModbusServer.h"
#include "SaunaREG.h"
#include "TGlyph.h"
#include "TRectangle.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

TEST(WindowOverSocket, PollSetFromTheLoopbackServerFillsTheView) {
    LoopbackModbusServer server;
    server.SetRegister(1, REG_TEMP_ACT, 853);
    server.SetRegister(1, REG_TEMP_SET, 900);
    server.SetRegister(1, REG_CONTROLLER_TYPE, 0x32);
    server.SetRegister(1, REG_FIRMWARE_VERSION, 0x110);
    server.SetCoil(1, BIT_HEATER, true);

    QTemporaryDir dir;
    TSettingsFile file;
    file.PortNum = QString::number(server.Port());
    file.ConnectAuto = true;
    WriteSettingsFile(dir.filePath("Kovalta_Config.xml"), file);
    TKovMainNavigation window(dir.path());
    // Ticks come from the test alone, and only once the port is known to aim at the loopback.
    window.Port->SocketTimer->stop();
    ASSERT_EQ(window.Port->ServerTCPIPNum(), "127.0.0.1");

    const auto shown = [&window] {
        return window.LabConType->text() == "M-C" && window.LEDDisp3->ImageIndex() == 5;
    };
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(8);
    for (int tick = 0; tick < 80 && !shown() && Clock::now() < deadline; ++tick) {
        window.Port->SocketTimerTick();
    }
    ASSERT_TRUE(shown());
    EXPECT_EQ(window.LEDDisp2->ImageIndex(), 8);
    EXPECT_EQ(window.LabelTempSet->text(), QString::fromUtf8("90\u00B0C"));
    EXPECT_EQ(window.LabConVersion->text(), "1.10");
    EXPECT_EQ(window.LampHeater->FillKind(), TRectangle::FILL_GRADIENT);
    EXPECT_EQ(window.RectConnStatus->FillColor().rgba(), 0xFFADFF2Fu);
    EXPECT_EQ(window.StatusLabel->text(), "...");
    EXPECT_EQ(server.Accepted(), 1);
}

} // namespace
