// The window's event bindings in one place: which handler each control's click, change, press
// and release runs. Every handler receives the control that raised the event.
#include "UKovalta.h"

#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"

#include <QCheckBox>
#include <QEvent>
#include <QPushButton>

#include <initializer_list>

namespace {

using THandler = void (TKovMainNavigation::*)(QObject* Sender);

// Runs Handler with Sender whenever Sender raises Signal.
template <typename TSender, typename TSignal>
void Bind(TKovMainNavigation* Window, TSender* Sender, TSignal Signal, THandler Handler) {
    QObject::connect(Sender, Signal, Window,
                     [Window, Sender, Handler] { (Window->*Handler)(Sender); });
}

void BindClicks(TKovMainNavigation* Window, std::initializer_list<QAbstractButton*> Buttons,
                THandler Handler) {
    for (QAbstractButton* button : Buttons) {
        Bind(Window, button, &QAbstractButton::clicked, Handler);
    }
}

} // namespace

void TKovMainNavigation::BindControls() {
    using T = TKovMainNavigation;
    BindClicks(this, {BtAromaSS, BtVentSS, BtLight2SS, BtLight1SS, BtHeaterSS},
               &T::BtDeviceSSClick);
    BindClicks(this, {BtSaunaMode}, &T::BtSaunaModeClick);
    BindClicks(this, {BtSelectSauna1, BtSelectSauna2, BtSelectSauna3, Button1},
               &T::BtSaunaSelectClick);
    BindClicks(this, {BtSelTabMain}, &T::BtSelTabMainClick);
    BindClicks(this, {BtSelTabTemp}, &T::BtSelTabTempClick);
    Bind(this, Rectangle7LED, &TRectangle::clicked, &T::BtSelTabTempClick);
    BindClicks(this, {BtSelTabTime}, &T::BtSelTabTimeClick);
    BindClicks(this, {BtSelTabParam}, &T::BtSelTabParamClick);
    BindClicks(this, {BtSelTabSettings}, &T::BtSelTabSettingsClick);
    BindClicks(this, {BtSetTempUp, BtSetTempDn, BtSetTimeUp, BtSetTimeDn}, &T::BtTempSPUpDnClick);
    BindClicks(this, {BtSetTempWrite, BtSetTimeWrite}, &T::BtSetTempWriteClick);
    BindClicks(this, {BtWiFiConnect}, &T::BtWiFiConnectClick);
    Bind(this, ScBarSetTemp, &TScrollBar::valueChanged, &T::ScBarSetTempChange);
    Bind(this, ScBarSetTime, &TScrollBar::valueChanged, &T::ScBarSetTimeChange);
    // toggled runs only when the checked state changes, also when code sets it.
    Bind(this, CheckBoxIPConst, &QCheckBox::toggled, &T::CheckBoxIPConfigChange);
    Bind(this, CheckBoxIPAuto, &QCheckBox::toggled, &T::CheckBoxIPConfigChange);

    // Mouse down and up on the seventeen page buttons reach BtMouseDown and BtMouseUp through
    // eventFilter; the bottom bar has no press feedback.
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             BtAromaSS, BtVentSS, BtLight2SS, BtLight1SS, BtHeaterSS, BtSaunaMode, BtSetTempUp,
             BtSetTempDn, BtSetTempWrite, BtSetTimeUp, BtSetTimeDn, BtSetTimeWrite, BtSelectSauna1,
             BtSelectSauna2, BtSelectSauna3, Button1, BtWiFiConnect}) {
        button->installEventFilter(this);
    }
}

// The buttons still take their mouse events after the handlers have seen them. A disabled
// button raises no mouse down; every mouse up restores, also one that ends a press on a
// button disabled meanwhile.
bool TKovMainNavigation::eventFilter(QObject* Watched, QEvent* Event) {
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QWidget*>(Watched)->isEnabled()) {
            BtMouseDown(Watched);
        }
        break;
    case QEvent::MouseButtonRelease:
        BtMouseUp(Watched);
        break;
    default:
        break;
    }
    return TKovMainForm::eventFilter(Watched, Event);
}
