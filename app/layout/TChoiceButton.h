#pragma once
// A push button in the platform's standard look that is one choice of its group: the buttons
// of one parent act as radio buttons, exactly one of them held in once one has been chosen.

#include <QPushButton>

class TChoiceButton : public QPushButton {
    Q_OBJECT
public:
    explicit TChoiceButton(QWidget* parent = nullptr);
};
