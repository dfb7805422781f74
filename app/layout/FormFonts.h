#pragma once
// The layout form writes fonts as family, point size and bold. The panel's font sizes are logical
// pixels, so that text keeps fitting its box on every display, and some texts are black
// (weight 900), which the form's font cannot say: a dynamic property FontWeight carries it.

class QWidget;

// Turns every font size set in `form` into the same number of pixels and applies FontWeight.
void ApplyFormFonts(QWidget* form);
