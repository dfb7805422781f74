#include "TAccessibleChoice.h"

#include <QAbstractButton>

TAccessibleChoice::TAccessibleChoice(QAbstractButton* Button)
    : QAccessibleWidget(Button, QAccessible::RadioButton) {}

QAbstractButton* TAccessibleChoice::Button() const {
    return static_cast<QAbstractButton*>(widget());
}

// A button without a name of its own is called by its caption.
QString TAccessibleChoice::text(QAccessible::Text Kind) const {
    const QString own = QAccessibleWidget::text(Kind);
    if (Kind == QAccessible::Name && own.isEmpty()) {
        return Button()->text();
    }
    return own;
}

QAccessible::State TAccessibleChoice::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Button()->isChecked();
    return state;
}

QStringList TAccessibleChoice::actionNames() const {
    QStringList names;
    if (widget()->isEnabled()) {
        names << pressAction() << toggleAction();
    }
    return names + QAccessibleWidget::actionNames();
}

// A toggle of a radio button chooses it; the click runs what choosing does.
void TAccessibleChoice::doAction(const QString& Action) {
    if (Action == pressAction() || Action == toggleAction()) {
        if (widget()->isEnabled()) {
            Button()->click();
        }
        return;
    }
    QAccessibleWidget::doAction(Action);
}

QStringList TAccessibleChoice::keyBindingsForAction(const QString& Action) const {
    if (Action == pressAction() || Action == toggleAction()) {
        return {QStringLiteral("Space")};
    }
    return QAccessibleWidget::keyBindingsForAction(Action);
}
