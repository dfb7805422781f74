#include "OpaqueLabels.h"

#include "TRectangle.h"

#include <QLabel>

#include <cmath>

namespace {

bool HasOpaqueFill(const TRectangle& rectangle) {
    return rectangle.FillKind() == TRectangle::FILL_SOLID && rectangle.FillColor().alpha() == 255;
}

// Where the rectangle shows its fill and nothing else: inside its outline.
QRect FillOnly(const TRectangle& rectangle) {
    const int outline = static_cast<int>(std::ceil(rectangle.StrokeThickness()));
    return rectangle.rect().adjusted(outline, outline, -outline, -outline);
}

// Whether `sibling` shows nothing but the rectangle's fill within `area`: a text label whose text,
// as it is laid out now, stays clear of it (a pixel of margin for the antialiased edge).
bool ShowsFillOnly(const QWidget& sibling, const QRect& area) {
    const auto* label = qobject_cast<const QLabel*>(&sibling);
    if (!label || label->graphicsEffect() || !label->pixmap().isNull()) {
        return false;
    }
    const QRect text = label->fontMetrics()
                           .boundingRect(label->contentsRect(),
                                         static_cast<int>(label->alignment()), label->text())
                           .translated(label->pos())
                           .adjusted(-1, -1, 1, 1);
    return !text.intersects(area);
}

// Whether a sibling stacked under `label` shows within it; those stacked over it stay visible.
bool HidesSiblingBelow(const QLabel& label) {
    for (const QObject* child : label.parentWidget()->children()) {
        if (child == &label) {
            return false;
        }
        const auto* sibling = qobject_cast<const QWidget*>(child);
        const QRect overlap = sibling ? sibling->geometry() & label.geometry() : QRect();
        if (!overlap.isEmpty() && !ShowsFillOnly(*sibling, overlap)) {
            return true;
        }
    }
    return false;
}

} // namespace

void MakeLabelsOpaqueOnFills(QWidget* form) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const auto* rectangle = qobject_cast<const TRectangle*>(label->parentWidget());
        if (!rectangle || !HasOpaqueFill(*rectangle) || label->graphicsEffect() ||
            !FillOnly(*rectangle).contains(label->geometry()) || HidesSiblingBelow(*label)) {
            continue;
        }
        QPalette palette = label->palette();
        palette.setColor(label->backgroundRole(), rectangle->FillColor());
        label->setPalette(palette);
        label->setAutoFillBackground(true);
    }
}
