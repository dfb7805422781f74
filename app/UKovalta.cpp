#include "UKovalta.h"

#include "SaunaREG.h"
#include "StatusColours.h"
#include "StatusTexts.h"
#include "StrToInt.h"
#include "TDockBar.h"
#include "TGlyph.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

#include <cmath>

namespace {

// The settings records, numbered in the order start-up declares them.
constexpr std::int32_t RECORD_IP = 1;
constexpr std::int32_t RECORD_PORT = 2;
constexpr std::int32_t RECORD_CONST_IP = 3;
constexpr std::int32_t RECORD_AUTO_IP = 4;
constexpr std::int32_t RECORD_CONNECT_AUTO = 5;

// The bottom bar holds five buttons of 48 and six equal gaps.
constexpr int BOTTOM_BAR_BUTTONS_WIDTH = 5 * 48;
constexpr int BOTTOM_BAR_GAPS = 6;

// The heating modes that have a picture in the button image lists.
constexpr std::int32_t HEAT_MODE_FIRST = 0;
constexpr std::int32_t HEAT_MODE_LAST = 3;

QString TwoDigits(std::int32_t Val) {
    return (Val < 10 ? QStringLiteral("0") : QString()) + QString::number(Val);
}

// A time not known: dashes in place of the hours and minutes.
const QString UNKNOWN_TIME = QStringLiteral("--:--");

// The work-time dial's sweep: elapsed over set time, in whole degrees, 0 without a set time.
double DialAngle(std::int32_t WorkTimer, std::int32_t WorkTimeSet) {
    return WorkTimeSet > 0 ? (WorkTimer * 360) / WorkTimeSet : 0;
}

} // namespace

TKovMainNavigation::TKovMainNavigation(const QString& SettingsDir,
                                       std::unique_ptr<TTCPClient> Client, QWidget* parent)
    : TKovMainForm(parent) {
    BindControls();
    FormCreate(SettingsDir, std::move(Client));
}

TKovMainNavigation::~TKovMainNavigation() {
    SaveSettings();
    // The port's timer goes with it, so no tick reaches the controls torn down next.
    Port.reset();
}

QString TKovMainNavigation::MinutesToStr(std::int32_t Minutes) {
    return TwoDigits(Minutes / 60) + QStringLiteral(":") + TwoDigits(Minutes % 60);
}

void TKovMainNavigation::FormCreate(const QString& SettingsDir,
                                    std::unique_ptr<TTCPClient> Client) {
    TabControl->setCurrentIndex(0);
    Port = std::make_unique<TDravonPort>(std::move(Client));
    // The display draws from the port's image, so it comes after the port.
    Display = std::make_unique<TDisplay>(*LEDDisp1, *LEDDisp2, *LEDDisp3, *LabelTempSet, *Port);
    StaleLook = std::make_unique<TStaleLook>(*this);
    SetUpEditing();
    FTempLook = std::make_unique<TSetpointPageLook>(
        LabSetTemp, LabSetTempMax, LabSetTempMin,
        std::vector<QWidget*>{BtSetTempUp, BtSetTempDn, BtSetTempWrite, ScBarSetTemp});
    FTimeLook = std::make_unique<TSetpointPageLook>(
        LabSetTime, LabSetTimeMax, LabSetTimeMin,
        std::vector<QWidget*>{BtSetTimeUp, BtSetTimeDn, BtSetTimeWrite, ScBarSetTime});
    DeclareSettings(SettingsDir);
    Config->OpenFile(QString());
    ShowSettings();
    Port->OnTrans = [this](TPortStatus State) { PortTrans(State); };
    Port->OnError = [this](TPortStatus State, TPortError ECode) {
        RequestFailed(Port->Sockets->ActiveSocket());
        PortError(State, ECode);
    };
    QueuePollSet();
    KovMode = KOV_MODE_MAIN;
    SpaceBottomBar();
    MarkSelectedSauna();
    ShowLockedLook();
    for (TStyledButton* button :
         {BtAromaSS, BtVentSS, BtLight1SS, BtLight2SS, BtHeaterSS, BtSaunaMode}) {
        button->SetImageList(ImageListBR);
    }
    SetUpKeyboard();
    FAssistiveTechnology =
        std::make_unique<TAssistiveTechnology>([this] { ShowAccessibleValues(); });
    // The layout's values are no readings: nothing is known until the controller answers.
    ShowReadings();
    Port->Start();
}

void TKovMainNavigation::DeclareSettings(const QString& SettingsDir) {
    Config = std::make_unique<TProgConfig>();
    Config->SetConfigName(QStringLiteral("Kovalta_Config"));
    Config->AddRecord(QStringLiteral("ServerTCP-IP"), "192.168.0.222");
    Config->AddRecord(QStringLiteral("ServerTCP-Port"), std::int32_t{502});
    Config->AddRecord(QStringLiteral("ServerTCP-ConstIP"), true);
    Config->AddRecord(QStringLiteral("ServerTCP-AutoIP"), false);
    Config->AddRecord(QStringLiteral("ServerTCP-ConnectAuto"), true);
    Config->SetFileName(SettingsDir + QStringLiteral("/Kovalta_Config.xml"));
}

// Puts the loaded records on the settings page and into the port; the check boxes' change
// handler keeps the address-mode boxes opposite as they are set.
void TKovMainNavigation::ShowSettings() {
    QString address;
    Config->ReadVal(RECORD_IP, address);
    EditTCP_IPNum->setText(address);
    Port->SetServerTCPIPNum(address);

    std::int32_t portNum = 0;
    Config->ReadVal(RECORD_PORT, portNum);
    EditTCP_PortNum->setText(IntToStr(portNum));
    Port->SetServerTCPPortNum(portNum);

    bool checked = false;
    Config->ReadVal(RECORD_CONST_IP, checked);
    CheckBoxIPConst->setChecked(checked);
    Config->ReadVal(RECORD_AUTO_IP, checked);
    CheckBoxIPAuto->setChecked(checked);

    Config->ReadVal(RECORD_CONNECT_AUTO, checked);
    CheckBoxConnectAuto->setChecked(checked);
    Port->SetAutoConnect(checked);
    Port->SetSocketServerStart(checked);
}

// Each block's answer may show what a pending command did.
void TKovMainNavigation::QueuePollSet() {
    for (const TPollBlock& block : POLL_SET) {
        const std::int32_t slot =
            block.Coils ? Port->Sockets->AddReadRBBlock(Port->SlaveAddr(), block.First, block.Count,
                                                        SOCKET_MODE_MULTI)
                        : Port->Sockets->AddReadRWBlock(Port->SlaveAddr(), block.First, block.Count,
                                                        SOCKET_MODE_MULTI);
        Port->Sockets->SetOnSocketEnd(slot, [this, block](std::int32_t) {
            FPending.BlockRead(block.Coils, block.First, block.Count);
        });
    }
}

void TKovMainNavigation::SpaceBottomBar() {
    const int width = static_cast<int>(std::nearbyint(ToolBarBottom->width()));
    const int gap = (width - BOTTOM_BAR_BUTTONS_WIDTH) / BOTTOM_BAR_GAPS;
    for (TStyledButton* button :
         {BtSelTabMain, BtSelTabTemp, BtSelTabTime, BtSelTabParam, BtSelTabSettings}) {
        ToolBarBottom->SetLeftMargin(button, gap);
    }
}

// What the settings page shows at exit is saved. A port field that holds no integer leaves the
// port record as it was, so the other four values are still saved.
void TKovMainNavigation::SaveSettings() {
    Config->WriteVal(RECORD_IP, EditTCP_IPNum->text());
    try {
        Config->WriteVal(RECORD_PORT, StrToInt(EditTCP_PortNum->text()));
    } catch (const EConvertError&) {
    }
    Config->WriteVal(RECORD_CONST_IP, CheckBoxIPConst->isChecked());
    Config->WriteVal(RECORD_AUTO_IP, CheckBoxIPAuto->isChecked());
    Config->WriteVal(RECORD_CONNECT_AUTO, CheckBoxConnectAuto->isChecked());
    Config->SaveFile(QString());
}

// Redraws the whole status view from the image and the port. Every setter returns early on an
// unchanged value, so a call on an unchanged image repaints nothing.
void TKovMainNavigation::PortTrans(TPortStatus State) {
    ShowLinkIndicators(State);
    PortError(Port->Status(), Port->ErrorCode());
    ShowTxRx(State);
    ShowReadings();
}

// The readings are drawn again only when what they are drawn from has changed: most ticks
// change nothing of it. A screen reader's names follow every tick while one listens, as they
// also name the status line and the setpoint pages.
void TKovMainNavigation::ShowReadings() {
    const TReadingsSnapshot now = TReadingsSnapshot::Of(*Port);
    if (FReadingsShown != now) {
        FReadingsShown = now;
        DrawReadings();
    }
    if (FAssistiveTechnology->Active()) {
        ShowAccessibleValues();
    }
}

// The selected sauna's readings as the image holds them, each by how it stands: live, old
// (greyed) or unknown (no value shown). The image itself is never cleared. Everything drawn here
// comes from what TReadingsSnapshot holds.
void TKovMainNavigation::DrawReadings() {
    const TSaunaMX& sauna = *Port->Sauna;
    Display->Disp7Seg(sauna.ReadTableREG(REG_TEMP_ACT));
    ShowWorkTime();
    ShowOutputs();
    // What the selected sauna has fitted is known only once it has said so: another sauna's
    // outputs are never offered under its name.
    const auto fitted = [this, &sauna](int Reg) {
        return Port->AgeREG(Reg) != READING_UNKNOWN && sauna.ReadTableREG(Reg) != 0;
    };
    BtLight2SS->setEnabled(fitted(REG_LIGHT2_AVAIL));
    BtAromaSS->setEnabled(fitted(REG_AROMA_AVAIL));
    BtVentSS->setEnabled(fitted(REG_VENT_AVAIL));
    BtSaunaMode->setEnabled(Port->AgeREG(REG_CONFIG_TYPE) != READING_UNKNOWN &&
                            sauna.SaunaConfigType() != 0);
    ShowHeatingMode();
    ShowControllerInfo();
    LabSaunaAddr->setText(QStringLiteral("Sauna ") + QString::number(Port->SlaveAddr()));
    StaleLook->Show(*Port);
}

// A stray response leaves the line showing the last failure it showed.
void TKovMainNavigation::PortError(TPortStatus, TPortError ECode) {
    if (ECode != ERROR_ID) {
        StatusLabel->setText(StatusLineText(ECode));
    }
}

// The link's state in the status codes' own texts; a stopped link says so, and a note on what
// the operator did follows the state.
QString TKovMainNavigation::StatusLineText(TPortError ECode) const {
    if (!Port->SocketServerStart()) {
        return QStringLiteral("Połączenie zatrzymane");
    }
    QString state = QStringLiteral("...");
    switch (ECode) {
    case ERROR_NOT_CONNECTED:
        state = QStringLiteral("TCP NOT Connected");
        break;
    case ERROR_TIMEOUT:
        state = QStringLiteral("TCP Timeout");
        break;
    case ERROR_TRANS:
        state = QStringLiteral("Tx Error");
        break;
    case ERROR_REC:
        state = QStringLiteral("Rx Error");
        break;
    case NO_ERROR:
    case ERROR_ID:
        break;
    }
    const QString& note = FAddressNote.isEmpty() ? FCommandNote : FAddressNote;
    if (note.isEmpty()) {
        return state;
    }
    return ECode == NO_ERROR ? note : state + QStringLiteral(": ") + note;
}
void TKovMainNavigation::ShowLinkIndicators(TPortStatus State) {
    using namespace StatusColours;
    const bool stopped = State == PORT_STOP;
    SetTextColor(LabG700Stat, QColor::fromRgba(stopped ? Red : GreenYellow));
    QRgb link = DimGray;
    if (!stopped) {
        link = Port->TCPClient->IsConnected() ? GreenYellow : Red;
    }
    RectConnStatus->SetFillColor(QColor::fromRgba(link));
}

// Each rule may override the one before; a label no rule touches keeps its colour.
void TKovMainNavigation::ShowTxRx(TPortStatus State) {
    using namespace StatusColours;
    const auto paint = [](QLabel* label, QRgb colour) {
        SetTextColor(label, QColor::fromRgba(colour));
    };
    if (State == PORT_TRANS) {
        paint(LabTx, GreenYellow);
        paint(LabRx, DarkGreen);
    }
    if (State == PORT_REC) {
        paint(LabRx, GreenYellow);
        paint(LabTx, DarkGreen);
    }
    const TPortError error = Port->ErrorCode();
    if (error == ERROR_TRANS) {
        paint(LabTx, Red);
    }
    if (error == ERROR_REC) {
        paint(LabRx, Red);
    }
    if (error == ERROR_NOT_CONNECTED) {
        paint(LabTx, Orange);
        paint(LabRx, Orange);
    }
    if (State == PORT_STOP || State == PORT_IDLE || State == PORT_COMPLETE) {
        paint(LabTx, DimGray);
        paint(LabRx, DimGray);
    }
}

// An unknown time shows dashes, and the dial stays empty unless both times are known.
void TKovMainNavigation::ShowWorkTime() {
    const std::int32_t timer = Port->Sauna->ReadTableREG(REG_WORK_TIMER);
    const std::int32_t timeSet = Port->Sauna->ReadTableREG(REG_WORK_TIME_SET);
    const bool timerKnown = Port->AgeREG(REG_WORK_TIMER) != READING_UNKNOWN;
    const bool timeSetKnown = Port->AgeREG(REG_WORK_TIME_SET) != READING_UNKNOWN;
    LabWorkTimer->setText(timerKnown ? MinutesToStr(timer) : UNKNOWN_TIME);
    LabSetWorkTime->setText(timeSetKnown ? MinutesToStr(timeSet) : UNKNOWN_TIME);
    PieWorkTimer->SetEndAngle(timerKnown && timeSetKnown ? DialAngle(timer, timeSet) : 0);
}

// The lamps follow the coils as the image holds them; the stale look shows how far they can be
// trusted. A picture shows the on-look only while its output is on and live.
void TKovMainNavigation::ShowOutputs() {
    struct TOutput {
        int Coil;
        TRectangle* Lamp;
        TStyledButton* Button;
    };
    const TOutput outputs[] = {
        {BIT_HEATER, LampHeater, BtHeaterSS}, {BIT_LIGHT1, LampLight1, BtLight1SS},
        {BIT_LIGHT2, LampLight2, BtLight2SS}, {BIT_VENT, LampVent, BtVentSS},
        {BIT_AROMA, LampAroma, BtAromaSS},
    };
    for (const TOutput& output : outputs) {
        const bool on = Port->Sauna->ReadTableBIT(output.Coil);
        if (on) {
            output.Lamp->SetFillKind(TRectangle::FILL_GRADIENT);
        } else {
            output.Lamp->SetFillKind(TRectangle::FILL_SOLID);
            output.Lamp->SetFillColor(QColor::fromRgba(StatusColours::Transparent));
        }
        const bool live = Port->AgeBIT(output.Coil) == READING_LIVE;
        output.Button->SetImageList(on && live ? ImageListBC : ImageListBR);
    }
}

// The heating mode picks one of the four heater pictures; any other mode, or one not known,
// shows none.
void TKovMainNavigation::ShowHeatingMode() {
    const std::int32_t mode = Port->Sauna->ReadTableREG(REG_HEAT_MODE);
    const bool known = Port->AgeREG(REG_HEAT_MODE) != READING_UNKNOWN;
    const int index = known && mode >= HEAT_MODE_FIRST && mode <= HEAT_MODE_LAST ? mode : -1;
    BtSaunaMode->SetImageIndex(index);
    BtHeaterSS->SetImageIndex(index);
}

void TKovMainNavigation::ShowControllerInfo() {
    const TSaunaMX& sauna = *Port->Sauna;
    LabConType->setText(Port->AgeREG(REG_CONTROLLER_TYPE) != READING_UNKNOWN
                            ? ControllerModelText(sauna.ReadTableREG(REG_CONTROLLER_TYPE))
                            : QStringLiteral("--"));
    LabConVersion->setText(Port->AgeREG(REG_FIRMWARE_VERSION) != READING_UNKNOWN
                               ? FirmwareVersionText(sauna.ReadTableREG(REG_FIRMWARE_VERSION))
                               : QStringLiteral("-.--"));
}
