#include "AssistiveTechnology.h"

TAssistiveTechnology::TAssistiveTechnology(std::function<void()> OnActive)
    : FOnActive(std::move(OnActive)), FActive(QAccessible::isActive()) {
    QAccessible::installActivationObserver(this);
}

TAssistiveTechnology::~TAssistiveTechnology() {
    QAccessible::removeActivationObserver(this);
}

void TAssistiveTechnology::accessibilityActiveChanged(bool Active) {
    const bool became = Active && !FActive;
    FActive = Active;
    if (became) {
        FOnActive();
    }
}
