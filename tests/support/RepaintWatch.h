#pragma once
// Which widgets repaint: every widget that receives a paint event while a watch lives.
#include <QApplication>
#include <QEvent>
#include <QSet>

class TRepaintWatch : public QObject {
public:
    TRepaintWatch() { QApplication::instance()->installEventFilter(this); }
    ~TRepaintWatch() override { QApplication::instance()->removeEventFilter(this); }

    QSet<QObject*> Painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted.insert(watched);
        }
        return false;
    }
};
