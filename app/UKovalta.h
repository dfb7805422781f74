#pragma once
// The main window of the panel: the one screen with its bands, pages and controls.

#include "ui_UKovalta.h"

#include <QWidget>

class TImageList;

class TKovMainNavigation : public QWidget, public Ui::TKovMainNavigation {
    Q_OBJECT
public:
    explicit TKovMainNavigation(QWidget* parent = nullptr);

    // The window's image lists; controls refer to them by these names.
    TImageList* ImageListSS = nullptr;
    TImageList* ImageListBR = nullptr;
    TImageList* ImageListBC = nullptr;
    TImageList* ImageList7Seg = nullptr;
    TImageList* ImageListBt = nullptr;
};
