#pragma once
// The dark theme of the standard controls (edits, check boxes, push buttons, scroll bars).

class QWidget;

// Gives `form` the panel's dark palette; its controls inherit it.
void ApplyPanelTheme(QWidget* form);
