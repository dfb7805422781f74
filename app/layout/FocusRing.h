#pragma once
// The keyboard's focus mark in the panel's looks: a blue ring round the control, drawn only when
// the focus came by the keyboard (Tab or Backtab), so a mouse operator never sees it.

#include <QFocusEvent>
#include <QRectF>

class QPainter;

// Whether a focus-in event brings the keyboard's focus.
inline bool KeyboardFocus(const QFocusEvent* Event) {
    return Event->reason() == Qt::TabFocusReason || Event->reason() == Qt::BacktabFocusReason;
}

// Draws the ring just inside Bounds.
void PaintFocusRing(QPainter& Painter, const QRectF& Bounds);
