// The live status view of the real window: link indicators, status line, temperature display,
// work time and dial, lamps and buttons, model, version and sauna number.
#include "WindowRig.h"

#include "ModbusReplies.h"
#include "RepaintWatch.h"
#include "SaunaREG.h"
#include "ScreenReaderOn.h"
#include "TControlEffect.h"
#include "TGlyph.h"
#include "TLamp.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr QRgb GreenYellow = 0xFFADFF2F;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb DimGray = 0xFF696969;
constexpr QRgb DarkGreen = 0xFF006400;
constexpr QRgb Orange = 0xFFFFA500;

TSettingsFile LinkOnAtStart() {
    TSettingsFile file;
    file.ConnectAuto = true;
    return file;
}

// The start delay, the connect, and one pass of the poll set.
constexpr int START_AND_ONE_POLL_SET = 20 + 2 + 5 * 3 + 3;

class StatusView : public ::testing::Test {
protected:
    // The link started, and every block of the poll set answered once by a controller whose
    // registers and coils are all 0, so that every reading is live: the tests then write the
    // image as a poll would, without ticks that could age it.
    StatusView() : Rig(LinkOnAtStart()) {
        Rig.Fake->Responder = [this](const QByteArray& Request) {
            return ReplyFromController(Controller, Request);
        };
        Rig.Tick(START_AND_ONE_POLL_SET);
        // Between transactions, as the layout draws the indicators.
        Rig.Raise(PORT_IDLE);
    }

    // Sets a register and redraws, as after a poll that read it.
    void Show(int Reg, std::int32_t Val) {
        Rig.Sauna().WriteTableREG(Reg, Val);
        Rig.Raise(PORT_COMPLETE);
    }

    TSaunaMX Controller;
    WindowRig Rig;
    TKovMainNavigation& Window = *Rig.Window;
};

struct TPortEvent {
    TPortStatus State;
    TPortError ECode;
    bool Connected;
};

struct TLinkCase {
    std::string Name;
    std::vector<TPortEvent> Events;
    QRgb Gateway;
    QRgb Link;
    QRgb Tx;
    QRgb Rx;
    const char* StatusLine;
};

class LinkIndicators : public StatusView, public ::testing::WithParamInterface<TLinkCase> {};

TEST_P(LinkIndicators, FollowTheStateAndTheError) {
    const TLinkCase& link = GetParam();
    for (const TPortEvent& event : link.Events) {
        Rig.Raise(event.State, event.ECode, event.Connected);
    }
    EXPECT_EQ(TextColor(Window.LabG700Stat).rgba(), link.Gateway);
    EXPECT_EQ(Window.RectConnStatus->FillColor().rgba(), link.Link);
    EXPECT_EQ(TextColor(Window.LabTx).rgba(), link.Tx);
    EXPECT_EQ(TextColor(Window.LabRx).rgba(), link.Rx);
    EXPECT_EQ(Window.StatusLabel->text(), link.StatusLine);
}

const TPortEvent Sending{PORT_TRANS, NO_ERROR, true};
const TPortEvent NotConnected{PORT_ERROR, ERROR_NOT_CONNECTED, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkIndicators,
    ::testing::Values(
        TLinkCase{"Stopped", {{PORT_STOP, NO_ERROR, false}}, Red, DimGray, DimGray, DimGray, "..."},
        TLinkCase{"SendingWhileConnected",
                  {Sending},
                  GreenYellow,
                  GreenYellow,
                  GreenYellow,
                  DarkGreen,
                  "..."},
        TLinkCase{"Receiving",
                  {Sending, {PORT_REC, NO_ERROR, true}},
                  GreenYellow,
                  GreenYellow,
                  DarkGreen,
                  GreenYellow,
                  "..."},
        TLinkCase{
            "NotConnected", {NotConnected}, GreenYellow, Red, Orange, Orange, "TCP NOT Connected"},
        TLinkCase{"IdleAfterNotConnected",
                  {NotConnected, {PORT_IDLE, ERROR_NOT_CONNECTED, false}},
                  GreenYellow,
                  Red,
                  DimGray,
                  DimGray,
                  "TCP NOT Connected"},
        TLinkCase{"ReceiveErrorAfterSend",
                  {Sending, {PORT_ERROR, ERROR_REC, true}},
                  GreenYellow,
                  GreenYellow,
                  GreenYellow,
                  Red,
                  "Rx Error"},
        TLinkCase{"SendError",
                  {{PORT_ERROR, ERROR_TRANS, true}},
                  GreenYellow,
                  GreenYellow,
                  Red,
                  DimGray,
                  "Tx Error"}),
    [](const auto& info) { return info.param.Name; });

// A stray response (an identifier mismatch) leaves whatever text the line showed last.
TEST_F(StatusView, StatusLineShowsEachErrorAndIgnoresAStrayResponse) {
    const std::vector<std::pair<TPortError, const char*>> lines{
        {ERROR_REC, "Rx Error"},
        {ERROR_NOT_CONNECTED, "TCP NOT Connected"},
        {ERROR_TIMEOUT, "TCP Timeout"},
        {ERROR_TRANS, "Tx Error"},
        {NO_ERROR, "..."},
        {ERROR_REC, "Rx Error"}};
    for (const auto& [code, text] : lines) {
        Window.Port->OnError(PORT_ERROR, code);
        EXPECT_EQ(Window.StatusLabel->text(), text);
        Window.Port->OnError(PORT_ERROR, ERROR_ID);
        EXPECT_EQ(Window.StatusLabel->text(), text) << "after " << text;
    }
}

struct TDigitsCase {
    std::int32_t Val;
    int Hundreds;
    int Tens;
    int Units;
};

class SevenSegment : public StatusView, public ::testing::WithParamInterface<TDigitsCase> {};

TEST_P(SevenSegment, ShowsWholeDegreesWithTheHundredsBlankedOutsideOneToNine) {
    const TDigitsCase& digits = GetParam();
    Show(REG_TEMP_ACT, digits.Val);
    EXPECT_EQ(Window.LEDDisp1->ImageIndex(), digits.Hundreds);
    EXPECT_EQ(Window.LEDDisp2->ImageIndex(), digits.Tens);
    EXPECT_EQ(Window.LEDDisp3->ImageIndex(), digits.Units);
}

constexpr int Unlit = TDisplay::UNLIT_DIGIT;
INSTANTIATE_TEST_SUITE_P(Values, SevenSegment,
                         ::testing::Values(TDigitsCase{853, Unlit, 8, 5},
                                           TDigitsCase{1005, 1, 0, 0}, TDigitsCase{95, Unlit, 0, 9},
                                           TDigitsCase{0, Unlit, 0, 0},
                                           TDigitsCase{10500, Unlit, 5, 0},
                                           TDigitsCase{11000, Unlit, 0, 0},
                                           TDigitsCase{65535, Unlit, 5, 3}));

TEST_F(StatusView, SetTemperatureIsWholeDegreesFromTheImage) {
    Rig.Sauna().WriteTableREG(REG_TEMP_ACT, 300);
    Show(REG_TEMP_SET, 855);
    EXPECT_EQ(Window.LabelTempSet->text(), QString::fromUtf8("85\u00B0C"));
    Show(REG_TEMP_SET, 0);
    EXPECT_EQ(Window.LabelTempSet->text(), QString::fromUtf8("0\u00B0C"));
}

TEST(MinutesToStr, HoursAndMinutesOfTwoDigitsAtLeast) {
    const std::vector<std::pair<std::int32_t, const char*>> cases{
        {0, "00:00"}, {9, "00:09"}, {60, "01:00"}, {605, "10:05"}, {6000, "100:00"}};
    for (const auto& [minutes, text] : cases) {
        EXPECT_EQ(TKovMainNavigation::MinutesToStr(minutes), text) << minutes;
    }
}

TEST_F(StatusView, WorkTimeLabelsAndDial) {
    struct TDialCase {
        std::int32_t Timer;
        std::int32_t TimeSet;
        double Angle;
        const char* TimerText;
        const char* TimeSetText;
    };
    const std::vector<TDialCase> cases{{30, 120, 90, "00:30", "02:00"},
                                       {45, 0, 0, "00:45", "00:00"},
                                       {150, 120, 450, "02:30", "02:00"},
                                       {65535, 1, 65535.0 * 360, "1092:15", "00:01"}};
    for (const TDialCase& dial : cases) {
        SCOPED_TRACE(dial.Timer);
        Rig.Sauna().WriteTableREG(REG_WORK_TIMER, dial.Timer);
        Show(REG_WORK_TIME_SET, dial.TimeSet);
        EXPECT_EQ(Window.PieWorkTimer->EndAngle(), dial.Angle);
        EXPECT_EQ(Window.LabWorkTimer->text(), dial.TimerText);
        EXPECT_EQ(Window.LabSetWorkTime->text(), dial.TimeSetText);
    }
}

TEST_F(StatusView, FirmwareVersionInHexadecimalWithAPoint) {
    const std::vector<std::pair<std::int32_t, const char*>> cases{
        {0x110, "1.10"}, {0x55, "0.55"}, {0, "0.00"}, {0x1234, "1.234"}, {0xABC, "A.BC"}};
    for (const auto& [version, text] : cases) {
        Show(REG_FIRMWARE_VERSION, version);
        EXPECT_EQ(Window.LabConVersion->text(), text) << version;
    }
}

TEST_F(StatusView, ModelTextOfTheControllerType) {
    const std::vector<std::pair<std::int32_t, const char*>> cases{
        {0x21, "M-A"},  {0x31, "M-B"},  {0x32, "M-C"}, {0x33, "M-D"},
        {0x41, "MX-A"}, {0x46, "MX-B"}, {0x22, ""},    {0, ""}};
    for (const auto& [code, text] : cases) {
        Show(REG_CONTROLLER_TYPE, code);
        EXPECT_EQ(Window.LabConType->text(), text) << code;
    }
}

TEST_F(StatusView, EachCoilLightsItsOwnLampAndButton) {
    struct TOutput {
        int Coil;
        TRectangle* Lamp;
        TStyledButton* Button;
    };
    const std::vector<TOutput> outputs{{BIT_HEATER, Window.LampHeater, Window.BtHeaterSS},
                                       {BIT_LIGHT1, Window.LampLight1, Window.BtLight1SS},
                                       {BIT_LIGHT2, Window.LampLight2, Window.BtLight2SS},
                                       {BIT_VENT, Window.LampVent, Window.BtVentSS},
                                       {BIT_AROMA, Window.LampAroma, Window.BtAromaSS}};
    for (const TOutput& on : outputs) {
        SCOPED_TRACE(on.Coil);
        for (const TOutput& output : outputs) {
            Rig.Sauna().WriteTableBIT(output.Coil, output.Coil == on.Coil);
        }
        Rig.Raise(PORT_COMPLETE);
        for (const TOutput& output : outputs) {
            const bool lit = output.Coil == on.Coil;
            EXPECT_EQ(output.Lamp->FillKind(),
                      lit ? TRectangle::FILL_GRADIENT : TRectangle::FILL_SOLID);
            if (!lit) {
                EXPECT_EQ(output.Lamp->FillColor().alpha(), 0);
            }
            EXPECT_EQ(output.Button->ImageList(), lit ? Window.ImageListBC : Window.ImageListBR);
        }
    }
}

TEST_F(StatusView, OptionalOutputsAndTheHeatingModeButtonAreEnabledByTheController) {
    struct TEnableCase {
        int Reg;
        std::int32_t Val;
        TStyledButton* Button;
        bool Enabled;
    };
    const std::vector<TEnableCase> cases{{REG_LIGHT2_AVAIL, 0, Window.BtLight2SS, false},
                                         {REG_LIGHT2_AVAIL, 1, Window.BtLight2SS, true},
                                         {REG_AROMA_AVAIL, 0, Window.BtAromaSS, false},
                                         {REG_AROMA_AVAIL, 2, Window.BtAromaSS, true},
                                         {REG_VENT_AVAIL, 0, Window.BtVentSS, false},
                                         {REG_VENT_AVAIL, 1, Window.BtVentSS, true},
                                         {REG_CONFIG_TYPE, 20, Window.BtSaunaMode, false},
                                         {REG_CONFIG_TYPE, 30, Window.BtSaunaMode, true},
                                         {REG_CONFIG_TYPE, 10, Window.BtSaunaMode, false},
                                         {REG_CONFIG_TYPE, 60, Window.BtSaunaMode, false}};
    for (const TEnableCase& enable : cases) {
        Show(enable.Reg, enable.Val);
        EXPECT_EQ(enable.Button->isEnabled(), enable.Enabled)
            << enable.Button->objectName().toStdString() << " at " << enable.Val;
    }
    for (TStyledButton* button : {Window.BtHeaterSS, Window.BtLight1SS}) {
        EXPECT_TRUE(button->isEnabled());
    }
}

TEST_F(StatusView, AromaLampFollowsItsCoilWhileTheButtonIsDisabled) {
    Rig.Sauna().WriteTableBIT(BIT_AROMA, true);
    Show(REG_AROMA_AVAIL, 0);
    EXPECT_FALSE(Window.BtAromaSS->isEnabled());
    EXPECT_EQ(Window.LampAroma->FillKind(), TRectangle::FILL_GRADIENT);
}

TEST_F(StatusView, HeatingModePicksTheHeaterPictureAndNoneOutsideZeroToThree) {
    const std::vector<std::pair<std::int32_t, int>> cases{{0, 0}, {1, 1},  {2, 2},
                                                          {3, 3}, {4, -1}, {65535, -1}};
    for (const auto& [mode, index] : cases) {
        Show(REG_HEAT_MODE, mode);
        EXPECT_EQ(Window.BtSaunaMode->ImageIndex(), index) << mode;
        EXPECT_EQ(Window.BtHeaterSS->ImageIndex(), index) << mode;
    }
}

TEST_F(StatusView, SaunaNumberIsTheSlaveAddress) {
    Window.Port->SetSlaveAddr(3);
    Rig.Raise(PORT_IDLE);
    EXPECT_EQ(Window.LabSaunaAddr->text(), "Sauna 3");
}

// The link indicators change colour on every poll tick. With an unchanged image they repaint
// themselves and nothing else: not the top bar, its rectangle or the window behind them.
TEST(StatusViewRepaint, PollingAnUnchangedImageRepaintsTheTxAndRxIndicatorsAlone) {
    WindowRig rig;
    FillHeatingSauna(rig.Sauna());
    rig.Raise(PORT_COMPLETE);
    rig.Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.Window.get()));
    QApplication::processEvents();
    TRepaintWatch watch;
    for (int transaction = 0; transaction < 5; ++transaction) {
        for (const TPortStatus step : {PORT_TRANS, PORT_REC, PORT_COMPLETE}) {
            rig.Raise(step);
            QApplication::processEvents();
        }
    }
    std::vector<std::string> painted;
    for (const QObject* widget : watch.Painted) {
        painted.push_back(widget->objectName().toStdString());
    }
    std::sort(painted.begin(), painted.end());
    EXPECT_EQ(painted, (std::vector<std::string>{"LabRx", "LabTx"}));
}

// The whole road: the poll set served by the scripted gateway fills the view.
TEST(StatusViewLive, PollSetFromTheGatewayFillsTheView) {
    TSettingsFile file;
    file.ConnectAuto = true;
    WindowRig rig(file);
    TSaunaMX controller;
    FillHeatingSauna(controller);
    rig.Fake->Responder = [&controller](const QByteArray& Request) {
        return ReplyFromController(controller, Request);
    };
    // The start delay, the connect, then five transactions of three ticks and a margin.
    rig.Tick(TDravonPort::START_DELAY_TICKS + 2 + 5 * 3 + 3);
    const TKovMainNavigation& window = *rig.Window;
    EXPECT_EQ(window.LEDDisp2->ImageIndex(), 8);
    EXPECT_EQ(window.LEDDisp3->ImageIndex(), 5);
    EXPECT_EQ(window.LabelTempSet->text(), QString::fromUtf8("90\u00B0C"));
    EXPECT_EQ(window.LabConType->text(), "M-C");
    EXPECT_EQ(window.LabConVersion->text(), "1.10");
    EXPECT_EQ(window.PieWorkTimer->EndAngle(), 90);
    EXPECT_EQ(window.LampLight1->FillKind(), TRectangle::FILL_GRADIENT);
    EXPECT_EQ(window.RectConnStatus->FillColor().rgba(), GreenYellow);
    EXPECT_EQ(window.StatusLabel->text(), "...");
}

// The window polling a heating sauna through the scripted gateway, which can fall silent for
// one block of the poll set.
class StaleLook : public ::testing::Test {
protected:
    StaleLook() : Rig(ConnectingFile()) {
        FillHeatingSauna(Controller);
        Rig.Fake->Responder = [this](const QByteArray& Request) {
            return Silent.count({FrameFirst(Request), FrameFunction(Request)}) != 0
                       ? QByteArray()
                       : ReplyFromController(Controller, Request);
        };
        // The start delay, the connect, and one pass of the poll set.
        Rig.Tick(TDravonPort::START_DELAY_TICKS + 2 + 5 * 3 + 3);
    }
    static TSettingsFile ConnectingFile() {
        TSettingsFile file;
        file.ConnectAuto = true;
        return file;
    }
    // A block silenced now was last answered up to one pass of the poll set (15 ticks) before,
    // or up to 3 ticks after when its request is in flight: it is stale after 35 to 53 ticks.
    static constexpr int StaleAfterTicks = 5000 / 100;
    static constexpr int SurelyFresh = StaleAfterTicks - 16;
    static constexpr int SurelyStale = StaleAfterTicks + 4;

    // The gateway falls silent for the blocks that start at First: Function 3 for registers,
    // 1 for coils. An empty set: it answers every block again.
    void Silence(std::set<std::pair<std::int32_t, std::uint8_t>> Blocks) {
        Silent = std::move(Blocks);
    }
    static qreal EffectOpacity(QWidget* Widget) {
        const auto* effect = qobject_cast<TControlEffect*>(Widget->graphicsEffect());
        return effect && effect->isEnabled() ? effect->SourceOpacity() : 1.0;
    }
    // The brightest pixel of a digit is a lit segment: red while fresh, dim grey while stale.
    static QRgb LitSegment(QWidget* Digit) {
        QImage image(Digit->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(0x0F, 0x0F, 0x0F));
        Digit->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QRgb lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qRed(image.pixel(x, y)) + qGreen(image.pixel(x, y)) > qRed(lit) + qGreen(lit))
                    lit = image.pixel(x, y);
        return lit;
    }

    TSaunaMX Controller;
    WindowRig Rig;
    TKovMainNavigation& Window = *Rig.Window;
    std::set<std::pair<std::int32_t, std::uint8_t>> Silent;
};

TEST_F(StaleLook, TemperatureGoesGreyAfterFiveSecondsWithoutAnAnswerAndBackWithOne) {
    const QColor layoutSetTemp = TextColor(Window.LabelTempSet);
    const QColor layoutModel = TextColor(Window.LabConType);
    ASSERT_EQ(Window.LEDDisp2->ImageIndex(), 8);
    const QRgb red = LitSegment(Window.LEDDisp2);
    EXPECT_GT(qRed(red), 2 * qGreen(red));
    Silence({{1, 3}});
    Rig.Tick(SurelyFresh);
    EXPECT_EQ(TextColor(Window.LabelTempSet), layoutSetTemp);
    EXPECT_FALSE(Window.LEDDisp2->Tint().isValid());
    Rig.Tick(SurelyStale - SurelyFresh);
    EXPECT_EQ(TextColor(Window.LabelTempSet).rgba(), DimGray);
    for (TGlyph* digit : {Window.LEDDisp1, Window.LEDDisp2, Window.LEDDisp3})
        EXPECT_EQ(digit->Tint().rgba(), DimGray);
    const QRgb grey = LitSegment(Window.LEDDisp2);
    EXPECT_NEAR(qRed(grey), qRed(DimGray), 4);
    EXPECT_NEAR(qGreen(grey), qGreen(DimGray), 4);
    EXPECT_EQ(Window.LEDDisp2->ImageIndex(), 8); // the last value read stays in view
    // The other readings are answered and stay as the layout draws them.
    EXPECT_EQ(TextColor(Window.LabConType), layoutModel);
    EXPECT_EQ(Window.LampHeater->Shade(), TLamp::LAMP_IN_COLOUR);
    EXPECT_FALSE(Window.BtHeaterSS->PictureGreyed());

    Silence({});
    Controller.WriteTableREG(REG_TEMP_ACT, 903);
    Rig.Tick(5 * 3 + 1);
    EXPECT_EQ(Window.LEDDisp2->ImageIndex(), 9);
    EXPECT_EQ(TextColor(Window.LabelTempSet), layoutSetTemp);
    EXPECT_FALSE(Window.LEDDisp2->Tint().isValid());
    EXPECT_EQ(LitSegment(Window.LEDDisp2), red);
}

// Old coils grey the lamps, which keep showing on and off, and give the pictures a neutral look:
// the on-look of light 1 and the heater goes with the live answer.
TEST_F(StaleLook, SilentCoilsGreyTheLampsAndTheDevicePictures) {
    Silence({{0, 1}});
    Rig.Tick(SurelyStale);
    for (TLamp* lamp : {Window.LampHeater, Window.LampLight1, Window.LampLight2, Window.LampVent,
                        Window.LampAroma})
        EXPECT_EQ(lamp->Shade(), TLamp::LAMP_IN_GREY) << lamp->objectName().toStdString();
    EXPECT_EQ(Window.LampLight1->FillKind(), TRectangle::FILL_GRADIENT);
    for (TStyledButton* button : {Window.BtHeaterSS, Window.BtLight1SS, Window.BtLight2SS,
                                  Window.BtVentSS, Window.BtAromaSS}) {
        EXPECT_TRUE(button->PictureGreyed()) << button->objectName().toStdString();
        EXPECT_EQ(button->ImageList(), Window.ImageListBR) << button->objectName().toStdString();
        // The whole button's opacity is the press feedback's, not the stale look's.
        EXPECT_EQ(button->Opacity(), 1.0) << button->objectName().toStdString();
    }
    EXPECT_FALSE(Window.BtSaunaMode->PictureGreyed());
    EXPECT_NE(TextColor(Window.LabelTempSet).rgba(), DimGray);
    Silence({});
    // The silent block's read may still wait out its second (ten ticks, and one to end its
    // turn) before the poll set goes round once more.
    Rig.Tick(11 + 5 * 3 + 1);
    EXPECT_EQ(Window.LampLight1->Shade(), TLamp::LAMP_IN_COLOUR);
    EXPECT_FALSE(Window.BtLight1SS->PictureGreyed());
    EXPECT_EQ(Window.BtLight1SS->ImageList(), Window.ImageListBC);
}

TEST_F(StaleLook, SilentSettingsBlockGreysTheSetWorkTimeAndTheHeatingModePictures) {
    const QColor layoutTimer = TextColor(Window.LabWorkTimer);
    Silence({{40, 3}});
    Rig.Tick(SurelyStale);
    EXPECT_EQ(TextColor(Window.LabSetWorkTime).rgba(), DimGray);
    EXPECT_EQ(TextColor(Window.LabWorkTimer), layoutTimer);
    EXPECT_EQ(EffectOpacity(Window.PieWorkTimer), 0.5);
    EXPECT_TRUE(Window.BtSaunaMode->PictureGreyed());
    EXPECT_TRUE(Window.BtHeaterSS->PictureGreyed());
    EXPECT_FALSE(Window.BtLight1SS->PictureGreyed());
}

// The main page with a realistic image, written to build/screens/status.png for a look by eye.
TEST(StatusViewRender, MainPageWithALiveImage) {
    WindowRig rig(LinkOnAtStart());
    TSaunaMX controller;
    FillHeatingSauna(controller);
    rig.Fake->Responder = [&controller](const QByteArray& Request) {
        return ReplyFromController(controller, Request);
    };
    rig.Tick(START_AND_ONE_POLL_SET);
    ASSERT_FALSE(rig.Window->Port->StaleBIT(BIT_HEATER));
    rig.Window->show();
    QApplication::processEvents();
    QImage image(rig.Window->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    rig.Window->render(&image);
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    EXPECT_TRUE(image.save(QDir(KOV_SCREENS_DIR).filePath("status.png")));
}

// A heating sauna whose temperature block and coil block have gone silent, written to
// build/screens/status-stale.png (100 %) and status-stale@2x.png (200 %) for a look by eye.
TEST_F(StaleLook, RenderOfStaleReadings) {
    Silence({{0, 1}, {1, 3}});
    Rig.Tick(SurelyStale);
    ASSERT_TRUE(Window.Port->StaleREG(REG_TEMP_ACT));
    ASSERT_TRUE(Window.Port->StaleBIT(BIT_HEATER));
    Window.show();
    QApplication::processEvents();
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    for (const qreal ratio : {1.0, 2.0}) {
        QImage image(Window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        Window.render(&image);
        EXPECT_TRUE(
            image.save(QDir(KOV_SCREENS_DIR)
                           .filePath(ratio == 1.0 ? "status-stale.png" : "status-stale@2x.png")));
    }
}

// Saunas 1 and 2 fitted behind the gateway; the gateway answers requests for any other unit
// with exception 11 (no answer from the target), as a real one does for a sauna that is not
// there. The link is started at the start.
class TrustedReadings : public ::testing::Test {
protected:
    TrustedReadings() : Rig(ConnectingFile()) {
        FillHeatingSauna(Sauna1);
        FillHeatingSauna(Sauna2);
        Sauna2.WriteTableREG(REG_TEMP_SET, 700);
        Rig.Fake->Responder = [this](const QByteArray& Request) {
            if (Silent) {
                return QByteArray();
            }
            if (FailCommands && FrameFunction(Request) == 6) {
                return ReplyException(Request, 4);
            }
            switch (FrameUnit(Request)) {
            case 1:
                return ReplyFromController(Sauna1, Request);
            case 2:
                return ReplyFromController(Sauna2, Request);
            default:
                return ReplyException(Request, 11);
            }
        };
    }
    static TSettingsFile ConnectingFile() { return LinkOnAtStart(); }
    void PassTheStartAndOnePollSet() { Rig.Tick(START_AND_ONE_POLL_SET); }
    static qreal EffectOpacity(QWidget* Widget) {
        const auto* effect = qobject_cast<TControlEffect*>(Widget->graphicsEffect());
        return effect && effect->isEnabled() ? effect->SourceOpacity() : 1.0;
    }
    // Every reading the status view shows, stale (old or unknown: greyed, lamps not in colour,
    // pictures neutral) or live.
    void ExpectAllStale(bool Stale) {
        const QRgb grey = DimGray;
        for (QLabel* label : {Window.LabelTempSet, Window.LabWorkTimer, Window.LabSetWorkTime,
                              Window.LabConType, Window.LabConVersion}) {
            EXPECT_EQ(TextColor(label).rgba() == grey, Stale) << label->objectName().toStdString();
        }
        EXPECT_EQ(Window.LEDDisp2->Tint().isValid(), Stale);
        EXPECT_EQ(Window.LampHeater->Shade() != TLamp::LAMP_IN_COLOUR, Stale);
        EXPECT_EQ(Window.BtLight1SS->PictureGreyed(), Stale);
        EXPECT_EQ(Window.BtLight1SS->ImageList() == Window.ImageListBC, !Stale);
    }
    // Nothing of a value shows: dashes, unlit digits, an empty dial, blank lamps and no
    // heating-mode picture.
    void ExpectNothingKnown() {
        EXPECT_EQ(Window.LabelTempSet->text(), QString::fromUtf8("--\u00B0C"));
        EXPECT_EQ(Window.LabWorkTimer->text(), "--:--");
        EXPECT_EQ(Window.LabSetWorkTime->text(), "--:--");
        EXPECT_EQ(Window.LabConType->text(), "--");
        EXPECT_EQ(Window.LabConVersion->text(), "-.--");
        for (TGlyph* digit : {Window.LEDDisp1, Window.LEDDisp2, Window.LEDDisp3})
            EXPECT_EQ(digit->ImageIndex(), TDisplay::UNLIT_DIGIT);
        EXPECT_EQ(Window.PieWorkTimer->EndAngle(), 0);
        for (TLamp* lamp : {Window.LampHeater, Window.LampLight1, Window.LampLight2,
                            Window.LampVent, Window.LampAroma})
            EXPECT_EQ(lamp->Shade(), TLamp::LAMP_BLANK) << lamp->objectName().toStdString();
        EXPECT_EQ(Window.BtSaunaMode->ImageIndex(), -1);
    }

    TSaunaMX Sauna1;
    TSaunaMX Sauna2;
    bool FailCommands = false;
    bool Silent = false;
    WindowRig Rig;
    TKovMainNavigation& Window = *Rig.Window;
};

// The layout's placeholders are never shown as values: before the first answers nothing is known.
TEST_F(TrustedReadings, NothingIsShownAsAValueUntilTheFirstAnswers) {
    ExpectAllStale(true);
    ExpectNothingKnown();
    Rig.Tick(20);
    ExpectAllStale(true);
    ExpectNothingKnown();
    Rig.Tick(2 + 5 * 3 + 3);
    ExpectAllStale(false);
    EXPECT_EQ(Window.LabelTempSet->text(), QString::fromUtf8("90\u00B0C"));
}

TEST_F(TrustedReadings, AStoppedLinkGreysEveryReadingAtOnceAndARestartOnlyWithItsAnswers) {
    PassTheStartAndOnePollSet();
    ExpectAllStale(false);
    QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton);
    Rig.Tick(3); // the transaction in progress ends, then the engine stops
    ExpectAllStale(true);
    EXPECT_EQ(Window.StatusLabel->text(), QStringLiteral("Połączenie zatrzymane"));
    Rig.Tick(100);
    ExpectAllStale(true);
    QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton);
    Rig.Tick(1);
    ExpectAllStale(true);
    Rig.Tick(5 * 3 + 3);
    ExpectAllStale(false);
    EXPECT_EQ(Window.StatusLabel->text(), "...");
}

// A sauna that is not fitted: the previous sauna's readings never pass for its own, the link
// stays, and choosing a fitted sauna shows its readings live block by block.
TEST_F(TrustedReadings, AnotherSaunaIsStaleUntilItHasAnswered) {
    PassTheStartAndOnePollSet();
    ASSERT_TRUE(Window.BtLight2SS->isEnabled());
    QTest::mouseClick(Window.BtSelectSauna3, Qt::LeftButton);
    // Nor are sauna 1's fitted outputs offered under sauna 3's number.
    for (QWidget* optional :
         std::initializer_list<QWidget*>{Window.BtLight2SS, Window.BtVentSS, Window.BtSaunaMode}) {
        EXPECT_FALSE(optional->isEnabled()) << optional->objectName().toStdString();
    }
    EXPECT_EQ(Window.LabSaunaAddr->text(), "Sauna 3");
    ExpectAllStale(true);
    ExpectNothingKnown(); // sauna 1's values never show under sauna 3's number
    Rig.Tick(100);
    ExpectAllStale(true);
    ExpectNothingKnown();

    QTest::mouseClick(Window.BtSelectSauna2, Qt::LeftButton);
    ExpectAllStale(true);
    bool tempFirst = false;
    bool lampsFirst = false;
    for (int tick = 0; tick < 5 * 3 + 6; ++tick) {
        Rig.Tick(1);
        const bool temp = TextColor(Window.LabelTempSet).rgba() != DimGray;
        const bool lamps = Window.LampHeater->Shade() == TLamp::LAMP_IN_COLOUR;
        tempFirst = tempFirst || (temp && !lamps);
        lampsFirst = lampsFirst || (lamps && !temp);
    }
    EXPECT_TRUE(tempFirst || lampsFirst); // block by block, not all at once
    ExpectAllStale(false);
    EXPECT_EQ(Window.LabelTempSet->text(), QString::fromUtf8("70\u00B0C"));
}

// The output's button shows its command on the way from the click until the coil read after
// the write has shown it; a write the controller refuses ends the look and the status line
// says the command did not arrive.
TEST_F(TrustedReadings, ACommandIsPendingUntilTheCoilsAreReadBackOrItFails) {
    PassTheStartAndOnePollSet();
    QTest::mouseClick(Window.BtLight2SS, Qt::LeftButton);
    EXPECT_TRUE(Window.BtLight2SS->Pending());
    EXPECT_FALSE(Window.BtLight1SS->Pending());
    EXPECT_EQ(Window.BtLight2SS->Opacity(), 1.0); // not the press feedback
    int answeredAt = -1;
    int endedAt = -1;
    for (int tick = 0; tick < 40 && endedAt < 0; ++tick) {
        Rig.Tick(1);
        if (answeredAt < 0 && Sauna1.ReadTableREG(2) == 112) {
            answeredAt = tick;
        }
        if (!Window.BtLight2SS->Pending()) {
            endedAt = tick;
        }
    }
    ASSERT_GE(answeredAt, 0);
    EXPECT_GT(endedAt, answeredAt + 3); // the write answered, then a coil read

    FailCommands = true;
    QTest::mouseClick(Window.BtHeaterSS, Qt::LeftButton);
    EXPECT_TRUE(Window.BtHeaterSS->Pending());
    for (int tick = 0; tick < 40 && Window.BtHeaterSS->Pending(); ++tick) {
        Rig.Tick(1);
    }
    EXPECT_FALSE(Window.BtHeaterSS->Pending());
    EXPECT_TRUE(
        Window.StatusLabel->text().contains(QStringLiteral("polecenie nie dotarło do sterownika")));
    FailCommands = false;
    QTest::mouseClick(Window.BtHeaterSS, Qt::LeftButton);
    Rig.Tick(1);
    EXPECT_FALSE(Window.StatusLabel->text().contains(QStringLiteral("polecenie")));
}

// The ring ends with the read that shows the output: the coil block's, never the register block
// that spans the coil's number (registers 40 to 65 hold 42). In the tick the ring ends the lamp
// shows the light the command switched on, so nothing invites a second press.
TEST_F(TrustedReadings, TheRingEndsWithTheCoilReadThatShowsTheOutput) {
    PassTheStartAndOnePollSet();
    ASSERT_FALSE(Sauna1.ReadTableBIT(BIT_LIGHT2));
    const auto respond = Rig.Fake->Responder;
    Rig.Fake->Responder = [this, respond](const QByteArray& Request) {
        if (FrameFunction(Request) == 6 && FrameWord(Request, 10) == 112) {
            Sauna1.WriteTableBIT(BIT_LIGHT2, true); // the controller switches the light
        }
        return respond(Request);
    };
    QTest::mouseClick(Window.BtLight2SS, Qt::LeftButton);
    for (int tick = 0; tick < 40 && Window.BtLight2SS->Pending(); ++tick) {
        Rig.Tick(1);
    }
    ASSERT_FALSE(Window.BtLight2SS->Pending());
    EXPECT_EQ(Window.LampLight2->FillKind(), TRectangle::FILL_GRADIENT);
    EXPECT_TRUE(Window.Port->Sauna->ReadTableBIT(BIT_LIGHT2));
}

TEST_F(TrustedReadings, TheSaunaPageMarksTheSelectedSauna) {
    const auto marked = [this] {
        std::vector<int> saunas;
        int n = 1;
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(Window.BtSelectSauna1),
                                        static_cast<QAbstractButton*>(Window.BtSelectSauna2),
                                        static_cast<QAbstractButton*>(Window.BtSelectSauna3),
                                        static_cast<QAbstractButton*>(Window.Button1)}) {
            if (button->isChecked()) {
                saunas.push_back(n);
            }
            ++n;
        }
        return saunas;
    };
    EXPECT_EQ(marked(), std::vector<int>{1});
    QTest::mouseClick(Window.Button1, Qt::LeftButton);
    EXPECT_EQ(marked(), std::vector<int>{4});
    QTest::mouseClick(Window.Button1, Qt::LeftButton); // the selected one stays marked
    EXPECT_EQ(marked(), std::vector<int>{4});
}

// Each reading and output of the heating sauna 1 as it stands, on screen and in its accessible
// name: live, old (answered, then not for 7 s, or the link stopped) and unknown (before the first
// answer, after a change to a sauna that does not answer, after the link's start).
enum TReadingsCase : std::uint8_t {
    LIVE_AFTER_ANSWERS,
    OLD_AFTER_SEVEN_SILENT_SECONDS,
    OLD_WHILE_STOPPED,
    UNKNOWN_AT_START,
    UNKNOWN_AFTER_A_SAUNA_CHANGE,
    UNKNOWN_AFTER_THE_LINKS_START,
};

struct TAgeCase {
    std::string Name;
    TReadingsCase Case;
    TReadingAge Age;
};

class ReadingAges : public TrustedReadings, public ::testing::WithParamInterface<TAgeCase> {
protected:
    void Bring(TReadingsCase Case) {
        if (Case == UNKNOWN_AT_START) {
            return;
        }
        PassTheStartAndOnePollSet();
        switch (Case) {
        case OLD_AFTER_SEVEN_SILENT_SECONDS:
            Silent = true;
            Rig.Tick(70);
            break;
        case OLD_WHILE_STOPPED:
            QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton);
            Rig.Tick(3);
            break;
        case UNKNOWN_AFTER_A_SAUNA_CHANGE:
            QTest::mouseClick(Window.BtSelectSauna3, Qt::LeftButton);
            Rig.Tick(100);
            break;
        case UNKNOWN_AFTER_THE_LINKS_START:
            QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton);
            Rig.Tick(3);
            QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton);
            Rig.Tick(1);
            break;
        default:
            break;
        }
    }
    static QString AccessibleName(QWidget* Control) {
        return QAccessible::queryAccessibleInterface(Control)->text(QAccessible::Name);
    }
    // What, then Value, marked as the reading stands.
    static QString Named(const char* What, const QString& Value, TReadingAge Age) {
        const QString what = QString::fromUtf8(What);
        switch (Age) {
        case READING_UNKNOWN:
            return what + QString::fromUtf8(", brak danych");
        case READING_OLD:
            return what + Value + QString::fromUtf8(", nieaktualne");
        case READING_LIVE:
            break;
        }
        return what + Value;
    }
};

TEST_P(ReadingAges, EveryReadingAndOutputShowsItsStateOnScreenAndByName) {
    const TScreenReaderOn screenReader;
    const TReadingAge age = GetParam().Age;
    Bring(GetParam().Case);
    ASSERT_EQ(Window.Port->AgeREG(REG_TEMP_ACT), age);
    const bool live = age == READING_LIVE;
    const bool known = age != READING_UNKNOWN;

    const struct {
        QLabel* Label;
        const char* Shown;
        const char* Unknown;
        const char* What;
    } labels[] = {
        {Window.LabelTempSet, "90\u00B0C", "--\u00B0C", "Temperatura zadana"},
        {Window.LabWorkTimer, "00:30", "--:--", "Czas pracy"},
        {Window.LabSetWorkTime, "02:00", "--:--", "Czas pracy zadany"},
        {Window.LabConType, "M-C", "--", "Typ sterownika"},
        {Window.LabConVersion, "1.10", "-.--", "Wersja programu"},
    };
    for (const auto& label : labels) {
        SCOPED_TRACE(label.What);
        const QString shown = QString::fromUtf8(label.Shown);
        EXPECT_EQ(label.Label->text(), known ? shown : QString::fromUtf8(label.Unknown));
        EXPECT_EQ(TextColor(label.Label).rgba() == DimGray, !live);
        EXPECT_EQ(AccessibleName(label.Label), Named(label.What, " " + shown, age));
    }

    const std::vector<int> digits =
        known ? std::vector<int>{Unlit, 8, 5} : std::vector<int>{Unlit, Unlit, Unlit};
    EXPECT_EQ((std::vector<int>{Window.LEDDisp1->ImageIndex(), Window.LEDDisp2->ImageIndex(),
                                Window.LEDDisp3->ImageIndex()}),
              digits);
    EXPECT_EQ(Window.LEDDisp2->Tint().isValid(), !live);
    EXPECT_EQ(AccessibleName(Window.Rectangle7LED),
              Named("Temperatura", QString::fromUtf8(" 85 \u00B0C"), age));
    EXPECT_EQ(Window.PieWorkTimer->EndAngle(), known ? 90 : 0);

    const struct {
        TLamp* Lamp;
        TStyledButton* Button;
        bool On;
        const char* What;
    } outputs[] = {
        {Window.LampHeater, Window.BtHeaterSS, true, "Grzanie"},
        {Window.LampLight1, Window.BtLight1SS, true, "Światło 1"},
        {Window.LampLight2, Window.BtLight2SS, false, "Światło 2"},
        {Window.LampVent, Window.BtVentSS, false, "Wentylacja"},
        {Window.LampAroma, Window.BtAromaSS, false, "Aromat"},
    };
    const TLamp::TLampShade shade = live    ? TLamp::LAMP_IN_COLOUR
                                    : known ? TLamp::LAMP_IN_GREY
                                            : TLamp::LAMP_BLANK;
    for (const auto& output : outputs) {
        SCOPED_TRACE(output.What);
        EXPECT_EQ(output.Lamp->Shade(), shade);
        if (known) {
            EXPECT_EQ(output.Lamp->FillKind(),
                      output.On ? TRectangle::FILL_GRADIENT : TRectangle::FILL_SOLID);
        }
        // The on-look only while live; otherwise the off pictures, greyed.
        EXPECT_EQ(output.Button->ImageList(),
                  live && output.On ? Window.ImageListBC : Window.ImageListBR);
        EXPECT_EQ(output.Button->PictureGreyed(), !live);
        const QString state = QString::fromUtf8(output.On ? ", włączone" : ", wyłączone");
        EXPECT_EQ(AccessibleName(output.Button), Named(output.What, state, age));
    }
    EXPECT_EQ(Window.BtSaunaMode->ImageIndex(), known ? 1 : -1);
    EXPECT_EQ(Window.BtSaunaMode->PictureGreyed(), !live);
}

INSTANTIATE_TEST_SUITE_P(
    States, ReadingAges,
    ::testing::Values(
        TAgeCase{"LiveAfterAnswers", LIVE_AFTER_ANSWERS, READING_LIVE},
        TAgeCase{"OldAfterSevenSilentSeconds", OLD_AFTER_SEVEN_SILENT_SECONDS, READING_OLD},
        TAgeCase{"OldWhileStopped", OLD_WHILE_STOPPED, READING_OLD},
        TAgeCase{"UnknownAtStart", UNKNOWN_AT_START, READING_UNKNOWN},
        TAgeCase{"UnknownAfterASaunaChange", UNKNOWN_AFTER_A_SAUNA_CHANGE, READING_UNKNOWN},
        TAgeCase{"UnknownAfterTheLinksStart", UNKNOWN_AFTER_THE_LINKS_START, READING_UNKNOWN}),
    [](const auto& info) { return info.param.Name; });

// Without a screen reader no name is made with the readings: they keep what they had.
TEST_F(TrustedReadings, TheReadingsNamesAreMadeOnlyWhileAScreenReaderListens) {
    PassTheStartAndOnePollSet();
    EXPECT_EQ(Window.BtHeaterSS->accessibleName(), QString());
    EXPECT_EQ(Window.LabelTempSet->accessibleName(), QString());
    {
        const TScreenReaderOn screenReader;
        EXPECT_EQ(Window.BtHeaterSS->accessibleName(), QString::fromUtf8("Grzanie, włączone"));
        Sauna1.WriteTableBIT(BIT_HEATER, false);
        Rig.Tick(5 * 3 + 3);
        EXPECT_EQ(Window.BtHeaterSS->accessibleName(), QString::fromUtf8("Grzanie, wyłączone"));
    }
    Sauna1.WriteTableBIT(BIT_HEATER, true);
    Rig.Tick(5 * 3 + 3);
    EXPECT_EQ(Window.LampHeater->FillKind(), TRectangle::FILL_GRADIENT);
    EXPECT_EQ(Window.BtHeaterSS->accessibleName(), QString::fromUtf8("Grzanie, wyłączone"));
}

// Locked while the link runs, and looking it; a gateway name is refused with a word why.
TEST_F(TrustedReadings, TheSettingsPageShowsLockedFieldsAndRefusesANameInWords) {
    PassTheStartAndOnePollSet();
    QTest::mouseClick(Window.BtSelTabSettings, Qt::LeftButton);
    EXPECT_FALSE(Window.EditTCP_IPNum->isEnabled());
    const QPalette& palette = Window.EditTCP_IPNum->palette();
    EXPECT_NE(palette.color(QPalette::Disabled, QPalette::Text),
              palette.color(QPalette::Active, QPalette::Text));
    EXPECT_NE(palette.color(QPalette::Disabled, QPalette::Base),
              palette.color(QPalette::Active, QPalette::Base));

    QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton); // stop
    for (int tick = 0; tick < 10 && Window.Port->SocketServerStart(); ++tick) {
        Rig.Tick(1);
    }
    EXPECT_TRUE(Window.EditTCP_IPNum->isEnabled());
    Window.EditTCP_IPNum->setText(QStringLiteral("bramka.local"));
    QTest::mouseClick(Window.BtWiFiConnect, Qt::LeftButton); // start
    Rig.Tick(1);
    EXPECT_EQ(Rig.Fake->Host, QStringLiteral("bramka.local"));
    EXPECT_TRUE(
        Window.StatusLabel->text().contains(QStringLiteral("adres bramki musi być adresem IPv4")));
}

} // namespace
