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
} // namespace

TSetpointPageLook::TSetpointPageLook(QLabel* Value, QLabel* Max, QLabel* Min)
    : FValue(Value), FMax(Max), FMin(Min), FCaption(new TFitLabel(Value->parentWidget())),
      FValueColour(TextColor(Value)), FLimitColour(TextColor(Max)) {
    FCaption->setObjectName(Value->objectName() + QStringLiteral("State"));
    FCaption->setGeometry(CAPTION_BOX);
    FCaption->setAlignment(Qt::AlignCenter);
    QFont font = Value->font();
    font.setPixelSize(CAPTION_PIXEL_SIZE);
    font.setBold(true);
    FCaption->setFont(font);
    FCaption->show();
}

void TSetpointPageLook::Show(TSetpointState State) {
    const bool real = State != SETPOINT_LOADING && State != SETPOINT_FAILED;
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
}
