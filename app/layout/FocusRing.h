#pragma once
// The keyboard's focus mark in the panel's looks: a blue ring round the control that has the
// focus, drawn only once the window has been used from the keyboard (Tab, Backtab or a page
// key), so that an operator who only uses the mouse never sees it.

#include <QRectF>

class QPainter;
class QWidget;

// Whether Control wears the ring: it has the focus, and the focus has moved by the keyboard in
// its window.
bool ShowsFocusRing(const QWidget* Control);

// Draws the ring just inside Bounds.
void PaintFocusRing(QPainter& Painter, const QRectF& Bounds);
