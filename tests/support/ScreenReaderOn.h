#pragma once
// A screen reader listening for as long as the object lives: the toolkit reports accessibility
// active, as its platform bridge does when a screen reader enables the accessibility bus, and
// inactive again at the end.
#include <QAccessible>

class TScreenReaderOn {
public:
    TScreenReaderOn() { QAccessible::setActive(true); }
    ~TScreenReaderOn() { QAccessible::setActive(false); }
    TScreenReaderOn(const TScreenReaderOn&) = delete;
    TScreenReaderOn& operator=(const TScreenReaderOn&) = delete;
};
