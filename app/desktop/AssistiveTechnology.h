#pragma once
// Whether an assistive technology (a screen reader) reads the panel, as the toolkit reports it:
// its platform bridge says so when a screen reader has enabled the accessibility bus. What only
// a screen reader hears is made only while one does.

#include <QAccessible>

#include <functional>

class TAssistiveTechnology : public QAccessible::ActivationObserver {
public:
    // OnActive runs each time an assistive technology becomes active.
    explicit TAssistiveTechnology(std::function<void()> OnActive);
    ~TAssistiveTechnology() override;
    TAssistiveTechnology(const TAssistiveTechnology&) = delete;
    TAssistiveTechnology& operator=(const TAssistiveTechnology&) = delete;

    bool Active() const { return FActive; }

    void accessibilityActiveChanged(bool Active) override;

private:
    std::function<void()> FOnActive;
    bool FActive;
};
