#pragma once
// What the layout form cannot say itself, done once after it is built: the dark theme, pixel font
// sizes, the shadow effects, labels that paint the fill under them, the page area's look and the
// binding of controls to the window's image lists.

class QWidget;

// Call after the form's controls and the window's image lists exist.
void CompleteLayout(QWidget* form);
