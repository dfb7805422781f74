#include "TRectangle.h"

#include <QMouseEvent>
#include <QPainter>

TRectangle::TRectangle(QWidget* parent) : QWidget(parent) {}

void TRectangle::SetFillKind(TFillKind kind) {
    if (kind == FFillKind) {
        return;
    }
    FFillKind = kind;
    update();
}

void TRectangle::SetFillColor(const QColor& color) {
    if (color == FFillColor) {
        return;
    }
    FFillColor = color;
    if (FFillKind == FILL_SOLID) {
        update();
    }
}

void TRectangle::SetFillGradient(const QBrush& brush) {
    if (brush == FFillGradient) {
        return;
    }
    FFillGradient = brush;
    if (FFillKind == FILL_GRADIENT) {
        update();
    }
}

void TRectangle::SetStrokeColor(const QColor& color) {
    if (color == FStrokeColor) {
        return;
    }
    FStrokeColor = color;
    update();
}

void TRectangle::SetStrokeThickness(qreal thickness) {
    if (thickness == FStrokeThickness) {
        return;
    }
    FStrokeThickness = thickness;
    update();
}

void TRectangle::SetHitTest(bool hitTest) {
    FHitTest = hitTest;
}

void TRectangle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline lies inside the rectangle, so half its thickness in from the edge.
    const qreal inset = FStrokeThickness / 2;
    const QRectF outline = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    switch (FFillKind) {
    case FILL_SOLID:
        painter.fillRect(outline, FFillColor);
        break;
    case FILL_GRADIENT:
        painter.fillRect(outline, FFillGradient);
        break;
    case FILL_NONE:
        break;
    }
    if (FStrokeThickness > 0) {
        painter.setPen(QPen(FStrokeColor, FStrokeThickness));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline);
    }
}

void TRectangle::mousePressEvent(QMouseEvent* event) {
    if (!FHitTest) {
        event->ignore(); // the control under the rectangle takes the click
        return;
    }
    FPressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TRectangle::mouseReleaseEvent(QMouseEvent* event) {
    if (!FHitTest) {
        event->ignore();
        return;
    }
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}
