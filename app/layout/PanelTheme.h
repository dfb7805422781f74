#pragma once
// The dark theme of the standard controls (edits, check boxes, push buttons, scroll bars).

class QWidget;

// Gives `form` the panel's dark palette, which its controls inherit, and its scroll bars their
// look.
void ApplyPanelTheme(QWidget* form);
