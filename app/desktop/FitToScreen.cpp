#include "FitToScreen.h"

#include "Looks.h"

#include <QScrollBar>

namespace {
// Room for the window manager's title bar and frame.
constexpr int FRAME_ALLOWANCE = 40;

// The panel's dark looks on the scroll bar beside it: the near-black ground of the panel's own
// scroll bars, and a handle in the grey of its standard controls' light edge, edged like their
// tracks, that shows against it. No arrow buttons: a click in the groove turns a page, and the
// wheel scrolls.
QString DarkScrollBarSheet() {
    return QStringLiteral(
               "QScrollBar:vertical { background: %1; width: 14px; margin: 0; }"
               "QScrollBar::handle:vertical { background: %2; border: 1px solid %3;"
               " border-radius: 4px; margin: 2px; min-height: 40px; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical"
               " { background: none; }")
        .arg(Looks::ScrollBarBack.name(), Looks::ThemeLight.name(),
             Looks::ScrollBarTrackEdge.name());
}
} // namespace

std::unique_ptr<QScrollArea> FitToScreen(QWidget& Window, const QSize& Available) {
    const int height = Available.height() - FRAME_ALLOWANCE;
    if (height >= Window.height()) {
        return nullptr;
    }
    auto area = std::make_unique<QScrollArea>();
    area->setWindowTitle(Window.windowTitle());
    area->setWindowIcon(Window.windowIcon());
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area->verticalScrollBar()->setStyleSheet(DarkScrollBarSheet());
    area->setWidget(&Window);
    area->setFixedSize(Window.width() + area->verticalScrollBar()->sizeHint().width(), height);
    return area;
}
