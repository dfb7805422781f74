#pragma once
// Controls name their image lists in the layout form (ImageListName, FaceListName); the lists
// are objects of the window under those names.

class QWidget;

// Binds every control of `form` to the lists it names among the form's own image lists.
void BindImageLists(QWidget* form);
