#include "FocusRing.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

// The toolkit marks a window once a key has moved the focus in it; the platform's own looks
// show their focus frames by the same mark.
bool ShowsFocusRing(const QWidget* Control) {
    return Control->hasFocus() && Control->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PaintFocusRing(QPainter& Painter, const QRectF& Bounds) {
    constexpr QRgb RING_COLOUR = 0xFF1E90FF; // the panel's blue
    constexpr qreal RING_WIDTH = 2.0;
    constexpr qreal INSET = 5.0; // inside the pending ring, clear of it
    constexpr qreal RADIUS = 6.0;
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setPen(QPen(QColor::fromRgba(RING_COLOUR), RING_WIDTH, Qt::DashLine));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRoundedRect(Bounds.adjusted(INSET, INSET, -INSET, -INSET), RADIUS, RADIUS);
    Painter.restore();
}
