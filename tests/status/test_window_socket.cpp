// The window with its real QTcpSocket client against peers on 127.0.0.1: the poll set from a
// libmodbus server fills the status view, and a gateway that never completes a connect never
// keeps the operator waiting.
#include "WindowRig.h"

#include "LoopbackModbusServer.h"
#include "LoopbackPeers.h"
#include "SaunaREG.h"
#include "TGlyph.h"
#include "TRectangle.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

// The window on a settings file that points it at 127.0.0.1:Port with the link started.
std::unique_ptr<TKovMainNavigation> LinkedTo(const QTemporaryDir& Dir, std::uint16_t Port) {
    TSettingsFile file;
    file.PortNum = QString::number(Port);
    file.ConnectAuto = true;
    WriteSettingsFile(Dir.filePath("Kovalta_Config.xml"), file);
    auto window = std::make_unique<TKovMainNavigation>(Dir.path());
    EXPECT_EQ(window->Port->ServerTCPIPNum(), "127.0.0.1");
    return window;
}

// The time one pass of the event loop takes.
milliseconds OnePass() {
    const Clock::time_point start = Clock::now();
    QCoreApplication::processEvents();
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// The longest pass of the event loop over Span, the port's ticks and deadlines included.
milliseconds LongestPass(milliseconds Span) {
    const Clock::time_point end = Clock::now() + Span;
    milliseconds longest{};
    for (int pass = 0; pass < 100000 && Clock::now() < end; ++pass) {
        longest = std::max(longest, OnePass());
        std::this_thread::sleep_for(1ms);
    }
    return longest;
}

TEST(WindowOverSocket, PollSetFromTheLoopbackServerFillsTheView) {
    LoopbackModbusServer server;
    server.SetRegister(1, REG_TEMP_ACT, 853);
    server.SetRegister(1, REG_TEMP_SET, 900);
    server.SetRegister(1, REG_CONTROLLER_TYPE, 0x32);
    server.SetRegister(1, REG_FIRMWARE_VERSION, 0x110);
    server.SetCoil(1, BIT_HEATER, true);

    QTemporaryDir dir;
    const auto window = LinkedTo(dir, server.Port());
    const auto shown = [&window] {
        return window->LabConType->text() == "M-C" && window->LEDDisp3->ImageIndex() == 5;
    };
    ASSERT_TRUE(QTest::qWaitFor(shown, 8000));
    EXPECT_EQ(window->LEDDisp2->ImageIndex(), 8);
    EXPECT_EQ(window->LabelTempSet->text(), QString::fromUtf8("90\u00B0C"));
    EXPECT_EQ(window->LabConVersion->text(), "1.10");
    EXPECT_EQ(window->LampHeater->FillKind(), TRectangle::FILL_GRADIENT);
    EXPECT_EQ(window->RectConnStatus->FillColor().rgba(), 0xFFADFF2Fu);
    EXPECT_EQ(window->StatusLabel->text(), "...");
    EXPECT_EQ(server.Accepted(), 1);
}

// A gateway that never completes a connect: while the port's attempt is pending, a page key
// and SERWER STOP each take effect in one pass of the event loop; the stop abandons the attempt
// and no other starts; closing the window then is as quick, and saves the settings.
TEST(WindowOverSocket, AGatewayThatNeverAnswersNeverKeepsTheOperatorWaiting) {
    UnansweringListener listener;
    listener.FillQueue();
    QTemporaryDir dir;
    auto window = LinkedTo(dir, listener.Port());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Port->Waiting() == WAIT_CONNECT; }, 5000));

    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(window->TabControl->currentIndex(), 1);
    QMetaObject::invokeMethod(window->BtSelTabTime, "click", Qt::QueuedConnection);
    EXPECT_LT(OnePass(), 100ms);
    EXPECT_EQ(window->TabControl->currentIndex(), 2);
    // A second of ticks while the attempt stays pending: no pass holds the loop.
    EXPECT_LT(LongestPass(1000ms), 100ms);
    EXPECT_EQ(window->Port->Waiting(), WAIT_CONNECT);

    window->BtSelTabSettings->click();
    QMetaObject::invokeMethod(window->BtWiFiConnect, "click", Qt::QueuedConnection);
    EXPECT_LT(OnePass(), 100ms);
    EXPECT_EQ(window->LabSSSerwer->text(), "SERWER START");
    EXPECT_EQ(window->Port->Waiting(), WAIT_NONE);
    // An attempt would be pending for 2 s: none starts while the link stops and stays stopped.
    bool dialled = false;
    EXPECT_FALSE(QTest::qWaitFor(
        [&] {
            dialled = dialled || window->Port->Waiting() != WAIT_NONE;
            return dialled;
        },
        3500));
    EXPECT_FALSE(dialled);
    EXPECT_FALSE(window->Port->SocketServerStart());

    window->BtWiFiConnect->click(); // started again: the attempt is pending once more
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Port->Waiting() == WAIT_CONNECT; }, 500));
    const Clock::time_point closing = Clock::now();
    window.reset();
    EXPECT_LT(Clock::now() - closing, 100ms);
    QFile saved(dir.filePath("Kovalta_Config.xml"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("<ServerTCP-Port>" + QByteArray::number(listener.Port())));
}

} // namespace
