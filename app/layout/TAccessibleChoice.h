#pragma once
// A choice button for assistive technology: a radio button, checked while it is the chosen one,
// whose press and toggle actions choose it as a click does.

#include <QAccessibleWidget>

class QAbstractButton;

class TAccessibleChoice : public QAccessibleWidget {
public:
    explicit TAccessibleChoice(QAbstractButton* Button);

    QString text(QAccessible::Text Kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& Action) override;
    QStringList keyBindingsForAction(const QString& Action) const override;

private:
    QAbstractButton* Button() const;
};
