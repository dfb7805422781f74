#include "TPie.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// QPainter measures angles in sixteenths of a degree, counter-clockwise from 3 o'clock.
constexpr int Sixteenths = 16;
constexpr int TwelveOClock = 90 * Sixteenths;

} // namespace

TPie::TPie(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPie::SetEndAngle(double angle) {
    if (angle == FEndAngle) {
        return;
    }
    FEndAngle = angle;
    update();
}

void TPie::SetColor(const QColor& color) {
    if (color == FColor) {
        return;
    }
    FColor = color;
    update();
}

void TPie::SetOpacity(qreal opacity) {
    if (opacity == FOpacity) {
        return;
    }
    FOpacity = opacity;
    update();
}

void TPie::paintEvent(QPaintEvent*) {
    const double sweep = std::clamp(FEndAngle, 0.0, 360.0);
    if (!(sweep > 0.0)) { // also an angle that is not a number
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(FOpacity);
    painter.setPen(QPen(FColor, 1.0));
    painter.setBrush(FColor);
    const QRectF disc = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (sweep >= 360.0) {
        painter.drawEllipse(disc);
        return;
    }
    const int span = static_cast<int>(std::lround(sweep * Sixteenths));
    painter.drawPie(disc, TwelveOClock, -span);
}
