#pragma once
// Labels that stand on the solid, opaque fill of a rectangle paint that fill themselves. Qt then
// repaints such a label alone when its text or colour changes, instead of the rectangle, the bar
// and the window behind it too: the link indicators change on every poll tick.

class QWidget;

// Gives every label of `form` that lies on its parent rectangle's fill, clear of the outline and
// of the siblings under it, that fill as its own background. What the screen shows is unchanged
// as long as the rectangles keep their fill colours.
void MakeLabelsOpaqueOnFills(QWidget* form);
