#pragma once
// A scroll bar for assistive technology: a slider whose value, limits and step are in the
// units the operator reads (degrees, minutes), and which can be set through its value.

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class TScrollBar;

class TAccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TAccessibleSlider(TScrollBar* Bar);

    void* interface_cast(QAccessible::InterfaceType Type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& Value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TScrollBar* Bar() const;
};
