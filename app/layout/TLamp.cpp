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

} // namespace

TLamp::TLamp(QWidget* parent) : TRectangle(parent) {}

void TLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline lies inside the lamp, so half its thickness in from the edge.
    const qreal inset = StrokeThickness() / 2;
    QPainterPath glass;
    glass.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                         Looks::LampCornerRadius, Looks::LampCornerRadius);
    painter.fillPath(glass, UnlitGlass());
    switch (FillKind()) {
    case FILL_SOLID:
        painter.fillPath(glass, FillColor());
        break;
    case FILL_GRADIENT:
        painter.fillPath(glass, FillGradient());
        break;
    case FILL_NONE:
        break;
    }
    if (StrokeThickness() > 0) {
        painter.strokePath(glass, QPen(StrokeColor(), StrokeThickness()));
    }
}
