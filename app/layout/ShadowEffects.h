#pragma once
// Drop shadows that the layout form asks for through dynamic properties of a control:
// ShadowEffect (the effect's name), ShadowDistance, ShadowDirection, ShadowSoftness,
// ShadowOpacity and ShadowColor.

class QWidget;

// Gives each control of `form` that names a shadow effect its shadow.
void AttachShadowEffects(QWidget* form);
