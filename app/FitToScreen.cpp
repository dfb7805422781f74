#include "FitToScreen.h"

#include <QScrollBar>

namespace {
// Room for the window manager's title bar and frame.
constexpr int FRAME_ALLOWANCE = 40;
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
    area->setWidget(&Window);
    area->setFixedSize(Window.width() + area->verticalScrollBar()->sizeHint().width(), height);
    return area;
}
