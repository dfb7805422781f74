#pragma once
// The dark theme of the standard controls (edits, check boxes, push buttons).

class QWidget;

// Gives `form` the panel's dark palette, which its controls inherit.
void ApplyPanelTheme(QWidget* form);
