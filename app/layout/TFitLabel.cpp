#include "TFitLabel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

TFitLabel::TFitLabel(QWidget* parent) : QLabel(parent) {}

QFont TFitLabel::FittedFont() const {
    QFont fitted = font();
    if (Fits(fitted)) {
        return fitted;
    }
    for (int size = QFontInfo(fitted).pixelSize() - 1; size > MIN_PIXEL_SIZE; --size) {
        fitted.setPixelSize(size);
        if (Fits(fitted)) {
            return fitted;
        }
    }
    fitted.setPixelSize(MIN_PIXEL_SIZE);
    return fitted;
}

void TFitLabel::paintEvent(QPaintEvent* event) {
    const QFont fitted = FittedFont();
    if (fitted == font()) {
        QLabel::paintEvent(event);
        return;
    }
    // As QLabel draws a plain one-line text, in the smaller font.
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(fitted);
    style()->drawItemText(&painter, TextBox(), TextFlags(), palette(), isEnabled(), text(),
                          foregroundRole());
}

QRect TFitLabel::TextBox() const {
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

int TFitLabel::TextFlags() const {
    return static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment()));
}

// The line must be no wider than the box, and its ink, where the line is placed, inside it. A
// text without ink (empty, blanks) fits any box.
bool TFitLabel::Fits(const QFont& font) const {
    const QFontMetrics metrics(font);
    const QRect box = TextBox();
    const QRect line = metrics.boundingRect(box, TextFlags(), text());
    const QRect ink =
        metrics.tightBoundingRect(text()).translated(line.left(), line.top() + metrics.ascent());
    return line.width() <= box.width() && (ink.isEmpty() || box.contains(ink));
}
