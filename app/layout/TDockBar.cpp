#include "TDockBar.h"

#include "Looks.h"

#include <QBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QSpacerItem>

namespace {

// The spacer in front of `button` in the bar's row, or none.
QSpacerItem* MarginOf(QLayout* row, const QWidget* button) {
    if (!row || !button) {
        return nullptr;
    }
    const int index = row->indexOf(button);
    if (index < 1) {
        return nullptr;
    }
    return row->itemAt(index - 1)->spacerItem();
}

} // namespace

TDockBar::TDockBar(QWidget* parent) : QWidget(parent) {}

void TDockBar::SetLeftMargin(QWidget* button, int margin) {
    QSpacerItem* spacer = MarginOf(layout(), button);
    if (!spacer || spacer->sizeHint().width() == margin) {
        return;
    }
    spacer->changeSize(margin, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    layout()->invalidate();
    layout()->activate();
}

int TDockBar::LeftMargin(const QWidget* button) const {
    const QSpacerItem* spacer = MarginOf(layout(), button);
    return spacer ? spacer->sizeHint().width() : -1;
}

void TDockBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, Looks::BarTop);
    shade.setColorAt(1, Looks::BarBottom);
    painter.fillRect(rect(), shade);
    painter.fillRect(QRect(0, 0, width(), 1), Looks::BarHighlight);
}
