// The operator's commands: the device and heating-mode buttons queue one command write each,
// the sauna buttons readdress the port and every queued request, the bottom bar opens the main,
// sauna and settings pages, and the page buttons dim while pressed. A command is only queued
// here; the poll engine sends it on a later tick.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TControlEffect.h"
#include "TStyledButton.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

namespace {

// The coil that shows the output a command code switches.
std::int32_t OutputCoil(std::int32_t Code) {
    switch (Code) {
    case CMD_HEATER:
        return BIT_HEATER;
    case CMD_LIGHT1:
        return BIT_LIGHT1;
    case CMD_LIGHT2:
        return BIT_LIGHT2;
    case CMD_AROMA:
        return BIT_AROMA;
    case CMD_VENT:
        return BIT_VENT;
    default:
        return -1;
    }
}

// A pressed page button, with its lamp or caption, shows at half opacity.
constexpr qreal PRESSED_OPACITY = 0.5;
constexpr qreal RELEASED_OPACITY = 1.0;

// The opacity of a whole control together with its child controls. A styled button keeps its
// own dimming while it is disabled on top of it.
void SetControlOpacity(QObject* Control, qreal Opacity) {
    if (auto* styled = qobject_cast<TStyledButton*>(Control)) {
        styled->SetOpacity(Opacity);
    } else if (auto* widget = qobject_cast<QWidget*>(Control)) {
        ControlEffect(widget)->SetSourceOpacity(Opacity);
    }
}

} // namespace

// Each click queues one write whatever the output's state: every command switches it over. The
// button shows the command pending until the poll set has read the output back after it.
void TKovMainNavigation::BtDeviceSSClick(QObject* Sender) {
    const std::int32_t code = TagOf(Sender);
    SendCommand(Sender, code, {.Coil = true, .Num = OutputCoil(code)});
}

void TKovMainNavigation::BtSaunaModeClick(QObject* Sender) {
    SendCommand(Sender, CMD_HEAT_MODE, {.Coil = false, .Num = REG_HEAT_MODE});
}

void TKovMainNavigation::SendCommand(QObject* Sender, std::int32_t Code, TReadBack Shows) {
    const std::int32_t slot = Port->Sockets->AddWriteRW(Port->SlaveAddr(), REG_COMMAND, Code);
    auto* button = qobject_cast<TStyledButton*>(Sender);
    if (slot == 0 || button == nullptr) {
        return;
    }
    FCommandNote.clear();
    Port->Sockets->SetOnSocketEnd(slot,
                                  [this](std::int32_t SocketNum) { FPending.Written(SocketNum); });
    FPending.Sent(button, slot, Shows);
}

// A failed transaction ends what it belonged to: a command, a store or a setpoint load.
void TKovMainNavigation::RequestFailed(std::int32_t SocketNum) {
    if (FPending.Failed(SocketNum)) {
        FCommandNote = QStringLiteral("polecenie nie dotarło do sterownika");
    }
    EditBlocks->Failed(SocketNum);
}

// The poll set and every request made from now on go to the chosen sauna; a command, a store or
// a load already queued keeps the sauna it was made for. An open setpoint page loads the new
// sauna's setpoint.
void TKovMainNavigation::BtSaunaSelectClick(QObject* Sender) {
    const auto address = static_cast<std::uint8_t>(TagOf(Sender) & 0xFF);
    const bool same = address == Port->SlaveAddr();
    Port->SetSlaveAddr(address);
    MarkSelectedSauna();
    if (same) {
        return;
    }
    Port->Sockets->SetAddress(address);
    // Nothing on screen is the new sauna's until it has answered.
    ShowReadings();
    ReloadOpenPage();
}

// The sauna page shows the chosen sauna's button held in, lit in amber on a bronze face. The
// buttons are one group of choices: holding one in releases the one held before.
void TKovMainNavigation::MarkSelectedSauna() {
    constexpr QRgb SELECTED_FACE = 0xFF6B4A1E;
    constexpr QRgb SELECTED_TEXT = 0xFFFFD27F;
    for (QPushButton* button : {BtSelectSauna1, BtSelectSauna2, BtSelectSauna3, Button1}) {
        const bool selected = TagOf(button) == Port->SlaveAddr();
        if (!button->property("LayoutPalette").isValid()) {
            button->setProperty("LayoutPalette", button->palette());
        }
        if (selected) {
            button->setChecked(true);
        }
        QPalette palette = button->property("LayoutPalette").value<QPalette>();
        if (selected) {
            palette.setColor(QPalette::Button, QColor::fromRgba(SELECTED_FACE));
            palette.setColor(QPalette::ButtonText, QColor::fromRgba(SELECTED_TEXT));
        }
        button->setPalette(palette);
    }
}

void TKovMainNavigation::BtSelTabMainClick(QObject* Sender) {
    TabControl->setCurrentIndex(TagOf(Sender));
    KovMode = KOV_MODE_MAIN;
}

void TKovMainNavigation::BtSelTabParamClick(QObject* Sender) {
    TabControl->setCurrentIndex(TagOf(Sender));
    KovMode = KOV_MODE_SET_PARAM;
}

void TKovMainNavigation::BtSelTabSettingsClick(QObject* Sender) {
    TabControl->setCurrentIndex(TagOf(Sender));
    KovMode = KOV_MODE_SETTINGS;
    ShowServerState(Port->SocketServerStart());
}

void TKovMainNavigation::BtMouseDown(QObject* Sender) {
    SetControlOpacity(Sender, PRESSED_OPACITY);
}

void TKovMainNavigation::BtMouseUp(QObject* Sender) {
    SetControlOpacity(Sender, RELEASED_OPACITY);
}
