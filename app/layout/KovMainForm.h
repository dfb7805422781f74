#pragma once
// The main window's layout: the one screen with its bands, pages, controls and image lists,
// as the form stores them, before start-up has filled anything in.

#include "ui_UKovalta.h"

#include <QWidget>

class TImageList;

class TKovMainForm : public QWidget, public Ui::TKovMainNavigation {
    Q_OBJECT
public:
    explicit TKovMainForm(QWidget* parent = nullptr);

    // The window's image lists; controls refer to them by these names.
    TImageList* ImageListSS = nullptr;
    TImageList* ImageListBR = nullptr;
    TImageList* ImageListBC = nullptr;
    TImageList* ImageList7Seg = nullptr;
    TImageList* ImageListBt = nullptr;
};
