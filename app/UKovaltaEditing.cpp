// Setpoint editing through the controller's edit block (registers 102 to 108). Opening the
// temperature or work-time page queues the load command; its completion queues a read of the
// block, and the read's completion shows the page once the controller has loaded the setpoint,
// reading again while it has not. Only the chain of the page's latest opening runs; the
// operator can step, drag and store only once that opening has the setpoint. The edit is the
// page's own and the image mirrors it; a store writes the value and then the store command to
// the sauna the page was opened for.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TScrollBar.h"

#include <QLabel>
#include <QStackedWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Page indices in the page area.
constexpr int PAGE_SET_TEMP = 1;
constexpr int PAGE_SET_TIME = 2;

// The Tags of the up and down buttons of the two pages.
constexpr std::int32_t TAG_TEMP_UP = 1;
constexpr std::int32_t TAG_TEMP_DOWN = 2;
constexpr std::int32_t TAG_TIME_UP = 11;
constexpr std::int32_t TAG_TIME_DOWN = 12;

// A controller that never loads the setpoint would otherwise be read for as long as the page
// is open.
constexpr std::int32_t EDIT_READS_PER_OPENING = 10;

// Each scroll bar counts in tens of register units: whole degrees, tens of minutes.
constexpr std::int32_t UNITS_PER_BAR_STEP = 10;

QString WholeDegrees(std::int32_t Tenths) {
    return QString::number(Tenths / 10);
}

} // namespace

// What tells the two pages apart; their handlers are shared.
struct TKovMainNavigation::TSetpointPage {
    int PageIndex;
    TKovMode Mode;
    std::int32_t LoadCommand;
    std::int32_t StoreCommand;
    // The register the loaded value must equal before the block holds the setpoint.
    std::int32_t SetpointReg;
    TScrollBar* Bar;
    // The work-time bar takes its maximum before its minimum, the temperature bar the reverse.
    bool MaxFirst;
    QLabel* ValueLabel;
    QLabel* MaxLabel;
    QLabel* MinLabel;
    TSetpointPageLook* Look;
    // How a register value of the block reads on the page.
    QString (*Text)(std::int32_t Val);
};

TKovMainNavigation::TSetpointPage TKovMainNavigation::TempPage() const {
    return {.PageIndex = PAGE_SET_TEMP,
            .Mode = KOV_MODE_SET_TEMP,
            .LoadCommand = CMD_EDIT_TEMP,
            .StoreCommand = CMD_STORE_TEMP,
            .SetpointReg = REG_TEMP_SET,
            .Bar = ScBarSetTemp,
            .MaxFirst = false,
            .ValueLabel = LabSetTemp,
            .MaxLabel = LabSetTempMax,
            .MinLabel = LabSetTempMin,
            .Look = FTempLook.get(),
            .Text = WholeDegrees};
}

TKovMainNavigation::TSetpointPage TKovMainNavigation::TimePage() const {
    return {.PageIndex = PAGE_SET_TIME,
            .Mode = KOV_MODE_SET_TIME,
            .LoadCommand = CMD_EDIT_TIME,
            .StoreCommand = CMD_STORE_TIME,
            .SetpointReg = REG_WORK_TIME_SET,
            .Bar = ScBarSetTime,
            .MaxFirst = true,
            .ValueLabel = LabSetTime,
            .MaxLabel = LabSetTimeMax,
            .MinLabel = LabSetTimeMin,
            .Look = FTimeLook.get(),
            .Text = MinutesToStr};
}

// The setpoint page that KovMode says is open, if any.
std::optional<TKovMainNavigation::TSetpointPage> TKovMainNavigation::OpenSetpointPage() const {
    if (KovMode == KOV_MODE_SET_TEMP) {
        return TempPage();
    }
    if (KovMode == KOV_MODE_SET_TIME) {
        return TimePage();
    }
    return std::nullopt;
}

void TKovMainNavigation::BtSelTabTempClick(QObject*) {
    OpenPage(TempPage());
}

void TKovMainNavigation::BtSelTabTimeClick(QObject*) {
    OpenPage(TimePage());
}

// Every opening starts a chain of its own and ends any earlier one; the page shows that it is
// loading until its chain brings the setpoint.
void TKovMainNavigation::OpenPage(const TSetpointPage& Page) {
    TabControl->setCurrentIndex(Page.PageIndex);
    KovMode = Page.Mode;
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, 0);
    const std::int32_t opening = FEdit.Opening + 1;
    FEdit = TEditSession{.Opening = opening, .Mode = Page.Mode, .Unit = Port->SlaveAddr()};
    for (std::int32_t k = 0; k < EDIT_BLOCK_COUNT; ++k) {
        FEdit.Block[k] = Port->Sauna->ReadTableREG(EDIT_BLOCK_FIRST + k);
    }
    FEdit.Slot = Port->Sockets->AddWriteRW(FEdit.Unit, REG_COMMAND, Page.LoadCommand);
    Port->Sockets->SetOnSocketEnd(
        FEdit.Slot, [this, opening](std::int32_t SocketNum) { ReadEditBlock(SocketNum, opening); });
    RefreshPage(Page);
}

// A sauna change while a setpoint page is open loads the new sauna's setpoint; the edit made
// for the sauna before is dropped.
void TKovMainNavigation::ReloadOpenPage() {
    if (const auto page = OpenSetpointPage()) {
        OpenPage(*page);
    }
}

bool TKovMainNavigation::IsOpenChain(std::int32_t Opening) const {
    return Opening == FEdit.Opening && KovMode == FEdit.Mode;
}

void TKovMainNavigation::ReadEditBlock(std::int32_t, std::int32_t Opening) {
    if (!IsOpenChain(Opening)) {
        return;
    }
    FEdit.Slot = Port->Sockets->AddReadRWBlock(FEdit.Unit, EDIT_BLOCK_FIRST, EDIT_BLOCK_COUNT,
                                               SOCKET_MODE_SINGLE);
    Port->Sockets->SetOnSocketEnd(
        FEdit.Slot, [this, Opening](std::int32_t SocketNum) { EditBlockRead(SocketNum, Opening); });
}

// A read of an opening that has ended gives the image back the block the open page holds.
void TKovMainNavigation::EditBlockRead(std::int32_t SocketNum, std::int32_t Opening) {
    if (!IsOpenChain(Opening)) {
        for (std::int32_t k = 0; k < EDIT_BLOCK_COUNT; ++k) {
            Port->Sauna->WriteTableREG(EDIT_BLOCK_FIRST + k, FEdit.Block[k]);
        }
        return;
    }
    if (FEdit.Mode == KOV_MODE_SET_TEMP) {
        ShowSetTemp(SocketNum);
    } else {
        ShowSetTime(SocketNum);
    }
}

void TKovMainNavigation::ShowSetTemp(std::int32_t SocketNum) {
    ShowSetpoint(TempPage(), SocketNum);
}

void TKovMainNavigation::ShowSetTime(std::int32_t SocketNum) {
    ShowSetpoint(TimePage(), SocketNum);
}

// SocketNum is the completed read's slot, or 0 for the window's own refresh.
void TKovMainNavigation::ShowSetpoint(const TSetpointPage& Page, std::int32_t SocketNum) {
    if (SocketNum != 0 && FEdit.State == SETPOINT_LOADING) {
        TakeEditBlock(Page);
        if (FEdit.State == SETPOINT_LOADING && ++FEdit.Reads < EDIT_READS_PER_OPENING) {
            Port->Sockets->RepeatActiveSocket();
        } else if (FEdit.State == SETPOINT_LOADING) {
            FEdit.State = SETPOINT_FAILED;
        }
        if (FEdit.State != SETPOINT_LOADING) {
            FEdit.Slot = 0;
        }
    }
    RefreshPage(Page);
}

// The block holds the setpoint once its value is the setpoint the poll set reads and lies
// within limits the controller steps in: a block still being loaded (zeros, or the previous
// load's values) never passes for it.
void TKovMainNavigation::TakeEditBlock(const TSetpointPage& Page) {
    const TSaunaMX& sauna = *Port->Sauna;
    for (std::int32_t k = 0; k < EDIT_BLOCK_COUNT; ++k) {
        FEdit.Block[k] = sauna.ReadTableREG(EDIT_BLOCK_FIRST + k);
    }
    if (FEdit.Value() == sauna.ReadTableREG(Page.SetpointReg) && FEdit.Value() >= FEdit.Min() &&
        FEdit.Value() <= FEdit.Max() && FEdit.Step() > 0) {
        FEdit.State = SETPOINT_LOADED;
        FEdit.Loaded = FEdit.Value();
    }
}

// Shows the opening's setpoint as the controller gave it; the bar shows it in its own units and
// never changes it. Until the setpoint is loaded the page keeps what it showed, greyed.
void TKovMainNavigation::RefreshPage(const TSetpointPage& Page) {
    const bool ours = FEdit.Mode == Page.Mode;
    Page.Look->Show(ours ? FEdit.State : SETPOINT_LOADING);
    if (!ours || FEdit.State == SETPOINT_LOADING || FEdit.State == SETPOINT_FAILED) {
        return;
    }
    FSettingBar = true;
    if (Page.MaxFirst) {
        Page.Bar->SetMax(FEdit.Max() / UNITS_PER_BAR_STEP);
        Page.Bar->SetMin(FEdit.Min() / UNITS_PER_BAR_STEP);
    } else {
        Page.Bar->SetMin(FEdit.Min() / UNITS_PER_BAR_STEP);
        Page.Bar->SetMax(FEdit.Max() / UNITS_PER_BAR_STEP);
    }
    Page.Bar->SetValue(FEdit.Value() / UNITS_PER_BAR_STEP);
    FSettingBar = false;
    Page.ValueLabel->setText(Page.Text(FEdit.Value()));
    Page.MaxLabel->setText(Page.Text(FEdit.Max()));
    Page.MinLabel->setText(Page.Text(FEdit.Min()));
}

bool TKovMainNavigation::Editable(const TSetpointPage& Page) const {
    return FEdit.Mode == Page.Mode && KovMode == Page.Mode &&
           (FEdit.State == SETPOINT_LOADED || FEdit.State == SETPOINT_EDITED ||
            FEdit.State == SETPOINT_STORING);
}

// The edit is the page's own; the image's edit value follows it, as the operator's changes go to
// the image and nowhere else.
void TKovMainNavigation::SetEditValue(std::int32_t Value) {
    FEdit.Block[REG_EDIT_VALUE - EDIT_BLOCK_FIRST] = std::clamp(Value, FEdit.Min(), FEdit.Max());
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, FEdit.Value());
    if (FEdit.StoresPending == 0) {
        FEdit.State = FEdit.Value() == FEdit.Loaded ? SETPOINT_LOADED : SETPOINT_EDITED;
    }
}

// Exactly the controller's step, held within its limits; nothing is sent.
void TKovMainNavigation::BtTempSPUpDnClick(QObject* Sender) {
    const auto page = OpenSetpointPage();
    if (!page || !Editable(*page)) {
        return;
    }
    const std::int32_t tag = TagOf(Sender);
    if (tag == TAG_TEMP_UP || tag == TAG_TIME_UP) {
        SetEditValue(FEdit.Value() + FEdit.Step());
    }
    if (tag == TAG_TEMP_DOWN || tag == TAG_TIME_DOWN) {
        SetEditValue(FEdit.Value() - FEdit.Step());
    }
    RefreshPage(*page);
}

void TKovMainNavigation::ScBarSetTempChange(QObject*) {
    FollowScrollBar(TempPage());
}

void TKovMainNavigation::ScBarSetTimeChange(QObject*) {
    FollowScrollBar(TimePage());
}

// Only the operator's move of the bar edits, and snaps the value to the bar's units; before the
// setpoint is loaded the bar goes back to where the page had it.
void TKovMainNavigation::FollowScrollBar(const TSetpointPage& Page) {
    if (FSettingBar) {
        return;
    }
    if (Editable(Page)) {
        const auto units = static_cast<std::int32_t>(std::nearbyint(Page.Bar->Value()));
        SetEditValue(units * UNITS_PER_BAR_STEP);
    }
    RefreshPage(Page);
}

// The value shown, to the sauna the page was opened for; a store without an edit writes back
// what was loaded. A store while another is on its way follows it with its own value.
void TKovMainNavigation::BtSetTempWriteClick(QObject*) {
    const auto page = OpenSetpointPage();
    if (!page || !Editable(*page)) {
        return;
    }
    const std::int32_t opening = FEdit.Opening;
    const std::int32_t value = FEdit.Value();
    ++FEdit.StoresPending;
    FEdit.State = SETPOINT_STORING;
    Stores->Queue(
        {.Unit = FEdit.Unit,
         .Value = value,
         .StoreCommand = page->StoreCommand,
         .OnEnded = [this, opening, value](bool Stored) { StoreEnded(opening, value, Stored); }});
    RefreshPage(*page);
}

// The controller holds a stored value from now on; a lost store leaves the edit unstored.
void TKovMainNavigation::StoreEnded(std::int32_t Opening, std::int32_t Value, bool Stored) {
    if (Opening != FEdit.Opening) {
        return;
    }
    if (Stored) {
        FEdit.Loaded = Value;
    }
    if (--FEdit.StoresPending == 0) {
        FEdit.State = FEdit.Value() == FEdit.Loaded ? SETPOINT_LOADED : SETPOINT_EDITED;
    }
    if (const auto page = OpenSetpointPage(); page && page->Mode == FEdit.Mode) {
        RefreshPage(*page);
    }
}

// A failed transaction ends the store or the load it belonged to.
void TKovMainNavigation::EditRequestFailed(std::int32_t SocketNum) {
    Stores->Failed(SocketNum);
    if (SocketNum != 0 && SocketNum == FEdit.Slot && FEdit.State == SETPOINT_LOADING) {
        FEdit.Slot = 0;
        FEdit.State = SETPOINT_FAILED;
        if (const auto page = OpenSetpointPage(); page && page->Mode == FEdit.Mode) {
            RefreshPage(*page);
        }
    }
}
