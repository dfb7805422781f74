// An operator's session end to end: the real window with its real TCP client, driven by its own
// timer, against the gateway simulator on 127.0.0.1, clicked with real mouse events at the places
// where the controls are drawn. Every wait is bounded in time.
#include "G700SimProcess.h"
#include "QtPrinters.h"
#include "WindowRig.h"

#include "TGlyph.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QCheckBox>
#include <QDomDocument>
#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Long enough for the start delay, a connect and a few rounds of the poll set on a loaded
// machine.
constexpr int WAIT_MS = 20000;

class OperatorSession : public ::testing::Test {
protected:
    explicit OperatorSession(const std::vector<std::string>& SimFlags = {})
        : Sim(G700_SIM_PATH, SimFlags) {
        TSettingsFile file;
        file.Address = QStringLiteral("127.0.0.1");
        file.PortNum = QString::number(Sim.Port());
        file.ConnectAuto = true;
        WriteSettingsFile(SettingsPath(), file);
        Window = std::make_unique<TKovMainNavigation>(Dir.path());
    }

    QString SettingsPath() const { return Dir.filePath(QStringLiteral("Kovalta_Config.xml")); }

    // A left click where Control is drawn, through the window as the mouse would give it.
    void ClickAt(QWidget* Control) {
        const QPoint at = Control->mapTo(Window.get(), Control->rect().center());
        QTest::mouseClick(Window->windowHandle(), Qt::LeftButton, {}, at);
    }
    // A click on a check box's indicator at its left end.
    void ClickBoxAt(QCheckBox* Box) {
        const QPoint at = Box->mapTo(Window.get(), QPoint(8, Box->height() / 2));
        QTest::mouseClick(Window->windowHandle(), Qt::LeftButton, {}, at);
    }

    static bool WaitFor(const std::function<bool()>& Done) {
        return QTest::qWaitFor(Done, WAIT_MS);
    }

    // The simulator has said Text, while the panel runs on; within the wait of WaitFor.
    bool SimSays(const std::string& Text) {
        return WaitFor([&] { return Sim.WaitForLine(Text, std::chrono::milliseconds(1)); });
    }
    // The simulator has not said Text after the panel ran on for Ms.
    bool SimSilentOn(const std::string& Text, int Ms) {
        QTest::qWait(Ms);
        return !Sim.WaitForLine(Text, std::chrono::milliseconds(1));
    }

    QString Saved(const QString& Name) const {
        QFile file(SettingsPath());
        QDomDocument document;
        if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file)) {
            return {};
        }
        return document.documentElement().firstChildElement(Name).text();
    }

    TG700SimProcess Sim;
    QTemporaryDir Dir;
    std::unique_ptr<TKovMainNavigation> Window;
};

TEST_F(OperatorSession, RunsTheSaunaFromThePanel) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // The simulator's unit 1: model 0x41, version 0x123, 21.0 degrees of 80, every output off.
    ASSERT_TRUE(WaitFor([&] {
        return w.LabConType->text() == "MX-A" && w.LEDDisp2->ImageIndex() == 2 &&
               w.LabSetWorkTime->text() == "03:00";
    }));
    EXPECT_EQ(w.LabConVersion->text(), "1.23");
    EXPECT_EQ(w.LEDDisp1->ImageIndex(), 10);
    EXPECT_EQ(w.LEDDisp2->ImageIndex(), 2);
    EXPECT_EQ(w.LEDDisp3->ImageIndex(), 1);
    EXPECT_EQ(w.LabelTempSet->text(), QString::fromUtf8("80\u00B0C"));
    EXPECT_EQ(w.LabSetWorkTime->text(), "03:00");
    for (const TRectangle* lamp :
         {w.LampHeater, w.LampLight1, w.LampLight2, w.LampVent, w.LampAroma}) {
        EXPECT_EQ(lamp->FillKind(), TRectangle::FILL_SOLID) << lamp->objectName().toStdString();
    }

    // Light 1 switches on, and the heating mode steps from 0 to 1.
    ClickAt(w.BtLight1SS);
    EXPECT_TRUE(WaitFor([&] { return w.LampLight1->FillKind() == TRectangle::FILL_GRADIENT; }));
    EXPECT_EQ(w.BtLight1SS->ImageList(), w.ImageListBC);
    ClickAt(w.BtSaunaMode);
    EXPECT_TRUE(WaitFor([&] { return w.BtSaunaMode->ImageIndex() == 1; }));

    // The temperature page loads 80 within 40 to 110, steps to 82 and stores it.
    ClickAt(w.BtSelTabTemp);
    ASSERT_TRUE(WaitFor([&] { return w.LabSetTemp->text() == "80"; }));
    EXPECT_EQ(w.LabSetTempMax->text(), "110");
    EXPECT_EQ(w.LabSetTempMin->text(), "40");
    ClickAt(w.BtSetTempUp);
    ClickAt(w.BtSetTempUp);
    EXPECT_EQ(w.LabSetTemp->text(), "82");
    ClickAt(w.BtSetTempWrite);
    EXPECT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("82\u00B0C"); }));
    EXPECT_TRUE(Sim.WaitForLine("setpoint 820", std::chrono::seconds(2)));

    // The work-time page loads 3 hours within 10 minutes and 6 hours, steps and stores.
    ClickAt(w.BtSelTabTime);
    ASSERT_TRUE(WaitFor([&] { return w.LabSetTime->text() == "03:00"; }));
    EXPECT_EQ(w.LabSetTimeMax->text(), "06:00");
    EXPECT_EQ(w.LabSetTimeMin->text(), "00:10");
    ClickAt(w.BtSetTimeUp);
    EXPECT_EQ(w.LabSetTime->text(), "03:10");
    ClickAt(w.BtSetTimeWrite);
    EXPECT_TRUE(WaitFor([&] { return w.LabSetWorkTime->text() == "03:10"; }));

    // Sauna 3: an unknown model at version 1.A4, 110 degrees set, no vent fitted.
    ClickAt(w.BtSelTabParam);
    ASSERT_EQ(w.TabControl->currentWidget(), w.TabSetSauna);
    ClickAt(w.BtSelectSauna3);
    EXPECT_TRUE(WaitFor([&] { return w.LabConVersion->text() == "1.A4"; }));
    EXPECT_EQ(w.LabSaunaAddr->text(), "Sauna 3");
    EXPECT_EQ(w.LabConType->text(), "");
    EXPECT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("110\u00B0C"); }));
    EXPECT_TRUE(WaitFor([&] { return !w.BtVentSS->isEnabled(); }));

    // The link stops at the end of the transaction in flight, and nothing is sent after that.
    ClickAt(w.BtSelTabMain);
    ClickAt(w.BtSelTabSettings);
    EXPECT_EQ(w.LabSSSerwer->text(), "SERWER STOP");
    ClickAt(w.BtWiFiConnect);
    EXPECT_EQ(w.LabSSSerwer->text(), "SERWER START");
    ASSERT_TRUE(WaitFor([&] { return w.Port->Status() == PORT_STOP; }));
    const std::int32_t lastSent = w.Port->TransID();
    QTest::qWait(1500);
    EXPECT_EQ(w.Port->TransID(), lastSent);
    EXPECT_EQ(w.Port->Status(), PORT_STOP);
    EXPECT_EQ(TextColor(w.LabG700Stat).rgba(), 0xFFFF0000u);

    // Started again: a fresh connection, and the poll set goes on for sauna 3.
    ClickAt(w.BtWiFiConnect);
    EXPECT_EQ(w.LabSSSerwer->text(), "SERWER STOP");
    EXPECT_TRUE(Sim.WaitForLine("closed by the client", std::chrono::seconds(5)));
    EXPECT_TRUE(WaitFor([&] { return w.Port->TransID() > 5 && w.Port->Status() != PORT_STOP; }));
    EXPECT_EQ(w.RectConnStatus->FillColor().rgba(), 0xFFADFF2Fu);

    // The operator switches the address mode and closes the window: the settings are saved.
    ClickBoxAt(w.CheckBoxIPAuto);
    w.close();
    Window.reset();
    EXPECT_EQ(Saved("ServerTCP-IP"), "127.0.0.1");
    EXPECT_EQ(Saved("ServerTCP-Port"), QString::number(Sim.Port()));
    EXPECT_EQ(Saved("ServerTCP-ConstIP"), "0");
    EXPECT_EQ(Saved("ServerTCP-AutoIP"), "1");
    EXPECT_EQ(Saved("ServerTCP-ConnectAuto"), "1");
}

// Controllers that take 800 ms to load the edit block, and an operator who does not wait.
class SlowControllerSession : public OperatorSession {
protected:
    SlowControllerSession() : OperatorSession({"--edit-delay", "800"}) {}

    // The page has the setpoint: its caption no longer says that it loads.
    bool TempPageLoaded() const {
        const auto* caption = Window->findChild<QLabel*>(QStringLiteral("LabSetTempState"));
        return caption != nullptr && caption->text().isEmpty() &&
               Window->LabSetTemp->text() != QStringLiteral("50");
    }
    QString Caption(const char* Page) const {
        return Window->findChild<QLabel*>(QLatin1String(Page) + QStringLiteral("State"))->text();
    }
    // What the simulator's unit 1 has said it took into its edit block, in order, as
    // register := value.
    std::vector<std::string> EditBlockWrites() {
        std::vector<std::string> writes;
        const std::pair<const char*, const char*> kinds[] = {
            {"command 230 ", "2:=230"},
            {"command 255 ", "2:=255"},
            {"command 330 ", "2:=330"},
            {"command 331 ", "2:=331"},
        };
        for (const std::string& line : Sim.Lines()) {
            if (line.find("unit 1: ") == std::string::npos) {
                continue;
            }
            const std::size_t value = line.find("edit value set to ");
            if (value != std::string::npos) {
                writes.push_back("102:=" + line.substr(value + 18));
            }
            for (const auto& [said, write] : kinds) {
                if (line.find(said) != std::string::npos) {
                    writes.push_back(write);
                }
            }
        }
        return writes;
    }
    // The work-time page has loaded unit 1's three hours.
    bool TimePageLoaded() const {
        return Caption("LabSetTime").isEmpty() && Window->LabSetTime->text() == "03:00";
    }
};

TEST_F(SlowControllerSession, StoresOnlyWhatThePageShowedToTheSaunaItShowed) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("80\u00B0C"); }));

    // Store pressed at once: the controller has not loaded its setpoint, nothing is stored.
    ClickAt(w.BtSelTabTemp);
    ClickAt(w.BtSetTempWrite);
    ASSERT_TRUE(WaitFor([&] { return TempPageLoaded(); }));
    EXPECT_TRUE(SimSilentOn("store temperature", 1500));
    EXPECT_EQ(w.LabSetTemp->text(), "80");

    // Store, up, store as fast as the mouse goes: the controller ends at what the page shows.
    ClickAt(w.BtSetTempWrite);
    ClickAt(w.BtSetTempUp);
    ClickAt(w.BtSetTempWrite);
    EXPECT_EQ(w.LabSetTemp->text(), "81");
    EXPECT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("81\u00B0C"); }));
    EXPECT_TRUE(SimSays("unit 1: command 330 (store temperature): setpoint 810"));

    // Store, then sauna 2 at once: the store reaches sauna 1, and sauna 2 is untouched.
    ClickAt(w.BtSetTempUp);
    ClickAt(w.BtSetTempWrite);
    ClickAt(w.BtSelTabParam);
    ClickAt(w.BtSelectSauna2);
    EXPECT_TRUE(SimSays("unit 1: command 330 (store temperature): setpoint 820"));
    EXPECT_TRUE(WaitFor([&] { return w.LabSaunaAddr->text() == "Sauna 2"; }));
    EXPECT_TRUE(SimSilentOn("unit 2: command 330", 1500));
    EXPECT_TRUE(SimSilentOn("unit 2: command 230", 0));
}

// Work time stored, then the temperature page at once: the temperature's load waits until the
// store has ended, so the controller stores the work time the page showed.
TEST_F(SlowControllerSession, AStoreThenTheOtherPageAtOnceStoresWhatThePageShowed) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ClickAt(w.BtSelTabTime);
    ASSERT_TRUE(WaitFor([&] { return TimePageLoaded(); }));
    ClickAt(w.BtSetTimeUp);
    ClickAt(w.BtSetTimeWrite);
    ClickAt(w.BtSelTabTemp);
    EXPECT_TRUE(SimSays("unit 1: command 331 (store work time): setpoint 190"));
    EXPECT_TRUE(WaitFor([&] { return TempPageLoaded(); }));
    EXPECT_EQ(w.LabSetTemp->text(), "80");
    EXPECT_TRUE(WaitFor([&] { return w.LabSetWorkTime->text() == "03:10"; }));
    EXPECT_TRUE(SimSays("unit 1: command 230"));
    EXPECT_EQ(EditBlockWrites(),
              (std::vector<std::string>{"2:=255", "102:=190", "2:=331", "2:=230"}));
}

// The same with the link stopped right after the store: the page opened while it stops cannot
// load; once started again the store goes on whole, and the page opened again loads after it.
TEST_F(SlowControllerSession, AStoreSurvivesAStopAndStartBeforeTheOtherPage) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ClickAt(w.BtSelTabTime);
    ASSERT_TRUE(WaitFor([&] { return TimePageLoaded(); }));
    ClickAt(w.BtSetTimeUp);
    ClickAt(w.BtSetTimeWrite);
    ClickAt(w.BtSelTabSettings);
    ClickAt(w.BtWiFiConnect);
    ClickAt(w.BtSelTabTemp);
    EXPECT_EQ(Caption("LabSetTemp"), QStringLiteral("Nie udało się wczytać nastawy"));
    ASSERT_TRUE(WaitFor([&] { return w.Port->Status() == PORT_STOP; }));
    ClickAt(w.BtSelTabSettings);
    ClickAt(w.BtWiFiConnect);
    EXPECT_TRUE(SimSays("unit 1: command 331 (store work time): setpoint 190"));
    ClickAt(w.BtSelTabTemp);
    EXPECT_TRUE(WaitFor([&] { return TempPageLoaded(); }));
    EXPECT_TRUE(WaitFor([&] { return w.LabSetWorkTime->text() == "03:10"; }));
    EXPECT_TRUE(SimSays("unit 1: command 230"));
    EXPECT_EQ(EditBlockWrites(),
              (std::vector<std::string>{"2:=255", "102:=190", "2:=331", "2:=230"}));
}

// A controller that takes a minute to load its edit block: the page reads the block ten times,
// then says the load failed; nothing can be stored meanwhile, and opening the page again loads
// anew.
class NeverLoadingSession : public OperatorSession {
protected:
    NeverLoadingSession() : OperatorSession({"--edit-delay", "60000"}) {}

    std::size_t LoadCommands() { return Sim.CountLines("unit 1: command 230 "); }
};

TEST_F(NeverLoadingSession, TheLoadGivesUpAndThePageSaysSo) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("80\u00B0C"); }));
    ClickAt(w.BtSelTabTemp);
    const auto* caption = w.findChild<QLabel*>(QStringLiteral("LabSetTempState"));
    EXPECT_EQ(caption->text(), QStringLiteral("Wczytywanie nastawy..."));
    ClickAt(w.BtSetTempUp);
    ClickAt(w.BtSetTempWrite);
    // Ten reads of the block, each a round of the slot table apart.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return caption->text() == QStringLiteral("Nie udało się wczytać nastawy"); },
        2 * WAIT_MS));
    for (QWidget* control :
         {static_cast<QWidget*>(w.BtSetTempUp), static_cast<QWidget*>(w.BtSetTempWrite),
          static_cast<QWidget*>(w.ScBarSetTemp)}) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }
    ClickAt(w.BtSetTempWrite);
    EXPECT_TRUE(SimSilentOn("edit value set to", 1000));
    EXPECT_TRUE(SimSilentOn("command 330", 0));
    EXPECT_EQ(LoadCommands(), 1U);
    ClickAt(w.BtSelTabMain);
    ClickAt(w.BtSelTabTemp);
    EXPECT_EQ(caption->text(), QStringLiteral("Wczytywanie nastawy..."));
    EXPECT_TRUE(WaitFor([&] { return LoadCommands() == 2U; }));
}

// A new or reset controller holds 0 for its setpoints, below its limits: the page shows 0, and
// the first step up brings it to 40 degrees, which the controller stores.
class ZeroSetpointSession : public OperatorSession {
protected:
    ZeroSetpointSession() : OperatorSession({"--zero-setpoints"}) {}
};

TEST_F(ZeroSetpointSession, TheSetpointCanBeSetFromThePage) {
    TKovMainNavigation& w = *Window;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("0\u00B0C"); }));
    ClickAt(w.BtSelTabTemp);
    const auto* caption = w.findChild<QLabel*>(QStringLiteral("LabSetTempState"));
    ASSERT_TRUE(WaitFor([&] { return caption->text().isEmpty(); }));
    EXPECT_EQ(w.LabSetTemp->text(), "0");
    EXPECT_EQ(w.LabSetTempMin->text(), "40");
    ClickAt(w.BtSetTempUp);
    EXPECT_EQ(w.LabSetTemp->text(), "40");
    ClickAt(w.BtSetTempWrite);
    EXPECT_TRUE(WaitFor([&] {
        return Sim.WaitForLine("unit 1: command 330 (store temperature): setpoint 400",
                               std::chrono::milliseconds(1));
    }));
    EXPECT_TRUE(WaitFor([&] { return w.LabelTempSet->text() == QString::fromUtf8("40\u00B0C"); }));
    EXPECT_TRUE(WaitFor([&] { return caption->text().isEmpty(); }));
}

} // namespace
