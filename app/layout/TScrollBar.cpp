#include "TScrollBar.h"

#include "FocusRing.h"
#include "Looks.h"

#include <QAccessible>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

TScrollBar::TScrollBar(QWidget* parent) : QWidget(parent) {
    // Reached by Tab only, so a click never moves the focus; on its page Up and Down step the
    // value as the page's buttons do.
    setFocusPolicy(Qt::TabFocus);
}

void TScrollBar::SetMin(double min) {
    const double bound = std::min(min, FMax);
    if (bound == FMin) {
        return;
    }
    FMin = bound;
    update();
    Settle(FValue);
}

void TScrollBar::SetMax(double max) {
    const double bound = std::max(max, FMin);
    if (bound == FMax) {
        return;
    }
    FMax = bound;
    update();
    Settle(FValue);
}

void TScrollBar::SetValue(double value) {
    Settle(value);
}

void TScrollBar::Settle(double value) {
    const double settled = std::clamp(value, FMin, FMax);
    if (settled == FValue) {
        return;
    }
    FValue = settled;
    update();
    QAccessibleValueChangeEvent announce(this, FValue * FValueScale);
    QAccessible::updateAccessibility(&announce);
    emit valueChanged(FValue);
}

qreal TScrollBar::Travel() const {
    return std::max<qreal>(height() - 2 * Looks::ScrollBarEndGap - Looks::ScrollBarHandleLength,
                           0.0);
}

qreal TScrollBar::CentreAtMin() const {
    return height() - Looks::ScrollBarEndGap - Looks::ScrollBarHandleLength / 2;
}

QRectF TScrollBar::HandleRect() const {
    const double share = FMax > FMin ? (FValue - FMin) / (FMax - FMin) : 0.0;
    const qreal centre = CentreAtMin() - share * Travel();
    return {Looks::ScrollBarHandleInset, centre - Looks::ScrollBarHandleLength / 2,
            width() - 2 * Looks::ScrollBarHandleInset, Looks::ScrollBarHandleLength};
}

double TScrollBar::ValueAtCentre(qreal centreY) const {
    const qreal travel = Travel();
    const double share = travel > 0 ? std::clamp((CentreAtMin() - centreY) / travel, 0.0, 1.0) : 0;
    return FMin + share * (FMax - FMin);
}

void TScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF at = event->position();
    const QRectF handle = HandleRect();
    FDragging = true;
    update();
    // Taken by the handle, the handle stays where it was taken; pressed on the track, the
    // handle's centre jumps to the pointer.
    if (handle.contains(at)) {
        FGrabOffset = at.y() - handle.center().y();
        return;
    }
    FGrabOffset = 0.0;
    SetValue(ValueAtCentre(at.y()));
}

void TScrollBar::mouseMoveEvent(QMouseEvent* event) {
    if (!FDragging) {
        event->ignore();
        return;
    }
    SetValue(ValueAtCentre(event->position().y() - FGrabOffset));
}

// A disabled bar drops a drag it was in.
void TScrollBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        FDragging = false;
    }
    QWidget::changeEvent(event);
}

void TScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!FDragging || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    FDragging = false;
    update();
}

void TScrollBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Looks::ScrollBarBack);
    // A disabled bar shows its level and handle in grey.
    const QColor accent =
        isEnabled() ? palette().color(QPalette::Highlight) : Looks::ScrollBarDisabled;

    // The track: a slim rounded groove in the middle, filled from the minimum up to the handle.
    const int trackWidth = std::max(6, width() / 5);
    const qreal radius = trackWidth / 2.0;
    const QRectF track(width() / 2.0 - radius + 0.5, Looks::ScrollBarEndGap, trackWidth - 1.0,
                       height() - 2 * Looks::ScrollBarEndGap);
    painter.setPen(QPen(Looks::ScrollBarTrackEdge, 1.0));
    painter.setBrush(Looks::ScrollBarTrack);
    painter.drawRoundedRect(track, radius, radius);
    const QRectF key = HandleRect();
    const qreal middle = key.center().y();
    QColor levelColour = accent;
    levelColour.setAlphaF(Looks::ScrollBarLevelOpacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(levelColour);
    painter.drawRoundedRect(QRectF(track.left(), middle, track.width(), track.bottom() - middle),
                            radius, radius);

    // The handle: a broad rounded key with a light top edge and three grip lines.
    const QColor face = FDragging ? accent.darker(115) : accent;
    QLinearGradient shade(key.topLeft(), key.bottomLeft());
    shade.setColorAt(0.0, face.lighter(135));
    shade.setColorAt(0.5, face);
    shade.setColorAt(1.0, face.darker(140));
    painter.setPen(QPen(accent.darker(220), 1.0));
    painter.setBrush(shade);
    painter.drawRoundedRect(key, 5, 5);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    const qreal gripLeft = key.center().x() - key.width() / 5;
    const qreal gripRight = key.center().x() + key.width() / 5;
    for (int line = -1; line <= 1; ++line) {
        const qreal y = std::round(middle) + 4 * line + 0.5;
        painter.drawLine(QPointF(gripLeft, y), QPointF(gripRight, y));
    }
    if (ShowsFocusRing(this)) {
        PaintFocusRing(painter, rect());
    }
}
