// Setpoint editing on the real window and the scripted gateway: the load command, the read of
// the edit block and its re-reads, the refresh chosen by the page open when the command is
// answered, the up and down steps, the scroll bars' rounding and clamping, and the store.
// Register numbers and command codes are written out as the controller knows them.
#include "LinkedWindow.h"

#include "QtPrinters.h"
#include "TScrollBar.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST_F(SetpointEditing, TheBlockIsReadAgainUntilItHoldsTheSetpoint) {
    Setpoint(TEMP_SET, 800);
    EditBlock(700, 400, 1100, 10);
    OpenTempPage();
    ExpectTempPage({"70", "110", "40", 40, 110, 70});
    ASSERT_TRUE(ReadAnswered());
    EXPECT_EQ(BlockReads(), 2);
    Link.Controller.WriteTableREG(EDIT_VALUE, 800);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"80", "110", "40", 40, 110, 80});
    Settle();
    EXPECT_EQ(BlockReads(), 3);
}

TEST_F(SetpointEditing, ReReadsStopAtTenPerOpeningAndThePageKeepsTheLastRead) {
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
    ExpectTimePage({"03:50", "10:30", "00:30", 3, 63, 23});

    // A new opening reads again, up to its own bound.
    Click(Window.BtSelTabTime);
    Link.TickUntil([this] { return BlockReads() == 20; });
    Settle();
    EXPECT_EQ(BlockReads(), 20);
}

TEST_F(SetpointEditing, LeavingThePageBeforeTheCommandIsAnsweredFillsTheImageOnly) {
    EditBlock(800, 400, 1100, 10);
    Setpoint(TEMP_SET, 800);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabMain);
    ASSERT_TRUE(ReadAnswered());
    EXPECT_EQ(EditValue(), 800);
    ExpectTempPage(TempLayout);
    Settle();
    EXPECT_EQ(BlockReads(), 1);
}

TEST_F(SetpointEditing, SwitchingToTheWorkTimePageEndsBothChainsThere) {
    Setpoint(TEMP_SET, 800);
    Setpoint(WORK_TIME_SET, 125);
    EditBlock(125, 30, 630, 10);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabTime);
    Link.TickUntil([this] { return BlockReads() == 2; });
    Settle();
    EXPECT_EQ(BlockReads(), 2);
    ExpectTimePage({"02:05", "10:30", "00:30", 3, 63, 12});
    ExpectTempPage(TempLayout);
}

TEST_F(SetpointEditing, TwoChainsAtOnceBothRefreshThePage) {
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 400, 1100, 10);
    Click(Window.BtSelTabTemp);
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"80", "110", "40", 40, 110, 80});
    EditBlock(800, 500, 1000, 10);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"80", "100", "50", 50, 100, 80});
    EXPECT_EQ(Link.CountRequests(WRITE_REGISTER, COMMAND, EDIT_TEMP), 2);
}

struct TStepCase {
    std::string Name;
    std::int32_t Loaded; // the value the read brings, also the setpoint
    std::int32_t Step;
    std::int32_t Value; // the image's value before the clicks
    std::vector<std::string> Clicks;
    std::int32_t EditedValue;
    const char* Label;
    double Bar;
};

void PrintTo(const TStepCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class UpAndDown : public SetpointEditing, public ::testing::WithParamInterface<TStepCase> {};

TEST_P(UpAndDown, StepTheImageWithinTheLimitsAndTheBarClamps) {
    const TStepCase& step = GetParam();
    Setpoint(TEMP_SET, step.Loaded);
    EditBlock(step.Loaded, 400, 1100, step.Step);
    OpenTempPage();
    Link.Image().WriteTableREG(EDIT_VALUE, step.Value);
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
        TStepCase{"Up", 800, 10, 800, {"BtSetTempUp"}, 810, "81", 81},
        TStepCase{
            "UpPastTheMaximumIsPulledBack", 1090, 10, 1095, {"BtSetTempUp"}, 1100, "110", 110},
        TStepCase{"UpAtTheMaximumDoesNothing", 1100, 10, 1100, {"BtSetTempUp"}, 1100, "110", 110},
        TStepCase{
            "OddStepMovesTheBarEverySecondClick", 800, 5, 800, {"BtSetTempUp"}, 805, "80", 80},
        TStepCase{"OddStepTwice", 800, 5, 800, {"BtSetTempUp", "BtSetTempUp"}, 810, "81", 81},
        TStepCase{"Down", 800, 10, 800, {"BtSetTempDn"}, 790, "79", 79},
        TStepCase{"DownPastTheMinimumIsPulledBack", 410, 10, 405, {"BtSetTempDn"}, 400, "40", 40},
        TStepCase{"DownAtTheMinimumDoesNothing", 400, 10, 400, {"BtSetTempDn"}, 400, "40", 40}),
    [](const auto& info) { return info.param.Name; });

TEST_F(SetpointEditing, WorkTimeStepsSnapToTensOfMinutes) {
    Setpoint(WORK_TIME_SET, 125);
    EditBlock(125, 30, 630, 10);
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    Click(Window.BtSetTimeUp); // 135 moves the bar to 13, whose change takes 130
    EXPECT_EQ(EditValue(), 130);
    EXPECT_EQ(Window.LabSetTime->text(), "02:10");
    Click(Window.BtSetTimeDn);
    Click(Window.BtSetTimeDn);
    EXPECT_EQ(EditValue(), 110);
    EXPECT_EQ(Window.LabSetTime->text(), "01:50");
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
    EXPECT_EQ(EditValue(), 800);
    const std::int32_t queued = Window.Port->Sockets->Count();
    Click(Window.BtSetTimeUp);
    Click(Window.BtSetTimeWrite);
    EXPECT_EQ(EditValue(), 800);
    EXPECT_EQ(Window.Port->Sockets->Count(), queued);
}

struct TStoreCase {
    std::string Page;
    std::int32_t Setpoint;
    std::int32_t Edited;
    std::int32_t StoreCommand;
};

void PrintTo(const TStoreCase& Case, std::ostream* Out) {
    *Out << Case.Page;
}

class Store : public SetpointEditing, public ::testing::WithParamInterface<TStoreCase> {};

TEST_P(Store, WritesTheValueThenTheStoreCommand) {
    const TStoreCase& store = GetParam();
    Setpoint(store.Setpoint, 600);
    EditBlock(600, 30, 1100, 10);
    const bool temp = store.Setpoint == TEMP_SET;
    Click(temp ? Window.BtSelTabTemp : Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    Link.Image().WriteTableREG(EDIT_VALUE, store.Edited);
    const TKovMode mode = Window.KovMode;
    Click(temp ? Window.BtSetTempWrite : Window.BtSetTimeWrite);
    EXPECT_EQ(Window.KovMode, mode);
    EXPECT_EQ(Window.TabControl->currentIndex(), temp ? 1 : 2);
    // Two single writes in the table, the value in the lower slot.
    const TDravonSockets& sockets = *Window.Port->Sockets;
    ASSERT_EQ(sockets.Count(), 7);
    EXPECT_EQ(sockets.GetRegNum(6), EDIT_VALUE);
    EXPECT_EQ(sockets.GetRegValue(6), store.Edited);
    EXPECT_EQ(sockets.GetRegNum(7), COMMAND);
    EXPECT_EQ(sockets.GetRegValue(7), store.StoreCommand);

    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, COMMAND, store.StoreCommand));
    std::vector<std::pair<std::int32_t, std::int32_t>> writes;
    for (const TWireRequest& request : Link.Requests()) {
        if (request.Function == WRITE_REGISTER && request.First != COMMAND) {
            writes.emplace_back(request.First, request.Word);
        }
        if (request.Function == WRITE_REGISTER && request.Word == store.StoreCommand) {
            writes.emplace_back(request.First, request.Word);
        }
    }
    const std::vector<std::pair<std::int32_t, std::int32_t>> expected{
        {EDIT_VALUE, store.Edited}, {COMMAND, store.StoreCommand}};
    EXPECT_EQ(writes, expected);
    // The page is not read back.
    Settle();
    EXPECT_EQ(BlockReads(), 1);
}

INSTANTIATE_TEST_SUITE_P(BothPages, Store,
                         ::testing::Values(TStoreCase{"Temperature", TEMP_SET, 850, STORE_TEMP},
                                           TStoreCase{"WorkTime", WORK_TIME_SET, 150, STORE_TIME}),
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

TEST_F(SetpointEditing, ABoundThatMovesTheBarSetsTheValueBeforeTheReadIsShown) {
    Setpoint(TEMP_SET, 450);
    EditBlock(450, 400, 1100, 10);
    OpenTempPage();
    ASSERT_EQ(Window.ScBarSetTemp->Value(), 45);
    Setpoint(TEMP_SET, 800);
    EditBlock(800, 500, 1100, 10);
    Click(Window.BtSelTabTemp);
    ASSERT_TRUE(ReadAnswered());
    ExpectTempPage({"50", "110", "50", 50, 110, 50});
    EXPECT_EQ(EditValue(), 500);
    Settle();
    EXPECT_EQ(BlockReads(), 2); // the value read was the setpoint: no read again
}

// Each page sets its bar's bounds in its own order, which decides where a range that lies
// wholly beyond the bar's present one ends up: the temperature bar takes its minimum first, the
// work-time bar its maximum. The bound that moves the bar's value past the value read also
// sets the edited value, and the page shows that one.
TEST_F(SetpointEditing, EachPageSetsItsBoundsInItsOwnOrder) {
    Setpoint(TEMP_SET, 200);
    EditBlock(200, 100, 300, 10); // below the layout's 40 to 110, the bar at 50
    OpenTempPage();
    ExpectTempPage({"30", "30", "10", 10, 30, 30});
    EXPECT_EQ(EditValue(), 300);

    Setpoint(WORK_TIME_SET, 400);
    EditBlock(400, 300, 630, 10); // above the layout's 3 to 24, the bar at 12
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    ExpectTimePage({"05:00", "10:30", "05:00", 30, 63, 30});
    EXPECT_EQ(EditValue(), 300);
}

TEST_F(SetpointEditing, WorkTimeBarFromItsLayoutStateMovesWithoutAChange) {
    Setpoint(WORK_TIME_SET, 125);
    EditBlock(125, 30, 630, 10);
    Click(Window.BtSelTabTime);
    ASSERT_TRUE(ReadAnswered());
    ExpectTimePage({"02:05", "10:30", "00:30", 3, 63, 12});
    EXPECT_EQ(EditValue(), 125);
    Window.ScBarSetTime->SetValue(13);
    EXPECT_EQ(EditValue(), 130);
    EXPECT_EQ(Window.LabSetTime->text(), "02:10");
}

} // namespace
