#pragma once
// The text colour of a label (or any widget drawing with the window-text colour).

#include <QColor>

class QWidget;

// Sets the colour in every colour group; returns at once when it is already that colour.
void SetTextColor(QWidget* widget, const QColor& color);
QColor TextColor(const QWidget* widget);
