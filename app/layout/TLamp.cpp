#include "TLamp.h"

#include "Looks.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The unlit glass: the lit gradient's shape (bright band a little above the middle) in dark reds.
QBrush UnlitGlass() {
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, Looks::LampUnlitEdge);
    gradient.setColorAt(0.4627, Looks::LampUnlitBand);
    gradient.setColorAt(1, Looks::LampUnlitShade);
    return gradient;
}

QColor Grey(const QColor& colour) {
    const int grey = qGray(colour.rgb());
    return QColor(grey, grey, grey, colour.alpha());
}

} // namespace

TLamp::TLamp(QWidget* parent) : TRectangle(parent) {}

void TLamp::SetShade(TLampShade shade) {
    if (shade == FShade) {
        return;
    }
    FShade = shade;
    update();
}

// A gradient in grey keeps its stops, each colour at its own brightness.
QBrush TLamp::Shaded(const QBrush& brush) const {
    if (FShade == LAMP_IN_COLOUR) {
        return brush;
    }
    if (const QGradient* gradient = brush.gradient()) {
        QGradient grey = *gradient;
        QGradientStops stops = gradient->stops();
        for (QGradientStop& stop : stops) {
            stop.second = Grey(stop.second);
        }
        grey.setStops(stops);
        return grey;
    }
    return Grey(brush.color());
}

void TLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline lies inside the lamp, so half its thickness in from the edge.
    const qreal inset = StrokeThickness() / 2;
    QPainterPath glass;
    glass.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                         Looks::LampCornerRadius, Looks::LampCornerRadius);
    if (FShade == LAMP_BLANK) {
        painter.fillPath(glass, Looks::LampBlankGlass);
        PaintDash(painter);
    } else {
        painter.fillPath(glass, Shaded(UnlitGlass()));
        switch (FillKind()) {
        case FILL_SOLID:
            painter.fillPath(glass, Shaded(FillColor()));
            break;
        case FILL_GRADIENT:
            painter.fillPath(glass, Shaded(FillGradient()));
            break;
        case FILL_NONE:
            break;
        }
    }
    if (StrokeThickness() > 0) {
        painter.strokePath(glass, QPen(StrokeColor(), StrokeThickness()));
    }
}

// The dash of a value not known, as the readings show it.
void TLamp::PaintDash(QPainter& painter) const {
    const QRectF dash(width() / 2.0 - Looks::LampDashLength / 2,
                      height() / 2.0 - Looks::LampDashThickness / 2, Looks::LampDashLength,
                      Looks::LampDashThickness);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Looks::LampDash);
    painter.drawRoundedRect(dash, Looks::LampDashThickness / 2, Looks::LampDashThickness / 2);
}
