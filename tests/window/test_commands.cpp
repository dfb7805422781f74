// The operator's commands on the real window and the scripted gateway: device and heating-mode
// commands on the wire, sauna selection readdressing the poll set and queued requests, the page
// buttons, link control with its three states, the settings page's check boxes, and the press
// feedback of the page buttons. Protocol numbers are written out as the gateway sees them.
#include "LinkedWindow.h"

#include "ModbusReplies.h"
#include "QtPrinters.h"
#include "TControlEffect.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint8_t WRITE_REGISTER = 6;
constexpr std::uint8_t READ_REGISTERS = 3;
constexpr std::int32_t COMMAND_REGISTER = 2;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF008000;

void Click(QWidget* Control) {
    QTest::mouseClick(Control, Qt::LeftButton);
}

template <typename T = QWidget> T* Control(TKovMainNavigation& Window, const std::string& Name) {
    T* control = Window.findChild<T*>(QString::fromStdString(Name));
    EXPECT_NE(control, nullptr) << Name;
    return control;
}

// The command writes to the command register, in the order they went on the wire.
std::vector<std::int32_t> Commands(const LinkedWindow& Link, std::uint8_t Unit = 1) {
    std::vector<std::int32_t> codes;
    for (const TWireRequest& request : Link.Requests()) {
        if (request.Function == WRITE_REGISTER && request.First == COMMAND_REGISTER &&
            request.Unit == Unit) {
            codes.push_back(request.Word);
        }
    }
    return codes;
}

struct TCommandCase {
    std::string Button;
    std::int32_t Code;
};

void PrintTo(const TCommandCase& Case, std::ostream* Out) {
    *Out << Case.Button;
}

class CommandButton : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(CommandButton, EachClickPutsOneWriteOfItsCodeOnTheWire) {
    LinkedWindow link;
    auto* button = Control(link.Window(), GetParam().Button);
    Click(button);
    ASSERT_TRUE(link.TickUntilAnswered(WRITE_REGISTER, COMMAND_REGISTER, GetParam().Code));
    EXPECT_EQ(link.Controller.ReadTableREG(COMMAND_REGISTER), GetParam().Code);
    // Three quick clicks are three writes, whatever the output's state.
    for (int click = 0; click < 3; ++click) {
        Click(button);
    }
    link.TickUntil([&link] { return link.CountRequests(WRITE_REGISTER, COMMAND_REGISTER) == 4; });
    EXPECT_EQ(Commands(link), std::vector<std::int32_t>(4, GetParam().Code));
}

INSTANTIATE_TEST_SUITE_P(
    DeviceAndHeatingMode, CommandButton,
    ::testing::Values(TCommandCase{"BtHeaterSS", 110}, TCommandCase{"BtLight1SS", 111},
                      TCommandCase{"BtLight2SS", 112}, TCommandCase{"BtAromaSS", 115},
                      TCommandCase{"BtVentSS", 116}, TCommandCase{"BtSaunaMode", 11}),
    [](const auto& info) { return info.param.Button; });

struct TSaunaCase {
    std::string Button;
    std::uint8_t Address;
};

void PrintTo(const TSaunaCase& Case, std::ostream* Out) {
    *Out << Case.Button;
}

class SaunaButton : public ::testing::TestWithParam<TSaunaCase> {};

// A command queued for sauna 1 stays with sauna 1; the poll set and every kind of request made
// after the choice go to the chosen sauna: output command, heating-mode step, setpoint load,
// edit-block read, value write and store command.
TEST_P(SaunaButton, LaterRequestsGoToTheChosenSaunaAndQueuedOnesKeepTheirs) {
    LinkedWindow link;
    TKovMainNavigation& window = link.Window();
    const std::uint8_t chosen = GetParam().Address;
    link.Controller.WriteTableREG(102, 900); // the edit block holds the setpoint, 90 degrees
    link.Controller.WriteTableREG(103, 400);
    link.Controller.WriteTableREG(104, 1100);
    link.Controller.WriteTableREG(107, 10);
    Click(window.BtLight1SS);
    Click(Control(window, GetParam().Button));
    EXPECT_EQ(window.TabControl->currentWidget(), window.TabPanel);
    const std::size_t before = link.Requests().size();
    Click(window.BtHeaterSS);
    // The heating mode is offered once the chosen sauna has said it has one.
    ASSERT_TRUE(link.TickUntil([&] { return window.BtSaunaMode->isEnabled(); }));
    Click(window.BtSaunaMode);
    Click(window.BtSelTabTemp);
    ASSERT_TRUE(link.TickUntilAnswered(READ_REGISTERS, 102, 7));
    Click(window.BtSetTempUp);
    Click(window.BtSetTempWrite);
    ASSERT_TRUE(link.TickUntilAnswered(WRITE_REGISTER, COMMAND_REGISTER, 330));
    link.TickUntil([&] { return link.Requests().size() >= before + 40; });

    EXPECT_EQ(Commands(link, 1).front(), 111);
    const std::vector<TWireRequest> requests = link.Requests();
    std::vector<std::pair<std::int32_t, std::int32_t>> kinds; // register and value, for writes
    for (std::size_t k = before; k < requests.size(); ++k) {
        const TWireRequest& r = requests[k];
        const bool light1 = r.Function == WRITE_REGISTER && r.Word == 111;
        EXPECT_EQ(r.Unit, light1 ? 1 : chosen) << k;
        if (r.Function == WRITE_REGISTER && !light1) {
            kinds.emplace_back(r.First, r.Word);
        }
        if (r.Function == READ_REGISTERS && r.First == 102 && kinds.size() == 3) {
            kinds.emplace_back(102, -1); // the edit-block read, after the load command
        }
    }
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{
        {2, 110}, {2, 11}, {2, 230}, {102, -1}, {102, 910}, {2, 330}};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(window.LabSaunaAddr->text(),
              QStringLiteral("Sauna %1").arg(static_cast<int>(chosen)));
}

INSTANTIATE_TEST_SUITE_P(FourSaunas, SaunaButton,
                         ::testing::Values(TSaunaCase{"BtSelectSauna1", 1},
                                           TSaunaCase{"BtSelectSauna2", 2},
                                           TSaunaCase{"BtSelectSauna3", 3},
                                           TSaunaCase{"Button1", 4}),
                         [](const auto& info) { return info.param.Button; });

TEST(PageButtons, OpenTheirPageAndSetTheMode) {
    TSettingsFile started;
    started.ConnectAuto = true;
    WindowRig rig(started);
    TKovMainNavigation& window = *rig.Window;
    struct TPageCase {
        QWidget* Control;
        QWidget* Page;
        TKovMode Mode;
        std::int32_t Queued; // requests the click adds to the table
    };
    const std::vector<TPageCase> cases{
        {window.BtSelTabSettings, window.TabConfig, KOV_MODE_SETTINGS, 0},
        {window.BtSelTabParam, window.TabSetSauna, KOV_MODE_SET_PARAM, 0},
        // A setpoint page queues its load command; the loads of later openings wait on the
        // edit block until the one before them has ended, and hold no slot meanwhile.
        {window.BtSelTabTemp, window.TabSetTemp, KOV_MODE_SET_TEMP, 1},
        {window.BtSelTabTime, window.TabSetTime, KOV_MODE_SET_TIME, 0},
        {window.BtSelTabMain, window.TabPanel, KOV_MODE_MAIN, 0},
        {window.Rectangle7LED, window.TabSetTemp, KOV_MODE_SET_TEMP, 0},
        {window.BtSelTabParam, window.TabSetSauna, KOV_MODE_SET_PARAM, 0},
        // The page already shown: the mode is set again all the same.
        {window.BtSelTabParam, window.TabSetSauna, KOV_MODE_SET_PARAM, 0},
    };
    for (const TPageCase& page : cases) {
        SCOPED_TRACE(page.Control->objectName().toStdString());
        window.KovMode = KOV_MODE_0;
        const std::int32_t queued = window.Port->Sockets->Count();
        Click(page.Control);
        EXPECT_EQ(window.TabControl->currentWidget(), page.Page);
        EXPECT_EQ(window.KovMode, page.Mode);
        EXPECT_EQ(window.Port->Sockets->Count(), queued + page.Queued);
    }
}

// Accepts every message box the window shows while it runs and keeps their texts.
class MessageBoxes {
public:
    MessageBoxes() {
        FPoll.setInterval(10);
        QObject::connect(&FPoll, &QTimer::timeout, [this] { AcceptShown(); });
        FPoll.start();
    }
    QStringList Texts;

private:
    void AcceptShown() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                Texts << box->text();
                box->accept();
            }
        }
    }
    QTimer FPoll;
};

class LinkControl : public ::testing::Test {
protected:
    struct TLinkState {
        bool Start;
        bool Stop;
        const char* Caption;
        QRgb CaptionColour;
        bool FieldsEnabled;
    };

    void ExpectState(const TLinkState& State) {
        TKovMainNavigation& window = *Rig.Window;
        EXPECT_EQ(window.Port->SocketServerStart(), State.Start);
        EXPECT_EQ(window.Port->SocketServerStop(), State.Stop);
        EXPECT_EQ(window.LabSSSerwer->text(), State.Caption);
        EXPECT_EQ(TextColor(window.LabSSSerwer).rgba(), State.CaptionColour);
        EXPECT_EQ(window.EditTCP_IPNum->isEnabled(), State.FieldsEnabled);
        EXPECT_EQ(window.EditTCP_PortNum->isEnabled(), State.FieldsEnabled);
    }

    static constexpr TLinkState Stopped{false, false, "SERWER START", Green, true};
    static constexpr TLinkState Started{true, false, "SERWER STOP", Red, false};
    static constexpr TLinkState StopRequested{true, true, "SERWER START", Green, true};

    LinkControl() {
        Rig.Fake->Responder = [this](const QByteArray& Request) {
            return ReplyFromController(Controller, Request);
        };
    }

    WindowRig Rig; // auto-connect off: the link starts stopped
    TKovMainNavigation& Window = *Rig.Window;
    TSaunaMX Controller;
};

TEST_F(LinkControl, StartsAtOnceStopsAtTheEndOfTheTurnAndStartsAgain) {
    Rig.Tick(TDravonPort::START_DELAY_TICKS);
    Click(Window.BtSelTabSettings);
    ExpectState(Stopped);
    Window.EditTCP_IPNum->setText("127.0.0.9");
    Window.EditTCP_PortNum->setText(" $5DE");
    Window.Port->SetTransID(40);
    Window.Port->SetRecID(40);

    // Stopped: the click starts the link and connects at once with the page's address.
    Click(Window.BtWiFiConnect);
    ExpectState(Started);
    EXPECT_EQ(Rig.Fake->ConnectCalls, 1);
    EXPECT_EQ(Rig.Fake->Host, "127.0.0.9");
    EXPECT_EQ(Rig.Fake->Port, 1502);
    EXPECT_EQ(Window.Port->TransID(), 0);
    EXPECT_EQ(Window.Port->RecID(), 0);
    Rig.Tick(4);
    ASSERT_FALSE(Rig.Fake->Written.empty());
    EXPECT_EQ(Rig.Fake->Written.front()[1], 1) << "the first request after a start carries id 1";

    // Started: the click drops the connection and asks the engine to stop.
    Click(Window.BtWiFiConnect);
    ExpectState(StopRequested);
    EXPECT_EQ(Rig.Fake->DisconnectCalls, 1);
    // A second click before the engine has stopped keeps the link stopping.
    Click(Window.BtWiFiConnect);
    ExpectState(StopRequested);
    EXPECT_EQ(Rig.Fake->ConnectCalls, 1);

    // The engine honours the stop when it closes the slot in service; then nothing is sent.
    Rig.Tick(3);
    EXPECT_FALSE(Window.Port->SocketServerStart());
    EXPECT_FALSE(Window.Port->SocketServerStop());
    const std::size_t sent = Rig.Fake->Written.size();
    Rig.Tick(30);
    EXPECT_EQ(Rig.Fake->Written.size(), sent);
    EXPECT_EQ(Window.Port->Status(), PORT_STOP);

    // Stopped again: the next click starts it again.
    Click(Window.BtWiFiConnect);
    ExpectState(Started);
    EXPECT_EQ(Rig.Fake->ConnectCalls, 2);
}

TEST_F(LinkControl, ACommandQueuedWhileStoppedIsSentAfterTheStart) {
    Rig.Tick(TDravonPort::START_DELAY_TICKS + 10);
    Click(Window.BtLight1SS);
    Rig.Tick(10);
    EXPECT_TRUE(Rig.Fake->Written.empty());
    Click(Window.BtWiFiConnect);
    for (int tick = 0; tick < 60 && Controller.ReadTableREG(COMMAND_REGISTER) != 111; ++tick) {
        Rig.Tick(1);
    }
    EXPECT_EQ(Controller.ReadTableREG(COMMAND_REGISTER), 111);
}

TEST_F(LinkControl, SettingsPageShowsTheStartedLinkWhateverItShowedBefore) {
    Window.Port->SetSocketServerStart(true);
    EXPECT_EQ(Window.LabSSSerwer->text(), "SERWER START"); // the layout's caption
    Click(Window.BtSelTabSettings);
    ExpectState(Started);
}

TEST_F(LinkControl, PortTextThatIsNoIntegerIsReportedAndLeavesTheLinkStopped) {
    Click(Window.BtSelTabSettings);
    Window.EditTCP_IPNum->setText("127.0.0.9");
    Window.EditTCP_PortNum->setText("15o2");
    Window.Port->SetTransID(40);
    MessageBoxes boxes;
    Click(Window.BtWiFiConnect);
    EXPECT_EQ(boxes.Texts, QStringList{"'15o2' is not a valid integer value"});
    ExpectState(Stopped);
    EXPECT_EQ(Window.Port->ServerTCPIPNum(), "127.0.0.1");
    EXPECT_EQ(Window.Port->ServerTCPPortNum(), 502);
    EXPECT_EQ(Window.Port->TransID(), 40);
    EXPECT_EQ(Rig.Fake->ConnectCalls, 0);
    Rig.Tick(TDravonPort::START_DELAY_TICKS + 10);
    EXPECT_TRUE(Rig.Fake->Written.empty());
}

// With the real TCP client: an empty address cannot be connected to, which the port records; the
// click raises nothing and the engine goes on trying.
TEST(LinkControlOverSocket, EmptyAddressStartsTheLinkAndRecordsTheFailedConnect) {
    QTemporaryDir dir;
    WriteSettingsFile(dir.filePath("Kovalta_Config.xml"), TSettingsFile{});
    TKovMainNavigation window(dir.path());
    window.Port->SocketTimer->stop();
    window.EditTCP_IPNum->clear();
    MessageBoxes boxes;
    Click(window.BtWiFiConnect);
    EXPECT_TRUE(boxes.Texts.isEmpty());
    EXPECT_TRUE(window.Port->SocketServerStart());
    EXPECT_EQ(window.Port->ErrorCode(), ERROR_NOT_CONNECTED);
    EXPECT_FALSE(window.Port->TCPClient->IsConnected());
}

// A click on the box's indicator, which a click in the middle of a wide box would miss.
void ClickBox(QCheckBox* Box) {
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
}

TEST_F(LinkControl, AddressModeBoxesStayOppositeAlsoWhileTheLinkIsStarted) {
    Click(Window.BtWiFiConnect);
    ASSERT_TRUE(Window.Port->SocketServerStart());
    struct TBoxCase {
        QCheckBox* Clicked;
        bool ConstChecked;
        bool AutoChecked;
        bool AddressEnabled;
    };
    for (const TBoxCase& box : {TBoxCase{Window.CheckBoxIPConst, false, true, false},
                                TBoxCase{Window.CheckBoxIPAuto, true, false, true},
                                TBoxCase{Window.CheckBoxIPAuto, false, true, false},
                                TBoxCase{Window.CheckBoxIPConst, true, false, true}}) {
        SCOPED_TRACE(box.Clicked->objectName().toStdString());
        ClickBox(box.Clicked);
        EXPECT_EQ(Window.CheckBoxIPConst->isChecked(), box.ConstChecked);
        EXPECT_EQ(Window.CheckBoxIPAuto->isChecked(), box.AutoChecked);
        EXPECT_EQ(Window.EditTCP_IPNum->isEnabled(), box.AddressEnabled);
        EXPECT_FALSE(Window.EditTCP_PortNum->isEnabled());
    }
}

// The summed brightness of a control as the window draws it, with the effects of the controls
// it sits on, against the black page area.
double Brightness(QWidget* Control) {
    QWidget* window = Control->window();
    QImage image(Control->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    window->render(&image, QPoint(),
                   QRegion(QRect(Control->mapTo(window, QPoint(0, 0)), Control->size())));
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            sum += qRed(pixel) + qGreen(pixel) + qBlue(pixel);
        }
    }
    return sum;
}

struct TPressCase {
    std::string Button;
    int Page;
    bool Dims;
};

void PrintTo(const TPressCase& Case, std::ostream* Out) {
    *Out << Case.Button;
}

class PressFeedback : public ::testing::TestWithParam<TPressCase> {};

// The buttons of a setpoint page act once the page has loaded its setpoint.
TEST_P(PressFeedback, PageButtonsShowAtHalfOpacityWhilePressed) {
    LinkedWindow link;
    TKovMainNavigation& window = link.Window();
    window.show();
    if (GetParam().Page == 1 || GetParam().Page == 2) {
        ASSERT_TRUE(link.OpenLoadedSetpointPage(GetParam().Page));
    } else {
        window.TabControl->setCurrentIndex(GetParam().Page);
    }
    QApplication::processEvents();
    auto* button = Control<QAbstractButton>(window, GetParam().Button);
    const double released = Brightness(button);
    ASSERT_GT(released, 0);

    QTest::mousePress(button, Qt::LeftButton);
    const double pressed = Brightness(button);
    // The pressed look at full opacity: a standard button draws itself sunken.
    TControlEffect* effect = ControlEffect(button);
    const qreal opacity = effect->SourceOpacity();
    effect->SetSourceOpacity(1.0);
    const double pressedLook = Brightness(button);
    effect->SetSourceOpacity(opacity);
    // Released outside the button, so that no click follows.
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_NEAR(pressed / pressedLook, GetParam().Dims ? 0.5 : 1.0, 0.02);
    EXPECT_DOUBLE_EQ(Brightness(button), released);
}

TEST(PressFeedbackDisabled, ADisabledButtonIsNotDimmedFurtherWhenPressed) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    window.show();
    QApplication::processEvents();
    window.BtVentSS->setEnabled(false);
    const double disabled = Brightness(window.BtVentSS);
    QTest::mousePress(window.BtVentSS, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(Brightness(window.BtVentSS), disabled);
    QTest::mouseRelease(window.BtVentSS, Qt::LeftButton);
    EXPECT_EQ(window.BtVentSS->Opacity(), 1.0);
}

// Disabled while held down (the controller's answer can take an output away), the button is
// restored by the mouse up all the same. (The heater's button is enabled before any answer;
// the optional outputs' wait for the controller to tell they are fitted.)
TEST(PressFeedbackDisabled, AButtonDisabledWhileHeldIsRestoredOnRelease) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    QTest::mousePress(window.BtHeaterSS, Qt::LeftButton);
    EXPECT_EQ(window.BtHeaterSS->Opacity(), 0.5);
    window.BtHeaterSS->setEnabled(false);
    QTest::mouseRelease(window.BtHeaterSS, Qt::LeftButton);
    EXPECT_EQ(window.BtHeaterSS->Opacity(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    SeventeenAndTheBottomBar, PressFeedback,
    ::testing::Values(TPressCase{"BtAromaSS", 0, true}, TPressCase{"BtVentSS", 0, true},
                      TPressCase{"BtLight2SS", 0, true}, TPressCase{"BtLight1SS", 0, true},
                      TPressCase{"BtHeaterSS", 0, true}, TPressCase{"BtSaunaMode", 0, true},
                      TPressCase{"BtSetTempUp", 1, true}, TPressCase{"BtSetTempDn", 1, true},
                      TPressCase{"BtSetTempWrite", 1, true}, TPressCase{"BtSetTimeUp", 2, true},
                      TPressCase{"BtSetTimeDn", 2, true}, TPressCase{"BtSetTimeWrite", 2, true},
                      TPressCase{"BtSelectSauna1", 3, true}, TPressCase{"BtSelectSauna2", 3, true},
                      TPressCase{"BtSelectSauna3", 3, true}, TPressCase{"Button1", 3, true},
                      TPressCase{"BtWiFiConnect", 4, true}, TPressCase{"BtSelTabMain", 0, false},
                      TPressCase{"BtSelTabTemp", 0, false}),
    [](const auto& info) { return info.param.Button; });

// The lamp is a child control: it dims with its button.
TEST(PressFeedbackLamp, TheLampDimsWithItsButton) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    window.show();
    QApplication::processEvents();
    const double lit = Brightness(window.LampLight1);
    QTest::mousePress(window.BtLight1SS, Qt::LeftButton);
    EXPECT_NEAR(Brightness(window.LampLight1) / lit, 0.5, 0.05);
    EXPECT_EQ(window.BtLight1SS->Opacity(), 0.5);
    QTest::mouseRelease(window.BtLight1SS, Qt::LeftButton);
    EXPECT_EQ(window.BtLight1SS->Opacity(), 1.0);
    EXPECT_DOUBLE_EQ(Brightness(window.LampLight1), lit);
}

} // namespace
