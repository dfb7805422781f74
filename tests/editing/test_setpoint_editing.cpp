// Setpoint editing on the real window and the scripted gateway: the load command, the read of
// the edit block and its re-reads, loads and stores taking turns on the edit block, the up and
// down steps, the scroll bars, the store as one unit of work, and the page's loading and
// unstored looks; then the same against controllers that take their time to load the edit block,
// with an operator who clicks fast and changes saunas: the reported races as one table,
// setpoints outside their limits, and openings that must end. Register numbers and command codes
// are written out as the controller knows them.
#include "ControllerBus.h"
#include "LinkedWindow.h"
#include "ModbusReplies.h"
#include "SetpointOperator.h"
#include "TextColor.h"

#include "QtPrinters.h"
#include "TFitLabel.h"
#include "TScrollBar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint8_t WRITE_REGISTER = 6;
constexpr std::uint8_t READ_REGISTERS = 3;
constexpr std::int32_t COMMAND = 2;
constexpr std::int32_t TEMP_SET = 14;
constexpr std::int32_t WORK_TIME_SET = 55;
constexpr std::int32_t EDIT_VALUE = 102;
constexpr std::int32_t EDIT_MIN = 103;
constexpr std::int32_t EDIT_MAX = 104;
constexpr std::int32_t EDIT_STEP = 107;
constexpr std::int32_t EDIT_TEMP = 230;
constexpr std::int32_t EDIT_TIME = 255;
constexpr std::int32_t STORE_TEMP = 330;
constexpr std::int32_t STORE_TIME = 331;

void Click(QWidget* Control) {
    QTest::mouseClick(Control, Qt::LeftButton);
}

// What a setpoint page shows: its three labels and its scroll bar.
struct TPageView {
    QString Value;
    QString Max;
    QString Min;
    double BarMin;
    double BarMax;
    double BarValue;
};

class SetpointEditing : public ::testing::Test {
protected:
    // The controller's edit block as the next read of it brings.
    void EditBlock(std::int32_t Value, std::int32_t Min, std::int32_t Max, std::int32_t Step) {
        Link.Controller.WriteTableREG(EDIT_VALUE, Value);
        Link.Controller.WriteTableREG(EDIT_MIN, Min);
        Link.Controller.WriteTableREG(EDIT_MAX, Max);
        Link.Controller.WriteTableREG(EDIT_STEP, Step);
    }

    // The controller's setpoint, once the poll set has brought it into the image.
    void Setpoint(std::int32_t Reg, std::int32_t Val) {
        Link.Controller.WriteTableREG(Reg, Val);
        ASSERT_TRUE(Link.TickUntil([&] { return Link.Image().ReadTableREG(Reg) == Val; }));
    }

    int BlockReads() const { return Link.CountRequests(READ_REGISTERS, EDIT_VALUE, 7); }
    // Runs ticks until one more read of the edit block has been answered.
    bool ReadAnswered() { return Link.TickUntilAnswered(READ_REGISTERS, EDIT_VALUE, 7); }
    // Opens the temperature page and waits for its first read.
    void OpenTempPage() {
        Click(Window.BtSelTabTemp);
        ASSERT_TRUE(ReadAnswered());
    }
    // Runs enough ticks for any further read to be sent: the poll set and a margin.
    void Settle() { Link.Rig.Tick(3 * 10); }

    std::int32_t EditValue() { return Link.Image().ReadTableREG(EDIT_VALUE); }

    // The controller loads the edit block at once on a load command: the temperature with limits
    // of 40 to 110 degrees, the work time with TimeMin to TimeMax, steps of 10.
    void LoadOnCommand(std::int32_t TimeMin, std::int32_t TimeMax) {
        Link.OnRequest = [this, TimeMin, TimeMax](const TWireRequest& Request) {
            if (Request.Function != WRITE_REGISTER || Request.First != COMMAND) {
                return;
            }
            if (Request.Word == EDIT_TEMP) {
                EditBlock(Link.Controller.ReadTableREG(TEMP_SET), 400, 1100, 10);
            }
            if (Request.Word == EDIT_TIME) {
                EditBlock(Link.Controller.ReadTableREG(WORK_TIME_SET), TimeMin, TimeMax, 10);
            }
        };
    }
    // The load commands (their codes) and the reads of the edit block (-1), in the order sent.
    std::vector<std::int32_t> LoadsAndReads() const {
        std::vector<std::int32_t> sent;
        for (const TWireRequest& r : Link.Requests()) {
            if (r.Function == WRITE_REGISTER && r.First == COMMAND &&
                (r.Word == EDIT_TEMP || r.Word == EDIT_TIME)) {
                sent.push_back(r.Word);
            }
            if (r.Function == READ_REGISTERS && r.First == EDIT_VALUE) {
                sent.push_back(-1);
            }
        }
        return sent;
    }

    void ExpectTempPage(const TPageView& View) {
        ExpectPage(View, Window.LabSetTemp, Window.LabSetTempMax, Window.LabSetTempMin,
                   Window.ScBarSetTemp);
    }
    void ExpectTimePage(const TPageView& View) {
        ExpectPage(View, Window.LabSetTime, Window.LabSetTimeMax, Window.LabSetTimeMin,
                   Window.ScBarSetTime);
    }
    static void ExpectPage(const TPageView& View, QLabel* Value, QLabel* Max, QLabel* Min,
                           TScrollBar* Bar) {
        EXPECT_EQ(Value->text(), View.Value);
        EXPECT_EQ(Max->text(), View.Max);
        EXPECT_EQ(Min->text(), View.Min);
        EXPECT_EQ(Bar->Min(), View.BarMin);
        EXPECT_EQ(Bar->Max(), View.BarMax);
        EXPECT_EQ(Bar->Value(), View.BarValue);
    }

    LinkedWindow Link;
    TKovMainNavigation& Window = Link.Window();
};

// The layout's state of the two pages, which they keep until a read of the block completes.
const TPageView TempLayout{"50", "110", "40", 40, 110, 50};
const TPageView TimeLayout{"02:00", "10:30", "00:30", 3, 24, 12};

struct TOpenCase {
    std::string Button;
    std::int32_t LoadCommand;
    int Page;
};

void PrintTo(const TOpenCase& Case, std::ostream* Out) {
    *Out << Case.Button;
}

class OpeningAPage : public SetpointEditing, public ::testing::WithParamInterface<TOpenCase> {};

TEST_P(OpeningAPage, SendsTheLoadCommandThenReadsTheEditBlock) {
    Link.Image().WriteTableREG(EDIT_VALUE, 555);
    Link.Controller.WriteTableREG(EDIT_VALUE, 1234); // a value the page never shows unasked
    Click(Window.findChild<QWidget*>(QString::fromStdString(GetParam().Button)));
    EXPECT_EQ(Window.TabControl->currentIndex(), GetParam().Page);
    EXPECT_EQ(EditValue(), 0);
    ExpectTempPage(TempLayout);
    ExpectTimePage(TimeLayout);

    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, COMMAND, GetParam().LoadCommand));
    // Nothing is refreshed until the read of the block has come back.
    ExpectTempPage(TempLayout);
    ExpectTimePage(TimeLayout);
    ASSERT_TRUE(ReadAnswered());
    const std::vector<TWireRequest> requests = Link.Requests();
    const auto load = std::find_if(requests.begin(), requests.end(), [](const TWireRequest& r) {
        return r.Function == WRITE_REGISTER && r.First == COMMAND;
    });
    const auto read = std::find_if(requests.begin(), requests.end(), [](const TWireRequest& r) {
        return r.Function == READ_REGISTERS && r.First == EDIT_VALUE;
    });
    ASSERT_LT(load, read);
    EXPECT_EQ(load->Unit, 1);
    EXPECT_EQ(read->Unit, 1);
    EXPECT_EQ(read->Word, 7);
}

INSTANTIATE_TEST_SUITE_P(ThreeWays, OpeningAPage,
                         ::testing::Values(TOpenCase{"BtSelTabTemp", EDIT_TEMP, 1},
                                           TOpenCase{"Rectangle7LED", EDIT_TEMP, 1},
                                           TOpenCase{"BtSelTabTime", EDIT_TIME, 2}),
                         [](const auto& info) { return info.param.Button; });

TEST_F(SetpointEditing, ALoadedSetpointIsShownAndReadOnce) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    OpenTempPage();
    ExpectTempPage({"80", "110", "40", 40, 110, 80});
    EXPECT_EQ(EditValue(), 800);
    Settle();
    EXPECT_EQ(BlockReads(), 1);
}

// The page's value, limits and caption as the operator sees them.
struct TPageLook {
    QRgb Value;
    QRgb Limits;
    QString Caption;
};

constexpr QRgb LAYOUT_RED = 0xFFB22222; // the value as the layout draws it
constexpr QRgb GREY = 0xFF696969;
constexpr QRgb ORANGE = 0xFFFFA500;

void ExpectTempLook(TKovMainNavigation& Window, const TPageLook& Look) {
    const auto* caption = Window.findChild<QLabel*>(QStringLiteral("LabSetTempState"));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(TextColor(Window.LabSetTemp).rgba(), Look.Value);
    EXPECT_EQ(TextColor(Window.LabSetTempMax).rgba() == GREY, Look.Limits == GREY);
    EXPECT_EQ(TextColor(Window.LabSetTempMin).rgba() == GREY, Look.Limits == GREY);
    EXPECT_EQ(caption->text(), Look.Caption);
    EXPECT_TRUE(caption->isVisibleTo(Window.TabSetTemp));
}

const TPageLook Loading{GREY, GREY, "Wczytywanie nastawy..."};
const TPageLook Shown{LAYOUT_RED, 0, ""};

// Until the block holds the setpoint the page keeps what it showed, greyed, and says it loads.
TEST_F(SetpointEditing, TheBlockIsReadAgainUntilItHoldsTheSetpoint) {
    Setpoint(TEMP_SET, 800);
    EditBlock(700, 400, 1100, 10);
    OpenTempPage();
    ExpectTempPage(TempLayout);
    ExpectTempLook(Window, Loading);
    ASSERT_TRUE(ReadAnswered());
    EXPECT_EQ(BlockReads(), 2);
    Link.Controller.WriteTableREG(EDIT_VALUE, 800);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"80", "110", "40", 40, 110, 80});
    ExpectTempLook(Window, Shown);
    Settle();
    EXPECT_EQ(BlockReads(), 3);
}

TEST_F(SetpointEditing, ReReadsStopAtTenPerOpeningAndThePageSaysItCouldNotLoad) {
    Setpoint(WORK_TIME_SET, 120);
    int reads = 0;
    Link.OnRequest = [this, &reads](const TWireRequest& Request) {
        if (Request.Function == READ_REGISTERS && Request.First == EDIT_VALUE) {
            EditBlock(130 + 10 * ++reads, 30, 630, 10); // never the setpoint
        }
    };
    Click(Window.BtSelTabTime);
    Link.TickUntil([this] { return BlockReads() == 10; });
    Settle();
    Settle();
    EXPECT_EQ(BlockReads(), 10);
    ExpectTimePage(TimeLayout);
    const auto* caption = Window.findChild<QLabel*>(QStringLiteral("LabSetTimeState"));
    EXPECT_EQ(caption->text(), QStringLiteral("Nie udało się wczytać nastawy"));
    EXPECT_EQ(TextColor(Window.LabSetTime).rgba(), GREY);
    // Store stays refused.
    Click(Window.BtSetTimeWrite);
    Settle();
    EXPECT_EQ(Link.CountRequests(WRITE_REGISTER, EDIT_VALUE), 0);

    // A new opening reads again, up to its own bound.
    Click(Window.BtSelTabTime);
    Link.TickUntil([this] { return BlockReads() == 20; });
    Settle();
    EXPECT_EQ(BlockReads(), 20);
}

// A load whose command is on its way runs to its end, so that the controller has finished
// loading before anything else uses its edit block; its read touches no page and leaves the
// image's edit block as the open page holds it.
TEST_F(SetpointEditing, LeavingThePageLetsAStartedLoadEndWithoutTouchingThePage) {
    EditBlock(800, 400, 1100, 10);
    Setpoint(TEMP_SET, 800);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabMain);
    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, COMMAND, EDIT_TEMP));
    ASSERT_TRUE(ReadAnswered());
    Settle();
    EXPECT_EQ(BlockReads(), 1);
    EXPECT_EQ(EditValue(), 0);
    ExpectTempPage(TempLayout);
}

// The temperature's load, already on its way, ends first; the work-time page loads after it and
// only it shows a setpoint.
TEST_F(SetpointEditing, SwitchingToTheWorkTimePageShowsOnlyItsLoad) {
    Setpoint(TEMP_SET, 800);
    Setpoint(WORK_TIME_SET, 125);
    LoadOnCommand(30, 630);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(Link.TickUntil([this] { return Window.LabSetTime->text() == "02:05"; }));
    Settle();
    EXPECT_EQ(BlockReads(), 2);
    ExpectTimePage({"02:05", "10:30", "00:30", 3, 63, 12});
    ExpectTempPage(TempLayout);
    EXPECT_EQ(LoadsAndReads(), (std::vector<std::int32_t>{EDIT_TEMP, -1, EDIT_TIME, -1}));
}

// Two openings, two loads, one after the other on the edit block; the page shows the second.
TEST_F(SetpointEditing, ASecondOpeningLoadsAfterTheFirstLoadHasEnded) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 500, 1000, 10);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage(TempLayout);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"80", "100", "50", 50, 100, 80});
    Settle();
    EXPECT_EQ(LoadsAndReads(), (std::vector<std::int32_t>{EDIT_TEMP, -1, EDIT_TEMP, -1}));
}

struct TStepCase {
    std::string Name;
    std::int32_t Loaded; // the value the read brings, also the setpoint
    std::int32_t Step;
    std::vector<std::string> Clicks;
    std::int32_t EditedValue;
    const char* Label;
    double Bar;
};

void PrintTo(const TStepCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class UpAndDown : public SetpointEditing, public ::testing::WithParamInterface<TStepCase> {};

// Each click moves the value by exactly the controller's step, held within its limits (40 to
// 110 degrees); the bar shows the value in whole degrees and never changes it.
TEST_P(UpAndDown, StepByTheControllersStepWithinItsLimits) {
    const TStepCase& step = GetParam();
    Setpoint(TEMP_SET, step.Loaded);
    EditBlock(step.Loaded, 400, 1100, step.Step);
    OpenTempPage();
    const std::size_t sent = Link.Requests().size();
    for (const std::string& name : step.Clicks) {
        Click(Window.findChild<QWidget*>(QString::fromStdString(name)));
    }
    EXPECT_EQ(EditValue(), step.EditedValue);
    EXPECT_EQ(Window.LabSetTemp->text(), step.Label);
    EXPECT_EQ(Window.ScBarSetTemp->Value(), step.Bar);
    // Steps change the image only.
    EXPECT_EQ(Window.Port->Sockets->Count(), 5);
    EXPECT_EQ(Link.Requests().size(), sent);
}

INSTANTIATE_TEST_SUITE_P(
    TemperaturePage, UpAndDown,
    ::testing::Values(
        TStepCase{"Up", 800, 10, {"BtSetTempUp"}, 810, "81", 81},
        TStepCase{"UpStopsAtTheMaximum", 1095, 10, {"BtSetTempUp"}, 1100, "110", 110},
        TStepCase{"UpAtTheMaximumDoesNothing", 1100, 10, {"BtSetTempUp"}, 1100, "110", 110},
        TStepCase{"OddStepLeavesTheBarUntilAWholeDegree", 800, 5, {"BtSetTempUp"}, 805, "80", 80},
        TStepCase{"OddStepTwice", 800, 5, {"BtSetTempUp", "BtSetTempUp"}, 810, "81", 81},
        TStepCase{"UpBySeven", 800, 7, {"BtSetTempUp"}, 807, "80", 80},
        TStepCase{"Down", 800, 10, {"BtSetTempDn"}, 790, "79", 79},
        TStepCase{"DownBySeven", 800, 7, {"BtSetTempDn", "BtSetTempDn"}, 786, "78", 78},
        TStepCase{"DownStopsAtTheMinimum", 405, 10, {"BtSetTempDn"}, 400, "40", 40},
        TStepCase{"DownAtTheMinimumDoesNothing", 400, 10, {"BtSetTempDn"}, 400, "40", 40}),
    [](const auto& info) { return info.param.Name; });

// Off the bar's grid: 02:05 in steps of 15 minutes goes 02:20, 02:35 whatever the bar shows.
TEST_F(SetpointEditing, WorkTimeStepsKeepMinutesOffTheBarsGrid) {
    Setpoint(WORK_TIME_SET, 125);
    EditBlock(125, 30, 630, 15);
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    Click(Window.BtSetTimeUp);
    EXPECT_EQ(EditValue(), 140);
    EXPECT_EQ(Window.LabSetTime->text(), "02:20");
    Click(Window.BtSetTimeUp);
    EXPECT_EQ(EditValue(), 155);
    EXPECT_EQ(Window.LabSetTime->text(), "02:35");
    EXPECT_EQ(Window.ScBarSetTime->Value(), 15);
    Click(Window.BtSetTimeDn);
    EXPECT_EQ(EditValue(), 140);
}

TEST_F(SetpointEditing, StepsAndStoreWaitForTheFirstReadOfTheBlock) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    Click(Window.BtSelTabTemp);
    for (QWidget* button :
         {static_cast<QWidget*>(Window.BtSetTempUp), static_cast<QWidget*>(Window.BtSetTempDn),
          static_cast<QWidget*>(Window.BtSetTempWrite)}) {
        Click(button);
    }
    EXPECT_EQ(EditValue(), 0);
    EXPECT_EQ(Window.Port->Sockets->Count(), 6); // the poll set and the load command
    ASSERT_TRUE(ReadAnswered());
    Settle();
    EXPECT_EQ(Link.CountRequests(WRITE_REGISTER, EDIT_VALUE), 0);

    Click(Window.BtSetTempUp);
    Click(Window.BtSetTempWrite);
    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, COMMAND, STORE_TEMP));
    EXPECT_EQ(Link.Controller.ReadTableREG(EDIT_VALUE), 810);
}

// A read the temperature page asked for that completes after the work-time page was opened
// holds the temperature: it must not unlock the work-time page, whose store would write it as
// the work time.
TEST_F(SetpointEditing, AReadForTheOtherPageDoesNotUnlockStepsOrStore) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(Link.TickUntil([this] { return BlockReads() == 1; }));
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    // The temperature's read ended its chain and left the image's edit block to the open page.
    EXPECT_EQ(EditValue(), 0);
    const std::int32_t queued = Window.Port->Sockets->Count();
    Click(Window.BtSetTimeUp);
    Click(Window.BtSetTimeWrite);
    EXPECT_EQ(EditValue(), 0);
    EXPECT_EQ(Window.Port->Sockets->Count(), queued);
}

struct TStoreCase {
    std::string Page;
    std::int32_t Setpoint;
    std::int32_t Step;
    int Ups;
    std::int32_t Edited;
    std::int32_t StoreCommand;
};

void PrintTo(const TStoreCase& Case, std::ostream* Out) {
    *Out << Case.Page;
}

class Store : public SetpointEditing, public ::testing::WithParamInterface<TStoreCase> {};

// The value goes out first; the store command follows once the value is answered, and the page
// shows the edit as unstored until then.
TEST_P(Store, WritesTheValueThenTheStoreCommand) {
    const TStoreCase& store = GetParam();
    Setpoint(store.Setpoint, 600);
    EditBlock(600, 30, 1100, store.Step);
    const bool temp = store.Setpoint == TEMP_SET;
    Click(temp ? Window.BtSelTabTemp : Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    for (int up = 0; up < store.Ups; ++up) {
        Click(temp ? Window.BtSetTempUp : Window.BtSetTimeUp);
    }
    if (temp) {
        ExpectTempLook(Window, {ORANGE, 0, "Zmiana niezapisana"});
    }
    const TKovMode mode = Window.KovMode;
    Click(temp ? Window.BtSetTempWrite : Window.BtSetTimeWrite);
    EXPECT_EQ(Window.KovMode, mode);
    EXPECT_EQ(Window.TabControl->currentIndex(), temp ? 1 : 2);
    if (temp) {
        ExpectTempLook(Window, {ORANGE, 0, "Zapisywanie..."});
    }

    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, COMMAND, store.StoreCommand));
    std::vector<std::pair<std::int32_t, std::int32_t>> writes;
    for (const TWireRequest& request : Link.Requests()) {
        if (request.Function == WRITE_REGISTER &&
            (request.First != COMMAND || request.Word == store.StoreCommand)) {
            writes.emplace_back(request.First, request.Word);
        }
    }
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{
        {EDIT_VALUE, store.Edited}, {COMMAND, store.StoreCommand}};
    EXPECT_EQ(writes, expected);
    if (temp) {
        ExpectTempLook(Window, Shown);
    }
    // The page is not read back.
    Settle();
    EXPECT_EQ(BlockReads(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    BothPages, Store,
    ::testing::Values(TStoreCase{"Temperature", TEMP_SET, 10, 5, 650, STORE_TEMP},
                      TStoreCase{"WorkTime", WORK_TIME_SET, 15, 2, 630, STORE_TIME}),
    [](const auto& info) { return info.param.Page; });

TEST_F(SetpointEditing, ABarMovedToAFractionRoundsHalvesToEvenAndSnaps) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    OpenTempPage();
    const std::vector<std::tuple<double, std::int32_t, double>> cases{
        {85.5, 860, 86}, {84.5, 840, 84}, {84.4, 840, 84}, {84.6, 850, 85}};
    for (const auto& [moved, value, bar] : cases) {
        SCOPED_TRACE(moved);
        Window.ScBarSetTemp->SetValue(moved);
        EXPECT_EQ(EditValue(), value);
        EXPECT_EQ(Window.ScBarSetTemp->Value(), bar);
        EXPECT_EQ(Window.LabSetTemp->text(), QString::number(bar));
    }
}

// Drags the temperature bar's handle from its place by Dy pixels.
void DragHandle(TScrollBar* Bar, int Dy) {
    const QPoint from = Bar->HandleRect().center().toPoint();
    QTest::mousePress(Bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(Bar, from + QPoint(0, Dy / 2));
    QTest::mouseMove(Bar, from + QPoint(0, Dy));
    QTest::mouseRelease(Bar, Qt::LeftButton, {}, from + QPoint(0, Dy));
}

TEST_F(SetpointEditing, DraggingTheBarEditsWholeDegrees) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    OpenTempPage();
    Window.show();
    DragHandle(Window.ScBarSetTemp, -37);
    const double bar = Window.ScBarSetTemp->Value();
    EXPECT_GT(bar, 80);
    EXPECT_EQ(bar, std::floor(bar));
    EXPECT_EQ(EditValue(), static_cast<std::int32_t>(bar) * 10);
    EXPECT_EQ(Window.LabSetTemp->text(), QString::number(bar));
}

struct TLoadCase {
    std::string Name;
    std::int32_t SetpointReg;
    std::int32_t Value;
    std::int32_t Min;
    std::int32_t Max;
    TPageView View;
};

void PrintTo(const TLoadCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class LoadedPage : public SetpointEditing, public ::testing::WithParamInterface<TLoadCase> {};

// Wherever the bar stood, the page shows the controller's value as it is, and the value the
// page holds is that value.
TEST_P(LoadedPage, ShowsTheControllersValueUnchanged) {
    const TLoadCase& load = GetParam();
    Setpoint(load.SetpointReg, load.Value);
    EditBlock(load.Value, load.Min, load.Max, 10);
    Click(load.SetpointReg == TEMP_SET ? Window.BtSelTabTemp : Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    if (load.SetpointReg == TEMP_SET) {
        ExpectTempPage(load.View);
    } else {
        ExpectTimePage(load.View);
    }
    EXPECT_EQ(EditValue(), load.Value);
    Settle();
    EXPECT_EQ(BlockReads(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    BothPages, LoadedPage,
    ::testing::Values(
        TLoadCase{
            "BelowTheTemperatureBar", TEMP_SET, 200, 100, 300, {"20", "30", "10", 10, 30, 20}},
        TLoadCase{
            "TemperatureOffTheGrid", TEMP_SET, 455, 400, 1100, {"45", "110", "40", 40, 110, 45}},
        TLoadCase{"AboveTheWorkTimeBar",
                  WORK_TIME_SET,
                  400,
                  300,
                  630,
                  {"06:40", "10:30", "05:00", 30, 63, 40}},
        TLoadCase{"WorkTimeOffTheGrid",
                  WORK_TIME_SET,
                  125,
                  30,
                  630,
                  {"02:05", "10:30", "00:30", 3, 63, 12}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(SetpointEditing, WorkTimeBarMovedByTheOperatorSnapsToTensOfMinutes) {
    Setpoint(WORK_TIME_SET, 125);
    EditBlock(125, 30, 630, 10);
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    Window.ScBarSetTime->SetValue(13);
    EXPECT_EQ(EditValue(), 130);
    EXPECT_EQ(Window.LabSetTime->text(), "02:10");
}

// Controllers behind the gateway that take their time: a load command fills the edit block only
// some requests later. The operator clicks as fast as the timings of each table say (ticks of
// 100 ms between clicks).
class SlowController : public ::testing::Test {
protected:
    SlowController() {
        Link.Rig.Fake->Responder = [this](const QByteArray& Request) {
            return Bus.Answer(Request);
        };
        // The poll set brings the bus's sauna 1 into the image.
        EXPECT_TRUE(Link.TickUntil([this] { return Link.Image().ReadTableREG(TEMP_SET) == 800; }));
    }

    // The writes on the wire after the first Skip requests, as unit, register and value.
    std::vector<std::tuple<int, std::int32_t, std::int32_t>> Writes(std::size_t Skip = 0) const {
        std::vector<std::tuple<int, std::int32_t, std::int32_t>> writes;
        const std::vector<TWireRequest> requests = Link.Requests();
        for (std::size_t k = Skip; k < requests.size(); ++k) {
            const TWireRequest& r = requests[k];
            if (r.Function == WRITE_REGISTER && !(r.First == COMMAND && r.Word == EDIT_TEMP) &&
                !(r.First == COMMAND && r.Word == EDIT_TIME)) {
                writes.emplace_back(r.Unit, r.First, r.Word);
            }
        }
        return writes;
    }
    // Ticks until the bus has had time for every queued request: the poll set and a margin.
    void Settle() { Link.Rig.Tick(120); }
    bool Loaded(QLabel* Value) const {
        return TextColor(Value).rgba() != GREY && Window.Port->Sockets->Count() == 5;
    }

    ControllerBus Bus;
    LinkedWindow Link;
    TKovMainNavigation& Window = Link.Window();
};

// Store pressed while the controller still loads (zeros, or the last load's values) is refused;
// pressed once the page has the setpoint, it writes back what was loaded.
TEST_F(SlowController, StoreRightAfterOpeningNeverLowersTheSetpoint) {
    for (const bool keepOld : {false, true}) {
        for (const int wait : {0, 1, 3, 6, 9, 12}) {
            SCOPED_TRACE(testing::Message() << "old block " << keepOld << ", store after " << wait);
            Bus.EditDelay = 3;
            Bus.KeepOldBlock = keepOld;
            const std::size_t before = Link.Requests().size();
            Click(Window.BtSelTabTemp);
            Link.Rig.Tick(wait);
            Click(Window.BtSetTempWrite);
            Settle();
            for (const auto& [unit, reg, value] : Writes(before)) {
                EXPECT_EQ(value, reg == EDIT_VALUE ? 800 : STORE_TEMP);
            }
            EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 800);
            EXPECT_EQ(Window.LabSetTemp->text(), "80");
            Click(Window.BtSelTabMain);
        }
    }
}

// Store, up, store: each store's value is followed by its own command, in the order clicked.
TEST_F(SlowController, FastStoresGoOutWholeAndInOrder) {
    for (const int gap : {0, 1, 2, 4}) {
        SCOPED_TRACE(testing::Message() << "ticks between clicks " << gap);
        Bus.Unit(1).WriteTableREG(TEMP_SET, 800);
        Bus.EditDelay = 3;
        Click(Window.BtSelTabTemp);
        ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
        const std::size_t before = Link.Requests().size();
        Click(Window.BtSetTempWrite);
        Link.Rig.Tick(gap);
        Click(Window.BtSetTempUp);
        Link.Rig.Tick(gap);
        Click(Window.BtSetTempWrite);
        Settle();
        const std::vector<std::tuple<int, std::int32_t, std::int32_t>> expected{
            {1, EDIT_VALUE, 800},
            {1, COMMAND, STORE_TEMP},
            {1, EDIT_VALUE, 810},
            {1, COMMAND, STORE_TEMP}};
        EXPECT_EQ(Writes(before), expected);
        EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 810);
        EXPECT_EQ(Window.LabSetTemp->text(), "81");
        EXPECT_EQ(TextColor(Window.LabSetTemp).rgba(), LAYOUT_RED);
        Click(Window.BtSelTabMain);
        ASSERT_TRUE(Link.TickUntil([this] { return Link.Image().ReadTableREG(TEMP_SET) == 810; }));
    }
}

// Store, up, store: the controller takes the second value but its answer never comes. That store
// ends there, without its store command; the page shows the edit unstored and the status line
// says so; the next store goes out whole.
TEST_F(SlowController, AStoreWhoseValueIsNotAnsweredAfterAnotherStoreEndsUnstored) {
    Bus.Serve(*Link.Rig.Fake);
    Bus.AnswerDelayMs = [](const QByteArray& Request) -> std::int64_t {
        const bool lost = FrameFunction(Request) == WRITE_REGISTER &&
                          FrameFirst(Request) == EDIT_VALUE && FrameWord(Request, 10) == 810;
        return lost ? -1 : 0;
    };
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
    const std::size_t before = Link.Requests().size();
    Click(Window.BtSetTempWrite);
    Click(Window.BtSetTempUp);
    Click(Window.BtSetTempWrite);
    const auto* caption = Window.findChild<QLabel*>(QStringLiteral("LabSetTempState"));
    EXPECT_TRUE(Link.TickUntil([&] { return caption->text() != "Zapisywanie..."; }));
    ExpectTempLook(Window, {ORANGE, 0, "Zmiana niezapisana"});
    EXPECT_TRUE(Window.StatusLabel->text().contains("nastawa nie została zapisana"));
    Settle();
    using TWrites = std::vector<std::tuple<int, std::int32_t, std::int32_t>>;
    EXPECT_EQ(Writes(before),
              (TWrites{{1, EDIT_VALUE, 800}, {1, COMMAND, STORE_TEMP}, {1, EDIT_VALUE, 810}}));
    EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 800);

    Bus.AnswerDelayMs = nullptr;
    Click(Window.BtSetTempWrite);
    Settle();
    EXPECT_EQ(Writes(before), (TWrites{{1, EDIT_VALUE, 800},
                                       {1, COMMAND, STORE_TEMP},
                                       {1, EDIT_VALUE, 810},
                                       {1, EDIT_VALUE, 810},
                                       {1, COMMAND, STORE_TEMP}}));
    EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 810);
    ExpectTempLook(Window, Shown);
    EXPECT_FALSE(Window.StatusLabel->text().contains("nastawa"));
}

// The temperature page opened and left for the work-time page at once: the temperature's chain
// ends, and the work time stored is the work time edited.
TEST_F(SlowController, AChainLeftBehindNeitherReadsNorUndoesTheEdit) {
    for (const int gap : {0, 2, 5, 8}) {
        SCOPED_TRACE(testing::Message() << "ticks on the temperature page " << gap);
        Bus.Unit(1).WriteTableREG(WORK_TIME_SET, 120);
        Bus.EditDelay = 4;
        Bus.KeepOldBlock = true;
        ASSERT_TRUE(
            Link.TickUntil([this] { return Link.Image().ReadTableREG(WORK_TIME_SET) == 120; }));
        Click(Window.BtSelTabTemp);
        Link.Rig.Tick(gap);
        Click(Window.BtSelTabTime);
        ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTime); }));
        for (int up = 0; up < 3; ++up) {
            Click(Window.BtSetTimeUp);
        }
        Click(Window.BtSetTimeWrite);
        Settle();
        EXPECT_EQ(Bus.Unit(1).ReadTableREG(WORK_TIME_SET), 150);
        EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 800);
        EXPECT_EQ(Window.LabSetTime->text(), "02:30");
        Click(Window.BtSelTabMain);
    }
}

// A store, then another sauna: the store reaches the sauna it was made for, the page loads the
// new sauna's setpoint, and the new sauna is untouched.
TEST_F(SlowController, AStoreKeepsItsSaunaAcrossASaunaChange) {
    for (const int gap : {0, 1, 3, 6, 10}) {
        SCOPED_TRACE(testing::Message() << "ticks before the sauna change " << gap);
        Bus.Unit(1).WriteTableREG(TEMP_SET, 800);
        Bus.Unit(2).WriteTableREG(TEMP_SET, 700);
        Bus.EditDelay = 2;
        Click(Window.BtSelectSauna1);
        ASSERT_TRUE(Link.TickUntil([this] { return Link.Image().ReadTableREG(TEMP_SET) == 800; }));
        Click(Window.BtSelTabTemp);
        ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
        const std::size_t before = Link.Requests().size();
        Click(Window.BtSetTempUp);
        Click(Window.BtSetTempUp);
        Click(Window.BtSetTempWrite);
        Link.Rig.Tick(gap);
        Click(Window.BtSelectSauna2);
        ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
        Settle();
        const std::vector<std::tuple<int, std::int32_t, std::int32_t>> expected{
            {1, EDIT_VALUE, 820}, {1, COMMAND, STORE_TEMP}};
        EXPECT_EQ(Writes(before), expected);
        EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 820);
        EXPECT_EQ(Bus.Unit(2).ReadTableREG(TEMP_SET), 700);
        EXPECT_EQ(Window.LabSetTemp->text(), "70");
        // Sauna 2's own edit and store show as such; the store made for sauna 1 touched none of it.
        Click(Window.BtSetTempUp);
        ExpectTempLook(Window, {ORANGE, 0, "Zmiana niezapisana"});
        Click(Window.BtSetTempWrite);
        ExpectTempLook(Window, {ORANGE, 0, "Zapisywanie..."});
        Settle();
        ExpectTempLook(Window, Shown);
        EXPECT_EQ(Window.LabSetTemp->text(), "71");
        EXPECT_EQ(Bus.Unit(2).ReadTableREG(TEMP_SET), 710);
        Click(Window.BtSelTabMain);
    }
}

// An edit not yet stored is dropped when the sauna changes; the page shows the new sauna's.
TEST_F(SlowController, ASaunaChangeDropsTheUnstoredEdit) {
    Bus.Unit(3).WriteTableREG(TEMP_SET, 650);
    Bus.EditDelay = 2;
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
    const std::size_t before = Link.Requests().size();
    Click(Window.BtSetTempUp);
    Click(Window.BtSelectSauna3);
    ExpectTempLook(Window, Loading);
    ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTemp); }));
    EXPECT_EQ(Window.LabSetTemp->text(), "65");
    Click(Window.BtSetTempWrite);
    Settle();
    const std::vector<std::tuple<int, std::int32_t, std::int32_t>> expected{
        {3, EDIT_VALUE, 650}, {3, COMMAND, STORE_TEMP}};
    EXPECT_EQ(Writes(before), expected);
    EXPECT_EQ(Bus.Unit(1).ReadTableREG(TEMP_SET), 800);
}

// 02:05 in steps of 15 minutes: two steps up store 02:35, and a store without an edit writes
// back what was loaded.
TEST_F(SlowController, ValuesOffTheBarsGridAreStoredAsEdited) {
    Bus.Unit(1).WriteTableREG(WORK_TIME_SET, 125);
    Bus.Limits(1, false, 30, 630, 15);
    Bus.EditDelay = 2;
    ASSERT_TRUE(Link.TickUntil([this] { return Link.Image().ReadTableREG(WORK_TIME_SET) == 125; }));
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(Link.TickUntil([this] { return Loaded(Window.LabSetTime); }));
    Click(Window.BtSetTimeWrite);
    Settle();
    EXPECT_EQ(Bus.Unit(1).ReadTableREG(WORK_TIME_SET), 125);
    Click(Window.BtSetTimeUp);
    Click(Window.BtSetTimeUp);
    Click(Window.BtSetTimeWrite);
    Settle();
    EXPECT_EQ(Bus.Unit(1).ReadTableREG(WORK_TIME_SET), 155);
    EXPECT_EQ(Window.LabSetTime->text(), "02:35");
}

// The edit block is one controller's, used by one load or one store at a time. Each row is what
// an operator did against controllers that load the edit block in 300 ms: the writes unit 1 got,
// what its controller holds afterwards, and what the page shows. A load never comes between a
// store's value and its store command; a page opened after a store loads after it.
struct TOneUserCase {
    std::string Name;
    // How late the gateway answers, in turn for each request; at once when empty.
    std::vector<std::int64_t> AnswerDelaysMs;
    std::vector<TOperatorAction> Actions;
    std::vector<std::string> Unit1Writes;
    std::int32_t TempHeld;
    std::int32_t TimeHeld;
    QString Caption;
    QString Value;
};

void PrintTo(const TOneUserCase& Case, std::ostream* Out) {
    *Out << Case.Name << ' ' << Case.Actions;
}

class OneUserOfTheEditBlock : public ::testing::TestWithParam<TOneUserCase> {};

TEST_P(OneUserOfTheEditBlock, StoresWhatThePageShowedAndLoadsAfterIt) {
    const TOneUserCase& row = GetParam();
    auto turn = std::make_shared<std::size_t>(0);
    SetpointOperator op([&row, turn](ControllerBus& Bus) {
        Bus.EditDelayMs = 300;
        Bus.AnswerDelayMs = [&row, turn](const QByteArray&) -> std::int64_t {
            const std::vector<std::int64_t>& delays = row.AnswerDelaysMs;
            return delays.empty() ? 0 : delays[(*turn)++ % delays.size()];
        };
    });
    op.Run(row.Actions);
    op.Settle();
    EXPECT_EQ(op.Writes(1), row.Unit1Writes);
    EXPECT_EQ(op.Bus.Unit(1).ReadTableREG(TEMP_SET), row.TempHeld);
    EXPECT_EQ(op.Bus.Unit(1).ReadTableREG(WORK_TIME_SET), row.TimeHeld);
    EXPECT_EQ(op.Caption(), row.Caption);
    EXPECT_EQ(op.ValueText(), row.Value);
    EXPECT_EQ(op.Violations(), std::vector<std::string>{});
}

const std::vector<std::string> TIME_STORE_THEN_TEMP{"2:=255", "102:=130", "2:=331", "2:=230"};
const std::vector<std::int64_t> SLOW_GATEWAY{400, 900, 650, 800, 500};

INSTANTIATE_TEST_SUITE_P(
    Rows, OneUserOfTheEditBlock,
    ::testing::Values(
        TOneUserCase{"WorkTimeStoredThenTheTemperaturePageAtOnce",
                     {},
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_WAIT, 1},
                      {ACT_OPEN_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"},
        TOneUserCase{"TheSameByEnterThenF2",
                     {},
                     {{ACT_KEY_TIME}, {ACT_WAIT_PAGE}, {ACT_KEY_UP}, {ACT_ENTER}, {ACT_KEY_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"},
        TOneUserCase{"TheSameThroughTheMainPage",
                     {},
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_MAIN},
                      {ACT_WAIT, 3},
                      {ACT_OPEN_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"},
        TOneUserCase{"TemperatureStoredThenTheWorkTimePage",
                     {},
                     {{ACT_OPEN_TEMP},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_WAIT, 1},
                      {ACT_OPEN_TIME}},
                     {"2:=230", "102:=810", "2:=330", "2:=255"},
                     810,
                     120,
                     "",
                     "02:00"},
        TOneUserCase{"StoredThenTheSamePageAgain",
                     {},
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_WAIT, 1},
                      {ACT_OPEN_TIME}},
                     {"2:=255", "102:=130", "2:=331", "2:=255"},
                     800,
                     130,
                     "",
                     "02:10"},
        TOneUserCase{
            "StoredThenTheDigits",
            {},
            {{ACT_OPEN_TEMP}, {ACT_WAIT_PAGE}, {ACT_UP}, {ACT_STORE}, {ACT_MAIN}, {ACT_DIGITS}},
            {"2:=230", "102:=810", "2:=330", "2:=230"},
            810,
            120,
            "",
            "81"},
        TOneUserCase{"SlowGatewayPageHalfASecondAfterTheStore",
                     SLOW_GATEWAY,
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_WAIT, 5},
                      {ACT_OPEN_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"},
        TOneUserCase{"SlowGatewayPageTwoSecondsAfterTheStore",
                     SLOW_GATEWAY,
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_WAIT, 22},
                      {ACT_OPEN_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"},
        // The page opened while the link is stopped fails at once; the store goes on after the
        // start, and the page opened again loads after it.
        TOneUserCase{"StopOpenAndStartBetweenTheStoreAndThePage",
                     {},
                     {{ACT_OPEN_TIME},
                      {ACT_WAIT_PAGE},
                      {ACT_UP},
                      {ACT_STORE},
                      {ACT_LINK},
                      {ACT_WAIT, 5},
                      {ACT_OPEN_TEMP},
                      {ACT_LINK},
                      {ACT_OPEN_TEMP}},
                     TIME_STORE_THEN_TEMP,
                     800,
                     130,
                     "",
                     "80"}),
    [](const auto& info) { return info.param.Name; });

// A controller whose setpoint lies outside its limits (0 on a new or reset controller) loads
// like any other: the page shows the value as given, the bar stands at its nearest end, a store
// of it is refused, and the first step goes to the nearest limit, which can then be stored.
struct TOutsideCase {
    std::string Name;
    bool Temp;
    std::int32_t Held;
    QString Shown;
    double Bar;
    TOperatorAct Step;
    std::int32_t Stored;
    QString StoredText;
};

void PrintTo(const TOutsideCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class SetpointOutsideItsLimits : public ::testing::TestWithParam<TOutsideCase> {};

TEST_P(SetpointOutsideItsLimits, IsShownAsGivenAndTheFirstStepGoesToTheNearestLimit) {
    const TOutsideCase& row = GetParam();
    const std::int32_t reg = row.Temp ? TEMP_SET : WORK_TIME_SET;
    SetpointOperator op([&row, reg](ControllerBus& Bus) {
        Bus.EditDelayMs = 300;
        Bus.Unit(1).WriteTableREG(reg, row.Held);
    });
    const std::int32_t other = op.Bus.Unit(1).ReadTableREG(row.Temp ? WORK_TIME_SET : TEMP_SET);
    op.Run({{row.Temp ? ACT_OPEN_TEMP : ACT_OPEN_TIME}, {ACT_WAIT_PAGE}});
    EXPECT_EQ(op.Caption(), "");
    EXPECT_EQ(op.ValueText(), row.Shown);
    EXPECT_EQ((row.Temp ? op.Window.ScBarSetTemp : op.Window.ScBarSetTime)->Value(), row.Bar);
    op.Run({{ACT_STORE}, {ACT_WAIT, 30}});
    EXPECT_EQ(op.Writes(1).size(), 1u); // the load command only
    op.Run({{row.Step}, {ACT_STORE}, {ACT_WAIT_PAGE}});
    op.Settle();
    EXPECT_EQ(op.Bus.Unit(1).ReadTableREG(reg), row.Stored);
    EXPECT_EQ(op.Bus.Unit(1).ReadTableREG(row.Temp ? WORK_TIME_SET : TEMP_SET), other);
    EXPECT_EQ(op.ValueText(), row.StoredText);
    EXPECT_EQ(op.Caption(), "");
    EXPECT_EQ(op.Violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SetpointOutsideItsLimits,
    ::testing::Values(
        TOutsideCase{"TemperatureZeroUp", true, 0, "0", 40, ACT_UP, 400, "40"},
        TOutsideCase{"TemperatureZeroDown", true, 0, "0", 40, ACT_DOWN, 400, "40"},
        TOutsideCase{"TemperatureAboveDown", true, 1200, "120", 110, ACT_DOWN, 1100, "110"},
        TOutsideCase{"WorkTimeZeroUp", false, 0, "00:00", 3, ACT_UP, 30, "00:30"},
        TOutsideCase{"WorkTimeZeroByTheKey", false, 0, "00:00", 3, ACT_KEY_UP, 30, "00:30"}),
    [](const auto& info) { return info.param.Name; });

// Every opening ends, loaded or failed with its caption whole, whatever keeps the load from
// running; while it loads or has failed, a drag leaves the bar where it was.
struct TOpeningEndsCase {
    std::string Name;
    // What stands in the way, done before the page is opened.
    std::function<void(SetpointOperator& Op)> Before;
    // Ticks within which the page says it failed.
    int FailsWithin;
};

void PrintTo(const TOpeningEndsCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class EveryOpeningEnds : public ::testing::TestWithParam<TOpeningEndsCase> {};

TEST_P(EveryOpeningEnds, WithTheFailureShownWholeAndTheBarKept) {
    SetpointOperator op([](ControllerBus& Bus) { Bus.EditDelayMs = 300; });
    GetParam().Before(op);
    op.Do({ACT_OPEN_TEMP});
    const double bar = op.Window.ScBarSetTemp->Value();
    op.Do({ACT_DRAG, 170});
    EXPECT_EQ(op.Window.ScBarSetTemp->Value(), bar);
    const int failsWithin = GetParam().FailsWithin;
    for (int tick = 0; tick < failsWithin && op.Caption() != "Nie udało się wczytać nastawy";
         ++tick) {
        op.Tick(1);
    }
    EXPECT_EQ(op.Caption(), "Nie udało się wczytać nastawy");
    op.Do({ACT_DRAG, 200});
    EXPECT_EQ(op.Window.ScBarSetTemp->Value(), bar);
    EXPECT_EQ(op.Window.LabSetTemp->text(), "50");
    const auto* caption = op.Window.findChild<TFitLabel*>(QStringLiteral("LabSetTempState"));
    ASSERT_NE(caption, nullptr);
    const QFontMetrics metrics(caption->FittedFont());
    EXPECT_LE(metrics.horizontalAdvance(caption->text()), caption->width());
    EXPECT_EQ(op.Bus.Unit(1).ReadTableREG(TEMP_SET), 800);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EveryOpeningEnds,
    ::testing::Values(
        // Five requests of the poll set and 25 commands fill the slot table.
        TOpeningEndsCase{"SlotTableFull",
                         [](SetpointOperator& Op) {
                             for (int click = 0; click < 25; ++click) {
                                 Click(Op.Window.BtLight1SS);
                             }
                         },
                         0},
        TOpeningEndsCase{"LinkStopped",
                         [](SetpointOperator& Op) {
                             Op.Do({ACT_LINK});
                             Op.Tick(10);
                         },
                         0},
        // Opened at once after "SERWER STOP", before the port has honoured it.
        TOpeningEndsCase{"LinkStopAskedFor", [](SetpointOperator& Op) { Op.Do({ACT_LINK}); }, 0},
        TOpeningEndsCase{"ConnectionLostForGood",
                         [](SetpointOperator& Op) {
                             Op.Bus.EditDelayMs = 60000;
                             Op.Link.Rig.Fake->ConnectSucceeds = false;
                             Op.Do({ACT_DROP});
                         },
                         30},
        TOpeningEndsCase{"ControllerNeverLoads",
                         [](SetpointOperator& Op) { Op.Bus.EditDelayMs = 600000; }, 600}),
    [](const auto& info) { return info.param.Name; });

} // namespace
