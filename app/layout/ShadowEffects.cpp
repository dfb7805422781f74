#include "ShadowEffects.h"

#include "TControlEffect.h"

#include <QVariant>
#include <QWidget>

namespace {

TShadowLook ShadowOf(const QWidget* widget) {
    return {widget->property("ShadowDistance").toReal(),
            widget->property("ShadowDirection").toReal(),
            widget->property("ShadowSoftness").toReal(), widget->property("ShadowOpacity").toReal(),
            widget->property("ShadowColor").value<QColor>()};
}

} // namespace

void AttachShadowEffects(QWidget* form) {
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        const QString name = widget->property("ShadowEffect").toString();
        if (name.isEmpty()) {
            continue;
        }
        TControlEffect* effect = ControlEffect(widget);
        effect->setObjectName(name);
        effect->SetShadow(ShadowOf(widget));
    }
}
