#include "TScrollBarStyle.h"

#include "Looks.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

TScrollBarStyle::TScrollBarStyle() : QProxyStyle(nullptr) {}

void TScrollBarStyle::Apply(QWidget* form) {
    const QList<QScrollBar*> bars = form->findChildren<QScrollBar*>();
    if (bars.isEmpty()) {
        return;
    }
    auto* style = new TScrollBarStyle;
    style->setParent(form);
    for (QScrollBar* bar : bars) {
        bar->setStyle(style);
    }
}

void TScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar || bar->orientation != Qt::Vertical) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect groove = subControlRect(control, bar, SC_ScrollBarGroove, widget);
    const QRect handle = subControlRect(control, bar, SC_ScrollBarSlider, widget);
    const QColor accent = bar->palette.color(QPalette::Highlight);
    const bool minimumAtBottom = bar->upsideDown;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(bar->rect, Looks::ScrollBarBack);

    // The track: a slim rounded groove in the middle, filled from the minimum to the handle.
    const int trackWidth = std::max(6, groove.width() / 5);
    const QRectF track(groove.center().x() - trackWidth / 2.0 + 0.5, groove.top() + 4.5,
                       trackWidth - 1.0, groove.height() - 9.0);
    painter->setPen(QPen(Looks::ScrollBarTrackEdge, 1.0));
    painter->setBrush(Looks::ScrollBarTrack);
    painter->drawRoundedRect(track, trackWidth / 2.0, trackWidth / 2.0);
    const qreal handleMiddle = handle.center().y() + 0.5;
    const QRectF level =
        minimumAtBottom
            ? QRectF(track.left(), handleMiddle, track.width(), track.bottom() - handleMiddle)
            : QRectF(track.left(), track.top(), track.width(), handleMiddle - track.top());
    QColor levelColour = accent;
    levelColour.setAlphaF(Looks::ScrollBarLevelOpacity);
    painter->setPen(Qt::NoPen);
    painter->setBrush(levelColour);
    painter->drawRoundedRect(level, trackWidth / 2.0, trackWidth / 2.0);

    // The handle: a broad rounded key with a light top edge and three grip lines.
    const QRectF key = QRectF(handle).adjusted(4.5, 1.5, -4.5, -1.5);
    QLinearGradient shade(key.topLeft(), key.bottomLeft());
    const bool pressed =
        (bar->activeSubControls & SC_ScrollBarSlider) && (bar->state & State_Sunken);
    const QColor face = pressed ? accent.darker(115) : accent;
    shade.setColorAt(0.0, face.lighter(135));
    shade.setColorAt(0.5, face);
    shade.setColorAt(1.0, face.darker(140));
    painter->setPen(QPen(accent.darker(220), 1.0));
    painter->setBrush(shade);
    painter->drawRoundedRect(key, 5, 5);
    painter->setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    const qreal gripLeft = key.center().x() - key.width() / 5;
    const qreal gripRight = key.center().x() + key.width() / 5;
    for (int line = -1; line <= 1; ++line) {
        const qreal y = std::round(key.center().y()) + 4 * line + 0.5;
        painter->drawLine(QPointF(gripLeft, y), QPointF(gripRight, y));
    }

    // The arrow buttons at both ends.
    for (const SubControl button : {SC_ScrollBarSubLine, SC_ScrollBarAddLine}) {
        const QRect area = subControlRect(control, bar, button, widget);
        const bool down = (bar->activeSubControls & button) && (bar->state & State_Sunken);
        DrawArrow(*painter, area, area.center().y() < groove.center().y(), down, accent);
    }
    painter->restore();
}

void TScrollBarStyle::DrawArrow(QPainter& painter, const QRect& button, bool up, bool pressed,
                                const QColor& colour) const {
    if (button.isEmpty()) {
        return;
    }
    const qreal half = std::min(button.width(), button.height()) / 3.0;
    const QPointF centre = QRectF(button).center();
    const qreal tip = up ? -half / 2 : half / 2;
    QPainterPath triangle;
    triangle.moveTo(centre.x() - half, centre.y() - tip);
    triangle.lineTo(centre.x() + half, centre.y() - tip);
    triangle.lineTo(centre.x(), centre.y() + tip);
    triangle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(pressed ? colour.lighter(140) : Looks::ScrollBarArrow);
    painter.drawPath(triangle);
}
