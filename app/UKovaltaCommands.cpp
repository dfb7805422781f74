// The operator's commands: the device and heating-mode buttons queue one command write each,
// the sauna buttons readdress the port and every queued request, the bottom bar opens the main,
// sauna and settings pages, and the page buttons dim while pressed. A command is only queued
// here; the poll engine sends it on a later tick.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TControlEffect.h"
#include "TStyledButton.h"

#include <QStackedWidget>

namespace {

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

// Each click queues one write whatever the output's state: every command switches it over.
void TKovMainNavigation::BtDeviceSSClick(QObject* Sender) {
    Port->Sockets->AddWriteRW(Port->SlaveAddr(), REG_COMMAND, TagOf(Sender));
}

void TKovMainNavigation::BtSaunaModeClick(QObject*) {
    Port->Sockets->AddWriteRW(Port->SlaveAddr(), REG_COMMAND, CMD_HEAT_MODE);
}

// The poll set and every request made from now on go to the chosen sauna; a command, a store or
// a load already queued keeps the sauna it was made for. An open setpoint page loads the new
// sauna's setpoint.
void TKovMainNavigation::BtSaunaSelectClick(QObject* Sender) {
    const auto address = static_cast<std::uint8_t>(TagOf(Sender) & 0xFF);
    if (address == Port->SlaveAddr()) {
        return;
    }
    Port->SetSlaveAddr(address);
    Port->Sockets->SetAddress(address);
    ReloadOpenPage();
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
