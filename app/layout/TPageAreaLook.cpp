#include "TPageAreaLook.h"

#include "Looks.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

TPageAreaLook::TPageAreaLook(QObject* parent) : QObject(parent) {}

void TPageAreaLook::Attach(QWidget* pageArea) {
    pageArea->installEventFilter(new TPageAreaLook(pageArea));
}

bool TPageAreaLook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        auto* pageArea = static_cast<QWidget*>(watched);
        QPainter(pageArea).fillRect(pageArea->rect(), Looks::PageArea);
    }
    return false; // the page area paints its own standard look over the fill
}
