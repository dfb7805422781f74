// Setpoint editing through the controller's edit block (registers 102 to 108). Opening the
// temperature or work-time page queues the load command; its completion queues a read of the
// block, and the read's completion refreshes the page, reading again while the controller has
// not yet loaded the setpoint. The operator's steps and drags change the image only; the store
// button writes the edited value into the block and then the store command.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TScrollBar.h"

#include <QLabel>
#include <QStackedWidget>

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
// is open, each read replacing the operator's edits.
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

// The page keeps showing what it showed last until the read of the block completes. Every
// opening starts a chain of its own, whether or not an earlier one has finished.
void TKovMainNavigation::OpenPage(const TSetpointPage& Page) {
    TabControl->setCurrentIndex(Page.PageIndex);
    KovMode = Page.Mode;
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, 0);
    FEditReads = 0;
    FEditPageLoaded = false;
    const std::int32_t slot =
        Port->Sockets->AddWriteRW(Port->SlaveAddr(), REG_COMMAND, Page.LoadCommand);
    Port->Sockets->SetOnSocketEnd(slot,
                                  [this](std::int32_t SocketNum) { ReadEditBlock(SocketNum); });
}

// The refresh is chosen by the page open when the load command is answered, not at the click;
// with no setpoint page open the read still fills the image and nothing is refreshed.
void TKovMainNavigation::ReadEditBlock(std::int32_t) {
    const std::int32_t slot = Port->Sockets->AddReadRWBlock(Port->SlaveAddr(), EDIT_BLOCK_FIRST,
                                                            EDIT_BLOCK_COUNT, SOCKET_MODE_SINGLE);
    if (KovMode == KOV_MODE_SET_TEMP) {
        Port->Sockets->SetOnSocketEnd(slot,
                                      [this](std::int32_t SocketNum) { ShowSetTemp(SocketNum); });
    }
    if (KovMode == KOV_MODE_SET_TIME) {
        Port->Sockets->SetOnSocketEnd(slot,
                                      [this](std::int32_t SocketNum) { ShowSetTime(SocketNum); });
    }
}

void TKovMainNavigation::ShowSetTemp(std::int32_t SocketNum) {
    ShowSetpoint(TempPage(), SocketNum);
}

void TKovMainNavigation::ShowSetTime(std::int32_t SocketNum) {
    ShowSetpoint(TimePage(), SocketNum);
}

// SocketNum is the completed read's slot, or 0 for the window's own refresh. Each step reads the
// image again, so a change the scroll bar raises while its bounds are set shows in what follows.
void TKovMainNavigation::ShowSetpoint(const TSetpointPage& Page, std::int32_t SocketNum) {
    const TSaunaMX& sauna = *Port->Sauna;
    if (SocketNum != 0) {
        ++FEditReads;
        FEditPageLoaded = FEditPageLoaded || Page.Mode == KovMode;
        const bool loaded =
            sauna.ReadTableREG(REG_EDIT_VALUE) == sauna.ReadTableREG(Page.SetpointReg);
        if (!loaded && FEditReads < EDIT_READS_PER_OPENING) {
            Port->Sockets->RepeatActiveSocket();
        }
    }
    const auto barUnits = [&sauna](int Reg) {
        return static_cast<double>(sauna.ReadTableREG(Reg) / UNITS_PER_BAR_STEP);
    };
    if (Page.MaxFirst) {
        Page.Bar->SetMax(barUnits(REG_EDIT_MAX));
        Page.Bar->SetMin(barUnits(REG_EDIT_MIN));
    } else {
        Page.Bar->SetMin(barUnits(REG_EDIT_MIN));
        Page.Bar->SetMax(barUnits(REG_EDIT_MAX));
    }
    Page.Bar->SetValue(barUnits(REG_EDIT_VALUE));
    Page.ValueLabel->setText(Page.Text(sauna.ReadTableREG(REG_EDIT_VALUE)));
    Page.MaxLabel->setText(Page.Text(sauna.ReadTableREG(REG_EDIT_MAX)));
    Page.MinLabel->setText(Page.Text(sauna.ReadTableREG(REG_EDIT_MIN)));
}

// Steps the image only; nothing is sent. The limits are compared before the step, so one step
// may pass a limit by less than the step, and the scroll bar's own clamp then pulls it back.
// Refused until the page's own first read of the edit block, which replaces the 0 of the opening.
void TKovMainNavigation::BtTempSPUpDnClick(QObject* Sender) {
    if (!FEditPageLoaded) {
        return;
    }
    TSaunaMX& sauna = *Port->Sauna;
    const std::int32_t value = sauna.ReadTableREG(REG_EDIT_VALUE);
    const std::int32_t step = sauna.ReadTableREG(REG_EDIT_STEP);
    const std::int32_t tag = TagOf(Sender);
    if ((tag == TAG_TEMP_UP || tag == TAG_TIME_UP) && value < sauna.ReadTableREG(REG_EDIT_MAX)) {
        sauna.WriteTableREG(REG_EDIT_VALUE, value + step);
    }
    if ((tag == TAG_TEMP_DOWN || tag == TAG_TIME_DOWN) &&
        value > sauna.ReadTableREG(REG_EDIT_MIN)) {
        sauna.WriteTableREG(REG_EDIT_VALUE, value - step);
    }
    if (const auto page = OpenSetpointPage()) {
        ShowSetpoint(*page, 0);
    }
}

void TKovMainNavigation::ScBarSetTempChange(QObject*) {
    FollowScrollBar(TempPage());
    ShowSetTemp(0);
}

void TKovMainNavigation::ScBarSetTimeChange(QObject*) {
    FollowScrollBar(TimePage());
    ShowSetTime(0);
}

// The refresh that follows sets the bar to the whole unit taken here, so a drag snaps the bar
// to whole units and the edited value is always a whole number of bar units.
void TKovMainNavigation::FollowScrollBar(const TSetpointPage& Page) {
    const auto units = static_cast<std::int32_t>(std::nearbyint(Page.Bar->Value()));
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, units * UNITS_PER_BAR_STEP);
}

// The value is queued first and so takes the lower slot number; no completion is attached and
// the page stays open. Refused until the page's own first read of the edit block, so that
// neither the 0 of the opening nor the other page's value is ever stored.
void TKovMainNavigation::BtSetTempWriteClick(QObject*) {
    if (!FEditPageLoaded) {
        return;
    }
    const std::uint8_t address = Port->SlaveAddr();
    Port->Sockets->AddWriteRW(address, REG_EDIT_VALUE, Port->Sauna->ReadTableREG(REG_EDIT_VALUE));
    if (const auto page = OpenSetpointPage()) {
        Port->Sockets->AddWriteRW(address, REG_COMMAND, page->StoreCommand);
    }
}
