#include "SetpointPageLook.h"

#include "StatusColours.h"
#include "TFitLabel.h"
#include "TextColor.h"

#include <QLabel>

namespace {
// Between the down button and the store button on the value's panel.
constexpr QRect CAPTION_BOX{5, 312, 270, 40};
constexpr int CAPTION_PIXEL_SIZE = 17;

QString CaptionText(TSetpointState State) {
    switch (State) {
    case SETPOINT_LOADING:
        return QStringLiteral("Wczytywanie nastawy...");
    case SETPOINT_FAILED:
        return QStringLiteral("Nie udało się wczytać nastawy");
    case SETPOINT_EDITED:
        return QStringLiteral("Zmiana niezapisana");
    case SETPOINT_STORING:
        return QStringLiteral("Zapisywanie...");
    case SETPOINT_LOADED:
        break;
    }
    return {};
}

// The state as a screen reader says it after the value.
QString SpokenState(TSetpointState State) {
    switch (State) {
    case SETPOINT_LOADING:
        return QStringLiteral(", wczytywanie nastawy");
    case SETPOINT_FAILED:
        return QStringLiteral(", nie udało się wczytać nastawy");
    case SETPOINT_EDITED:
        return QStringLiteral(", zmiana niezapisana");
    case SETPOINT_STORING:
        return QStringLiteral(", zapisywanie");
    case SETPOINT_LOADED:
        break;
    }
    return {};
}

bool HasValue(TSetpointState State) {
    return State != SETPOINT_LOADING && State != SETPOINT_FAILED;
}

} // namespace

TSetpointPageLook::TSetpointPageLook(QLabel* Value, QLabel* Max, QLabel* Min,
                                     std::vector<QWidget*> Controls)
    : FValue(Value), FMax(Max), FMin(Min), FCaption(new TFitLabel(Value->parentWidget())),
      FControls(std::move(Controls)), FValueColour(TextColor(Value)), FLimitColour(TextColor(Max)) {
    FCaption->setObjectName(Value->objectName() + QStringLiteral("State"));
    FCaption->setGeometry(CAPTION_BOX);
    FCaption->setAlignment(Qt::AlignCenter);
    QFont font = Value->font();
    font.setPixelSize(CAPTION_PIXEL_SIZE);
    font.setBold(true);
    FCaption->setFont(font);
    FCaption->show();
    Show(SETPOINT_LOADING);
}

void TSetpointPageLook::Show(TSetpointState State) {
    FState = State;
    const bool real = HasValue(State);
    const QColor grey = QColor::fromRgba(StatusColours::DimGray);
    const QColor orange = QColor::fromRgba(StatusColours::Orange);
    const QColor value = !real ? grey : State == SETPOINT_LOADED ? FValueColour : orange;
    SetTextColor(FValue, value);
    SetTextColor(FMax, real ? FLimitColour : grey);
    SetTextColor(FMin, real ? FLimitColour : grey);
    SetTextColor(FCaption, State == SETPOINT_FAILED ? QColor::fromRgba(StatusColours::Red)
                           : real                   ? orange
                                                    : grey);
    FCaption->setText(CaptionText(State));
    for (QWidget* control : FControls) {
        control->setEnabled(real);
    }
    if (real && FFocusWaiting) {
        if (FFocusWaiting->hasFocus() && !FControls.empty()) {
            FControls.front()->setFocus(Qt::ShortcutFocusReason);
        }
        FFocusWaiting = nullptr;
    }
}

void TSetpointPageLook::FocusWhenLoaded(QWidget* Waiting) {
    FFocusWaiting = Waiting;
}

QString TSetpointPageLook::ValueName(const QString& What) const {
    const QString value = HasValue(FState) ? QStringLiteral(" ") + FValue->text() : QString();
    return What + value + SpokenState(FState);
}
