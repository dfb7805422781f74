#include "TChoiceButton.h"

// The chosen button of the group cannot be released: choosing another releases it.
TChoiceButton::TChoiceButton(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
    setAutoExclusive(true);
}
