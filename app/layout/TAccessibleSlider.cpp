#include "TAccessibleSlider.h"

#include "TScrollBar.h"

TAccessibleSlider::TAccessibleSlider(TScrollBar* Bar)
    : QAccessibleWidget(Bar, QAccessible::Slider) {}

TScrollBar* TAccessibleSlider::Bar() const {
    return static_cast<TScrollBar*>(widget());
}

void* TAccessibleSlider::interface_cast(QAccessible::InterfaceType Type) {
    if (Type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(Type);
}

QVariant TAccessibleSlider::currentValue() const {
    return Bar()->Value() * Bar()->ValueScale();
}

// A disabled bar takes no value, as it takes no drag.
void TAccessibleSlider::setCurrentValue(const QVariant& Value) {
    if (Bar()->isEnabled()) {
        Bar()->SetValue(Value.toDouble() / Bar()->ValueScale());
    }
}

QVariant TAccessibleSlider::maximumValue() const {
    return Bar()->Max() * Bar()->ValueScale();
}

QVariant TAccessibleSlider::minimumValue() const {
    return Bar()->Min() * Bar()->ValueScale();
}

QVariant TAccessibleSlider::minimumStepSize() const {
    return Bar()->ValueScale();
}
