#include "AccessibleLooks.h"

#include "TAccessibleChoice.h"
#include "TAccessibleSlider.h"
#include "TChoiceButton.h"
#include "TScrollBar.h"

#include <QAccessible>

namespace {

QAccessibleInterface* AccessibleLook(const QString& ClassName, QObject* Object) {
    if (ClassName == QLatin1String(TScrollBar::staticMetaObject.className())) {
        return new TAccessibleSlider(static_cast<TScrollBar*>(Object));
    }
    if (ClassName == QLatin1String(TChoiceButton::staticMetaObject.className())) {
        return new TAccessibleChoice(static_cast<TChoiceButton*>(Object));
    }
    return nullptr;
}

} // namespace

void InstallAccessibleLooks() {
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleLook);
        return true;
    }();
    Q_UNUSED(installed);
}
