#include "TextColor.h"

#include <QPalette>
#include <QWidget>

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    if (palette.color(QPalette::Active, QPalette::WindowText) == color &&
        palette.color(QPalette::Inactive, QPalette::WindowText) == color &&
        palette.color(QPalette::Disabled, QPalette::WindowText) == color) {
        return;
    }
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QColor TextColor(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}
