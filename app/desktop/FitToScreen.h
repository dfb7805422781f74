#pragma once
// A screen lower than the panel (a 1366 x 768 laptop, say) would cut off its lower part, and
// with it the bottom bar, the only way to change pages: there the panel is shown in a scroll
// area as tall as the screen allows. On a screen that holds it the panel is shown as it is.

#include <QScrollArea>
#include <QSize>

#include <memory>

// The scroll area to show instead of Window on a screen whose available size is Available, or
// nothing when the window fits. Window stays the caller's: take it back (takeWidget) before
// the area goes.
std::unique_ptr<QScrollArea> FitToScreen(QWidget& Window, const QSize& Available);
