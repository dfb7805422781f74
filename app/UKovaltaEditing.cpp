// Setpoint editing through the controller's edit block (registers 102 to 108). Opening the
// temperature or work-time page queues a load of the setpoint on the sauna's edit block; the
// page shows it once the controller has loaded it. Only the latest opening's load touches the
// page; the operator can step, drag and store only once that opening has the setpoint. The edit
// is the page's own and the image mirrors it; a store writes the value and then the store
// command to the sauna the page was opened for. Loads and stores of one sauna use its edit block
// one at a time, in the order the operator asked for them.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "SetpointLoad.h"
#include "SetpointStore.h"
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
    // Where the page last put its bar.
    double* BarShown;
    QLabel* ValueLabel;
    QLabel* MaxLabel;
    QLabel* MinLabel;
    TSetpointPageLook* Look;
    // How a register value of the block reads on the page.
    QString (*Text)(std::int32_t Val);
};

TKovMainNavigation::TSetpointPage TKovMainNavigation::TempPage() {
    return {.PageIndex = PAGE_SET_TEMP,
            .Mode = KOV_MODE_SET_TEMP,
            .LoadCommand = CMD_EDIT_TEMP,
            .StoreCommand = CMD_STORE_TEMP,
            .SetpointReg = REG_TEMP_SET,
            .Bar = ScBarSetTemp,
            .MaxFirst = false,
            .BarShown = &FTempBarShown,
            .ValueLabel = LabSetTemp,
            .MaxLabel = LabSetTempMax,
            .MinLabel = LabSetTempMin,
            .Look = FTempLook.get(),
            .Text = WholeDegrees};
}

TKovMainNavigation::TSetpointPage TKovMainNavigation::TimePage() {
    return {.PageIndex = PAGE_SET_TIME,
            .Mode = KOV_MODE_SET_TIME,
            .LoadCommand = CMD_EDIT_TIME,
            .StoreCommand = CMD_STORE_TIME,
            .SetpointReg = REG_WORK_TIME_SET,
            .Bar = ScBarSetTime,
            .MaxFirst = true,
            .BarShown = &FTimeBarShown,
            .ValueLabel = LabSetTime,
            .MaxLabel = LabSetTimeMax,
            .MinLabel = LabSetTimeMin,
            .Look = FTimeLook.get(),
            .Text = MinutesToStr};
}

// The bars stand where the layout put them until their page first shows a setpoint.
void TKovMainNavigation::SetUpEditing() {
    EditBlocks = std::make_unique<TEditBlockQueue>(*Port->Sockets);
    FTempBarShown = ScBarSetTemp->Value();
    FTimeBarShown = ScBarSetTime->Value();
}

// The setpoint page that KovMode says is open, if any.
std::optional<TKovMainNavigation::TSetpointPage> TKovMainNavigation::OpenSetpointPage() {
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

// Every opening loads the setpoint anew and ends any earlier opening; the page shows that it is
// loading until its load brings the setpoint. A stopped link, or one being stopped, would never
// answer: the opening fails at once.
void TKovMainNavigation::OpenPage(const TSetpointPage& Page) {
    TabControl->setCurrentIndex(Page.PageIndex);
    KovMode = Page.Mode;
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, 0);
    FEdit =
        TEditSession{.Opening = FEdit.Opening + 1, .Mode = Page.Mode, .Unit = Port->SlaveAddr()};
    for (std::int32_t k = 0; k < EDIT_BLOCK_COUNT; ++k) {
        FEdit.Block[k] = Port->Sauna->ReadTableREG(EDIT_BLOCK_FIRST + k);
    }
    if (!Port->SocketServerStart() || Port->SocketServerStop()) {
        FEdit.State = SETPOINT_FAILED;
    } else {
        QueueLoad(Page);
    }
    RefreshPage(Page);
}

void TKovMainNavigation::QueueLoad(const TSetpointPage& Page) {
    const std::int32_t opening = FEdit.Opening;
    EditBlocks->Queue(std::make_shared<TSetpointLoad>(
        *Port, FEdit.Unit, Page.LoadCommand, Page.SetpointReg,
        TSetpointLoad::THooks{
            .Wanted = [this, opening] { return IsLoading(opening); },
            .BlockRead = [this, opening] { EditBlockRead(opening); },
            .Ended = [this, opening](bool Loaded) { LoadEnded(opening, Loaded); }}));
}

// A sauna change while a setpoint page is open loads the new sauna's setpoint; the edit made
// for the sauna before is dropped.
void TKovMainNavigation::ReloadOpenPage() {
    if (const auto page = OpenSetpointPage()) {
        OpenPage(*page);
    }
}

bool TKovMainNavigation::IsLoading(std::int32_t Opening) const {
    return Opening == FEdit.Opening && KovMode == FEdit.Mode && FEdit.State == SETPOINT_LOADING;
}

// The loading opening holds what its read brought; a read of any other opening gives the image
// back the block the open page holds.
void TKovMainNavigation::EditBlockRead(std::int32_t Opening) {
    for (std::int32_t k = 0; k < EDIT_BLOCK_COUNT; ++k) {
        if (IsLoading(Opening)) {
            FEdit.Block[k] = Port->Sauna->ReadTableREG(EDIT_BLOCK_FIRST + k);
        } else {
            Port->Sauna->WriteTableREG(EDIT_BLOCK_FIRST + k, FEdit.Block[k]);
        }
    }
}

// A load that ends after its opening has ended touches nothing.
void TKovMainNavigation::LoadEnded(std::int32_t Opening, bool Loaded) {
    if (!IsLoading(Opening)) {
        return;
    }
    FEdit.State = Loaded ? SETPOINT_LOADED : SETPOINT_FAILED;
    if (Loaded) {
        FEdit.Loaded = FEdit.Value();
    }
    RefreshOpenPage();
}

void TKovMainNavigation::RefreshOpenPage() {
    if (const auto page = OpenSetpointPage(); page && page->Mode == FEdit.Mode) {
        RefreshPage(*page);
    }
}

// Shows the opening's setpoint as the controller gave it, also outside its limits; the bar shows
// it in its own units, at its nearest end when it cannot hold it, and never changes it. Until
// the setpoint is loaded the page keeps what it showed, greyed.
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
    *Page.BarShown = Page.Bar->Value();
    Page.ValueLabel->setText(Page.Text(FEdit.Value()));
    Page.MaxLabel->setText(Page.Text(FEdit.Max()));
    Page.MinLabel->setText(Page.Text(FEdit.Min()));
}

bool TKovMainNavigation::Editable(const TSetpointPage& Page) const {
    return FEdit.Mode == Page.Mode && KovMode == Page.Mode &&
           (FEdit.State == SETPOINT_LOADED || FEdit.State == SETPOINT_EDITED ||
            FEdit.State == SETPOINT_STORING);
}

// The edit is the page's own and stays within the controller's limits; the image's edit value
// follows it, as the operator's changes go to the image and nowhere else.
void TKovMainNavigation::SetEditValue(std::int32_t Value) {
    FEdit.Block[REG_EDIT_VALUE - EDIT_BLOCK_FIRST] = FEdit.Within(Value);
    Port->Sauna->WriteTableREG(REG_EDIT_VALUE, FEdit.Value());
    if (FEdit.StoresPending == 0) {
        FEdit.State = ShownState();
    }
}

// With no store on its way: whether the page shows what the controller holds.
TSetpointState TKovMainNavigation::ShownState() const {
    return FEdit.Loaded == FEdit.Value() ? SETPOINT_LOADED : SETPOINT_EDITED;
}

// Exactly the controller's step, held within its limits; from a value outside them either button
// goes to the nearest limit first. Nothing is sent.
void TKovMainNavigation::BtTempSPUpDnClick(QObject* Sender) {
    const auto page = OpenSetpointPage();
    if (!page || !Editable(*page)) {
        return;
    }
    const std::int32_t tag = TagOf(Sender);
    const std::int32_t value = FEdit.Value();
    if (FEdit.Within(value) != value) {
        SetEditValue(value);
    } else if (tag == TAG_TEMP_UP || tag == TAG_TIME_UP) {
        SetEditValue(value + FEdit.Step());
    } else if (tag == TAG_TEMP_DOWN || tag == TAG_TIME_DOWN) {
        SetEditValue(value - FEdit.Step());
    }
    RefreshPage(*page);
}

void TKovMainNavigation::ScBarSetTempChange(QObject*) {
    FollowScrollBar(TempPage());
}

void TKovMainNavigation::ScBarSetTimeChange(QObject*) {
    FollowScrollBar(TimePage());
}

void TKovMainNavigation::SetBar(const TSetpointPage& Page, double Value) {
    FSettingBar = true;
    Page.Bar->SetValue(Value);
    FSettingBar = false;
}

// Only the operator's move of the bar edits, and snaps the value to the bar's units. While the
// page takes no edit (loading, failed, or not open) the bar goes back where the page had it.
void TKovMainNavigation::FollowScrollBar(const TSetpointPage& Page) {
    if (FSettingBar) {
        return;
    }
    if (!Editable(Page)) {
        SetBar(Page, *Page.BarShown);
        return;
    }
    const auto units = static_cast<std::int32_t>(std::nearbyint(Page.Bar->Value()));
    SetEditValue(units * UNITS_PER_BAR_STEP);
    RefreshPage(Page);
}

// The value shown, to the sauna the page was opened for; a store without an edit writes back
// what was loaded. A value outside the limits, as loaded and not yet stepped, is not stored. A
// store while another is on its way follows it with its own value.
void TKovMainNavigation::BtSetTempWriteClick(QObject*) {
    const auto page = OpenSetpointPage();
    if (!page || !Editable(*page) || FEdit.Within(FEdit.Value()) != FEdit.Value()) {
        return;
    }
    const std::int32_t opening = FEdit.Opening;
    const std::int32_t value = FEdit.Value();
    FCommandNote.clear();
    ++FEdit.StoresPending;
    FEdit.State = SETPOINT_STORING;
    EditBlocks->Queue(std::make_shared<TSetpointStore>(
        FEdit.Unit, value, page->StoreCommand,
        [this, opening, value](bool Stored) { StoreEnded(opening, value, Stored); }));
    RefreshPage(*page);
}

// A lost store is said on the status line wherever the operator is; the page of the opening it
// was made in shows the edit unstored. A store that ends after its opening has ended touches no
// page.
void TKovMainNavigation::StoreEnded(std::int32_t Opening, std::int32_t Value, bool Stored) {
    if (!Stored) {
        FCommandNote = QStringLiteral("nastawa nie została zapisana");
    }
    if (Opening != FEdit.Opening) {
        return;
    }
    FEdit.Loaded = Stored ? std::optional<std::int32_t>(Value) : std::nullopt;
    if (--FEdit.StoresPending == 0) {
        FEdit.State = ShownState();
    }
    RefreshOpenPage();
}
