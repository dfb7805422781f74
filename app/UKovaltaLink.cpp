// Link control on the settings page: the connect button starts a stopped link and connects at
// once, or asks the poll engine to stop a started one; the caption names what the next click
// does; the two address-mode check boxes stay opposite.
#include "UKovalta.h"

#include "GatewayAddress.h"
#include "StatusColours.h"
#include "StrToInt.h"
#include "TextColor.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The Tag of each of the two address-mode check boxes.
constexpr std::int32_t TAG_CONST_IP = 1;
constexpr std::int32_t TAG_AUTO_IP = 2;

// The connect button's caption: the action its next click performs.
constexpr QRgb CAPTION_STOP_COLOUR = 0xFFFF0000;  // red
constexpr QRgb CAPTION_START_COLOUR = 0xFF008000; // green

} // namespace

// One click either asks for a stop (started) or starts and connects (stopped), never both.
void TKovMainNavigation::BtWiFiConnectClick(QObject*) {
    if (Port->SocketServerStart()) {
        DisconnectGateway();
        // The engine clears both flags when it next closes a slot; a second click before then
        // asks again and does not restart.
        Port->SetSocketServerStop(true);
        ShowServerState(false);
        return;
    }
    // The port text is checked before anything changes: a text that is no integer leaves the
    // link stopped and the port's address as it was.
    std::int32_t portNum = 0;
    try {
        portNum = StrToInt(EditTCP_PortNum->text());
    } catch (const EConvertError& error) {
        QMessageBox::critical(this, windowTitle(), QString::fromUtf8(error.what()));
        return;
    }
    DisconnectGateway();
    Port->SetTransID(0);
    Port->SetRecID(0);
    Port->SetSocketServerStart(true);
    ShowServerState(true);
    Port->SetServerTCPPortNum(portNum);
    Port->SetServerTCPIPNum(EditTCP_IPNum->text());
    FAddressNote = IsGatewayAddress(EditTCP_IPNum->text())
                       ? QString()
                       : QStringLiteral("adres bramki musi być adresem IPv4, np. 10.0.0.5");
    Port->TCPConnect();
}

// An attempt still pending is abandoned at once: a stopped link dials nothing.
void TKovMainNavigation::DisconnectGateway() {
    Port->TCPDisconnect();
}

// A locked field shows it: grey text on a darker ground, as no field that takes typing looks.
void TKovMainNavigation::ShowLockedLook() {
    constexpr QRgb LOCKED_GROUND = 0xFF202020; // darker than an open field
    for (QLineEdit* field : {EditTCP_IPNum, EditTCP_PortNum}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text,
                         QColor::fromRgba(StatusColours::DimGray));
        palette.setColor(QPalette::Disabled, QPalette::Base, QColor::fromRgba(LOCKED_GROUND));
        field->setPalette(palette);
    }
}

// Started: the address and port are locked and the caption offers the stop.
void TKovMainNavigation::ShowServerState(bool Flag) {
    EditTCP_IPNum->setEnabled(!Flag);
    EditTCP_PortNum->setEnabled(!Flag);
    LabSSSerwer->setText(Flag ? QStringLiteral("SERWER STOP") : QStringLiteral("SERWER START"));
    SetTextColor(LabSSSerwer, QColor::fromRgba(Flag ? CAPTION_STOP_COLOUR : CAPTION_START_COLOUR));
}

// Setting the other box runs this handler once more for it; that run finds the first box
// already in the state it would set, so the chain ends there.
void TKovMainNavigation::CheckBoxIPConfigChange(QObject* Sender) {
    EditTCP_IPNum->setEnabled(CheckBoxIPConst->isChecked());
    const std::int32_t tag = TagOf(Sender);
    if (tag == TAG_CONST_IP) {
        CheckBoxIPAuto->setChecked(!CheckBoxIPConst->isChecked());
    }
    if (tag == TAG_AUTO_IP) {
        CheckBoxIPConst->setChecked(!CheckBoxIPAuto->isChecked());
    }
}
