#pragma once
// What the panel's own controls are for assistive technology: the scroll bars are sliders and
// the choice buttons radio buttons. Installed before the first control is made, since a
// control's accessible interface is made once, at its first announcement.

void InstallAccessibleLooks();
