// Renders the screen to build/screens/ for a look by eye, each picture at 100 % display scale
// (NAME.png) and at 200 % (NAME@2x.png): every page as laid out (page-N), the main page of a
// running sauna (page-0-live), the value pages with the widest values their labels can show
// (widest-page-N), and every page of the real program's window while it polls the gateway
// simulator on 127.0.0.1, opened by clicks on the bottom bar (live-page-N, and the temperature
// page while it loads, live-page-1-loading), with the main page of saunas 2 and 3 chosen on the
// sauna page (live-sauna-N), the main, sauna and settings pages in the link's states
// (state-STATE-page-N), and the panel in its scroll area on a screen lower than itself
// (small-screen, small-screen-end). The checks catch blank or mis-sized renders, a window that is
// not showing the simulator's values, and a scroll bar out of the panel's looks.
#include "FitToScreen.h"
#include "G700SimProcess.h"
#include "QtPrinters.h"
#include "SaunaREG.h"
#include "SimPresets.h"
#include "WindowRig.h"

#include "TGlyph.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace {

// Renders the whole window at `ratio` device pixels per logical pixel.
QImage RenderWindow(QWidget& window, qreal ratio) {
    QImage image(window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    window.render(&image);
    return image;
}

// How many distinct colours the image holds: a blank or unpainted page has very few.
int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// The smallest rectangle holding every pixel in which two renders of one size differ, in
// logical pixels; empty when they are the same.
QRect Differences(const QImage& one, const QImage& other) {
    QRect area;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            if (one.pixel(x, y) != other.pixel(x, y)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    const qreal ratio = one.devicePixelRatio();
    return QRectF(area.topLeft() / ratio, area.size() / ratio).toAlignedRect();
}

// Writes the window at 100 % and 200 % as NAME.png and NAME@2x.png; each must be a whole,
// painted window.
void WriteWindow(QWidget& window, const QString& name) {
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage image = RenderWindow(window, ratio);
        EXPECT_EQ(image.size(), QSize(420, 884) * ratio);
        EXPECT_GT(DistinctColours(image), 200) << name.toStdString() << " looks blank";
        const QString file = ratio == 1.0 ? name + ".png" : name + "@2x.png";
        EXPECT_TRUE(image.save(QDir(KOV_SCREENS_DIR).filePath(file)));
    }
}

class ScreenRender : public ::testing::TestWithParam<int> {};

TEST_P(ScreenRender, WritesPageAtOneAndTwoTimesScale) {
    const int page = GetParam();
    TKovMainForm window;
    window.show();
    window.TabControl->setCurrentIndex(page);
    QApplication::processEvents();
    WriteWindow(window, QStringLiteral("page-%1").arg(page));
}

INSTANTIATE_TEST_SUITE_P(AllPages, ScreenRender, ::testing::Range(0, 5));

// Labels on a rectangle's fill paint that fill themselves, so that a change repaints the label
// alone. Every page looks exactly as it does with the fill showing through them.
TEST(ScreenRenderOpaqueLabels, LookAsTheFillShowingThroughThem) {
    TKovMainForm window;
    window.show();
    QList<QLabel*> opaque;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->autoFillBackground()) {
            opaque.append(label);
        }
    }
    ASSERT_TRUE(opaque.contains(window.LabTx) && opaque.contains(window.LabRx));
    const auto render = [&window, &opaque](bool labelsOpaque, qreal ratio) {
        for (QLabel* label : opaque) {
            label->setAutoFillBackground(labelsOpaque);
        }
        return RenderWindow(window, ratio);
    };
    for (int page = 0; page < window.TabControl->count(); ++page) {
        window.TabControl->setCurrentIndex(page);
        QApplication::processEvents();
        for (const qreal ratio : {1.0, 2.0}) {
            // The first render at a new scale is not yet the settled picture: it warms the caches.
            render(false, ratio);
            EXPECT_EQ(Differences(render(true, ratio), render(false, ratio)), QRect())
                << "page " << page << " at " << ratio;
        }
    }
}

// The main page as the status view will show a running sauna: 85 degrees, heater and light 1
// on, no vent, the steam heating mode, a third of the work time gone, one button pressed.
TEST(ScreenRenderLive, WritesTheMainPageOfARunningSauna) {
    TKovMainForm window;
    window.show();
    window.TabControl->setCurrentIndex(0);
    window.LEDDisp1->SetImageIndex(10);
    window.LEDDisp2->SetImageIndex(8);
    window.LEDDisp3->SetImageIndex(5);
    window.LabelTempSet->setText(QStringLiteral("90°C"));
    window.LabWorkTimer->setText(QStringLiteral("01:00"));
    window.LabSetWorkTime->setText(QStringLiteral("03:00"));
    window.PieWorkTimer->SetEndAngle(120);
    SetTextColor(window.LabG700Stat, QColor(0xAD, 0xFF, 0x2F));
    SetTextColor(window.LabTx, QColor(0xAD, 0xFF, 0x2F));
    SetTextColor(window.LabRx, QColor(0x00, 0x64, 0x00));
    window.RectConnStatus->SetFillColor(QColor(0xAD, 0xFF, 0x2F));
    for (TStyledButton* on : {window.BtHeaterSS, window.BtLight1SS}) {
        on->SetImageList(window.ImageListBC);
    }
    for (TRectangle* off : {window.LampAroma, window.LampVent, window.LampLight2}) {
        off->SetFillKind(TRectangle::FILL_SOLID);
        off->SetFillColor(Qt::transparent);
    }
    window.BtVentSS->setEnabled(false);
    window.BtHeaterSS->SetImageIndex(3);
    window.BtSaunaMode->SetImageIndex(3);
    window.BtLight2SS->SetOpacity(0.5);
    QApplication::processEvents();
    WriteWindow(window, QStringLiteral("page-0-live"));
}

// The labels at the widest values they can show: registers at 65535, the longest model text.
TEST(ScreenRenderWidest, WritesTheValuePagesWithTheirWidestValues) {
    TKovMainForm window;
    window.show();
    const QString time = QStringLiteral("1092:15");
    const QString temperature = QStringLiteral("6553");
    for (QLabel* label : {window.LabWorkTimer, window.LabSetWorkTime, window.LabSetTime,
                          window.LabSetTimeMax, window.LabSetTimeMin}) {
        label->setText(time);
    }
    for (QLabel* label : {window.LabSetTemp, window.LabSetTempMax, window.LabSetTempMin}) {
        label->setText(temperature);
    }
    window.LabelTempSet->setText(temperature + QStringLiteral("\u00B0C"));
    window.LabConType->setText(QStringLiteral("MX-B"));
    window.LabConVersion->setText(QStringLiteral("F.FFF"));
    window.StatusLabel->setText(QStringLiteral("TCP NOT Connected"));
    for (const int page : {0, 1, 2}) {
        window.TabControl->setCurrentIndex(page);
        QApplication::processEvents();
        WriteWindow(window, QStringLiteral("widest-page-%1").arg(page));
    }
}

// Lightness (0 to 255) of the pixels of `image` in `area`, given in logical pixels: the lightest,
// and the mean.
struct TLightness {
    int Most;
    double Mean;
};
TLightness Lightness(const QImage& image, const QRect& area) {
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels(area.topLeft() * ratio, area.size() * ratio);
    TLightness seen{0, 0.0};
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const int lightness = QColor(image.pixel(x, y)).lightness();
            seen.Most = std::max(seen.Most, lightness);
            seen.Mean += lightness;
        }
    }
    seen.Mean /= pixels.width() * pixels.height();
    return seen;
}

// Where the style draws the bar's handle, in the bar's own coordinates.
QRect HandleOf(const QScrollBar& bar) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.subControls = QStyle::SC_All;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       &bar);
}

// On a 1366 x 768 screen the panel comes in a scroll area as tall as the screen allows, written
// scrolled to the top (small-screen) and to the end (small-screen-end). Its scroll bar beside
// the dark panel is dark too, with no pixel lighter than mid grey, and its handle stands out
// from the groove it runs in.
TEST(ScreenRenderSmallScreen, WritesThePanelInItsScrollAreaWithADarkScrollBar) {
    WindowRig rig;
    FillHeatingSauna(rig.Sauna());
    rig.Raise(PORT_IDLE);
    const std::unique_ptr<QScrollArea> area = FitToScreen(*rig.Window, QSize(1366, 768));
    ASSERT_NE(area, nullptr);
    area->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get()));
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    QScrollBar& bar = *area->verticalScrollBar();
    const std::pair<const char*, int> scrolled[] = {{"small-screen", bar.minimum()},
                                                    {"small-screen-end", bar.maximum()}};
    for (const auto& [name, value] : scrolled) {
        SCOPED_TRACE(name);
        bar.setValue(value);
        QApplication::processEvents();
        const QRect strip(bar.mapTo(area.get(), QPoint(0, 0)), bar.size());
        const QRect handle = HandleOf(bar).translated(strip.topLeft());
        // The groove shows below the handle at the top and above it at the end.
        const QRect groove =
            value == bar.minimum()
                ? QRect(QPoint(strip.left(), handle.bottom() + 1), strip.bottomRight())
                : QRect(strip.topLeft(), QPoint(strip.right(), handle.top() - 1));
        ASSERT_GT(groove.height(), 20);
        for (const qreal ratio : {1.0, 2.0}) {
            SCOPED_TRACE(ratio);
            const QImage image = RenderWindow(*area, ratio);
            EXPECT_EQ(image.size(), area->size() * ratio);
            const QString file = QString::fromLatin1(name) + (ratio == 1.0 ? ".png" : "@2x.png");
            EXPECT_TRUE(image.save(QDir(KOV_SCREENS_DIR).filePath(file)));
            EXPECT_LT(Lightness(image, strip).Most, 128);
            const double handleMean =
                Lightness(image, handle.marginsRemoved(QMargins(4, 4, 4, 4))).Mean;
            EXPECT_GE(handleMean - Lightness(image, groove).Mean, 40.0);
        }
    }
    area->takeWidget();
}

// The real program's window with its own TCP client and poll timer, pointed by its settings file
// at the gateway simulator on 127.0.0.1, and driven by mouse clicks at its buttons' places.
class LiveScreen : public ::testing::Test {
protected:
    explicit LiveScreen(const std::vector<std::string>& SimFlags = {})
        : Sim(G700_SIM_PATH, SimFlags) {
        TSettingsFile file;
        file.PortNum = QString::number(Sim.Port());
        file.ConnectAuto = true;
        WriteSettingsFile(Dir.filePath(QStringLiteral("Kovalta_Config.xml")), file);
        Window = std::make_unique<TKovMainNavigation>(Dir.path());
    }

    // Waits, with the event loop running the port, until Shown holds; at most 15 s.
    static bool WaitUntil(const std::function<bool()>& Shown) {
        return QTest::qWaitFor(Shown, 15000);
    }

    static void Click(QWidget* Button) {
        QTest::mouseClick(Button, Qt::LeftButton, {}, Button->rect().center());
    }

    // The whole poll set has been served for Unit: the image holds what the simulator's
    // controller of that unit was set up with (its work timer counts from where it started),
    // and the sauna number shows it.
    bool ShowsUnit(int Unit) const {
        const TControllerSetup& setup = CONTROLLER_SETUPS[static_cast<std::size_t>(Unit - 1)];
        const TSaunaMX& image = *Window->Port->Sauna;
        const std::int32_t timer = image.ReadTableREG(REG_WORK_TIMER);
        return Window->LabSaunaAddr->text() == QStringLiteral("Sauna %1").arg(Unit) &&
               image.ReadTableREG(REG_CONTROLLER_TYPE) == setup.ControllerType &&
               image.ReadTableREG(REG_FIRMWARE_VERSION) == setup.FirmwareVersion &&
               image.ReadTableREG(REG_CONFIG_TYPE) == setup.ConfigType &&
               image.ReadTableREG(REG_HEAT_MODE) == setup.HeatMode &&
               image.ReadTableREG(REG_TEMP_SET) == setup.TempSet &&
               image.ReadTableREG(REG_WORK_TIME_SET) == setup.WorkTimeSet &&
               (image.ReadTableREG(REG_LIGHT2_AVAIL) != 0) == setup.Light2Fitted &&
               image.ReadTableBIT(BIT_HEATER) == setup.HeaterOn &&
               image.ReadTableBIT(BIT_LIGHT1) == setup.Light1On &&
               image.ReadTableBIT(BIT_AROMA) == setup.AromaOn && timer >= setup.WorkTimerStart &&
               timer <= setup.WorkTimerStart + 30;
    }

    // Waits until the window shows Unit, and a few more port events so that the status view
    // has drawn all of it.
    bool WaitUntilShown(int Unit) const {
        const bool shown = WaitUntil([this, Unit] { return ShowsUnit(Unit); });
        QTest::qWait(500);
        return shown;
    }

    TG700SimProcess Sim;
    QTemporaryDir Dir;
    std::unique_ptr<TKovMainNavigation> Window;
};

TEST_F(LiveScreen, WritesEveryPageWhileThePanelPollsTheSimulator) {
    // Nothing has run yet: the port aims at the loopback before its first tick.
    ASSERT_EQ(Window->Port->ServerTCPIPNum(), QStringLiteral("127.0.0.1"));
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    // Unit 1 of the simulator: model MX-A, version 1.23, a cold sauna set to 80 degrees.
    ASSERT_TRUE(WaitUntilShown(1));
    EXPECT_EQ(Window->LabConType->text(), QStringLiteral("MX-A"));
    EXPECT_EQ(Window->LabConVersion->text(), QStringLiteral("1.23"));
    EXPECT_EQ(Window->LabelTempSet->text(), QStringLiteral("80\u00B0C"));
    WriteWindow(*Window, QStringLiteral("live-page-0"));

    // The setpoint pages as loaded from unit 1: 80 degrees within 40 to 110, 3 hours within
    // 10 minutes and 6 hours.
    // Until the setpoint is loaded its buttons and bar are disabled, and look it.
    Click(Window->BtSelTabTemp);
    EXPECT_FALSE(Window->ScBarSetTemp->isEnabled());
    WriteWindow(*Window, QStringLiteral("live-page-1-loading"));
    ASSERT_TRUE(WaitUntil([this] {
        return Window->LabSetTemp->text() == QStringLiteral("80") &&
               Window->LabSetTempMax->text() == QStringLiteral("110") &&
               Window->LabSetTempMin->text() == QStringLiteral("40");
    }));
    WriteWindow(*Window, QStringLiteral("live-page-1"));
    Click(Window->BtSelTabTime);
    ASSERT_TRUE(WaitUntil([this] {
        return Window->LabSetTime->text() == QStringLiteral("03:00") &&
               Window->LabSetTimeMax->text() == QStringLiteral("06:00") &&
               Window->LabSetTimeMin->text() == QStringLiteral("00:10");
    }));
    WriteWindow(*Window, QStringLiteral("live-page-2"));

    Click(Window->BtSelTabParam);
    ASSERT_EQ(Window->TabControl->currentIndex(), 3);
    WriteWindow(*Window, QStringLiteral("live-page-3"));
    Click(Window->BtSelTabSettings);
    ASSERT_EQ(Window->TabControl->currentIndex(), 4);
    EXPECT_EQ(Window->LabSSSerwer->text(), QStringLiteral("SERWER STOP"));
    WriteWindow(*Window, QStringLiteral("live-page-4"));

    // Unit 2 cools down with light 1 and the vent on and lacks light 2 and aroma; unit 3, of a
    // model the panel does not know, runs hot with every fitted output on.
    for (QWidget* sauna : {Window->BtSelectSauna2, Window->BtSelectSauna3}) {
        const int unit = sauna->property("Tag").toInt();
        SCOPED_TRACE(unit);
        Click(Window->BtSelTabParam);
        Click(sauna);
        Click(Window->BtSelTabMain);
        ASSERT_TRUE(WaitUntilShown(unit));
        WriteWindow(*Window, QStringLiteral("live-sauna-%1").arg(unit));
    }
    EXPECT_EQ(Window->StatusLabel->text(), QStringLiteral("..."));
}

// The looks of the link's states, written as state-STATE-page-N for the main (0), sauna (3) and
// settings (4) pages: nothing known before any answer, live readings, a command on its way, old
// readings of a gateway silent for 7 s, a sauna the gateway cannot reach (the simulator fits
// saunas 1 and 2 only: nothing known of it), a stopped link (old readings).
class StateScreen : public LiveScreen {
protected:
    StateScreen() : LiveScreen({"--units", "2"}) {}

    // Each page opened as the operator opens it, through its bottom-bar button.
    void WriteStatePages(const QString& State) {
        const std::pair<QWidget*, int> pages[] = {
            {Window->BtSelTabMain, 0}, {Window->BtSelTabParam, 3}, {Window->BtSelTabSettings, 4}};
        for (const auto& [button, page] : pages) {
            Click(button);
            QApplication::processEvents();
            WriteWindow(*Window, QStringLiteral("state-%1-page-%2").arg(State).arg(page));
        }
    }
    bool Live() const {
        return !Window->Port->StaleREG(REG_TEMP_ACT) && !Window->Port->StaleBIT(BIT_LIGHT1) &&
               !Window->Port->StaleREG(REG_CONTROLLER_TYPE);
    }
};

TEST_F(StateScreen, WritesTheLinksStates) {
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    WriteStatePages(QStringLiteral("before-answers"));
    ASSERT_TRUE(WaitUntil([this] { return Live(); }));
    QTest::qWait(300);
    WriteStatePages(QStringLiteral("live"));

    Click(Window->BtSelTabMain);
    Click(Window->BtLight2SS);
    ASSERT_TRUE(Window->BtLight2SS->Pending());
    WriteStatePages(QStringLiteral("command-pending"));
    ASSERT_TRUE(WaitUntil([this] { return !Window->BtLight2SS->Pending(); }));

    // The gateway process held stopped: the connection stands, and nothing answers.
    Sim.Signal(SIGSTOP);
    QTest::qWait(7000);
    EXPECT_EQ(Window->Port->AgeREG(REG_TEMP_ACT), READING_OLD);
    WriteStatePages(QStringLiteral("silent"));
    Sim.Signal(SIGCONT);
    ASSERT_TRUE(WaitUntil([this] { return Live(); }));

    Click(Window->BtSelTabParam);
    Click(Window->BtSelectSauna3);
    QTest::qWait(2000);
    EXPECT_EQ(Window->Port->AgeREG(REG_TEMP_ACT), READING_UNKNOWN);
    WriteStatePages(QStringLiteral("sauna-not-fitted"));
    Click(Window->BtSelectSauna1);
    ASSERT_TRUE(WaitUntil([this] { return Live(); }));

    Click(Window->BtSelTabSettings);
    Click(Window->BtWiFiConnect);
    ASSERT_TRUE(WaitUntil([this] { return Window->Port->Status() == PORT_STOP; }));
    QTest::qWait(300);
    EXPECT_EQ(Window->Port->AgeREG(REG_TEMP_ACT), READING_OLD);
    WriteStatePages(QStringLiteral("stopped"));
}

} // namespace
