#include "FormFonts.h"

#include <QFont>
#include <QVariant>
#include <QWidget>

namespace {

void ApplyFormFont(QWidget* widget) {
    if (!widget->testAttribute(Qt::WA_SetFont)) {
        return;
    }
    QFont font = widget->font();
    // A size inherited from a parent that was converted before is already in pixels.
    if (font.pointSize() > 0) {
        font.setPixelSize(font.pointSize());
    }
    const QVariant weight = widget->property("FontWeight");
    if (weight.isValid()) {
        font.setWeight(static_cast<QFont::Weight>(weight.toInt()));
    }
    widget->setFont(font);
}

} // namespace

void ApplyFormFonts(QWidget* form) {
    ApplyFormFont(form);
    // Parents come before their children, so an inherited size is converted once.
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        ApplyFormFont(widget);
    }
}
