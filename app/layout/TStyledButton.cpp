#include "TStyledButton.h"

#include "FocusRing.h"
#include "Looks.h"
#include "Shadow.h"
#include "TControlEffect.h"
#include "TImageList.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>
#include <optional>

namespace {

// Entry `index` of `list` placed into `box`; none for a missing entry.
std::optional<TPlacedPicture> Place(QPainter& painter, const TImageList* list, int index,
                                    const QRectF& box, TPictureFit fit) {
    const TSvgPicture* picture = list ? list->Picture(index) : nullptr;
    if (!picture) {
        return std::nullopt;
    }
    return PlacePicture(painter, *picture, box, fit);
}

void PaintLayer(QPainter& painter, const TPlacedPicture& placed, const TShadowLook& shadow) {
    DrawShadow(painter, placed.Pixmap, placed.TopLeft, shadow, SHADOW_FROM_ALPHA);
    painter.drawPixmap(placed.TopLeft, placed.Pixmap);
}

} // namespace

TStyledButton::TStyledButton(QWidget* parent) : QAbstractButton(parent) {
    // The looks draw no button panel; child labels keep their window-text colours.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    // Reached by Tab only: a click leaves the focus where it was, so the mouse never shows a
    // focus mark.
    setFocusPolicy(Qt::TabFocus);
}

void TStyledButton::SetLook(TLook look) {
    if (look == FLook) {
        return;
    }
    FLook = look;
    update();
}

void TStyledButton::SetImageList(TImageList* list) {
    if (list == FImageList) {
        return;
    }
    FImageList = list;
    FImageListName = list ? list->objectName() : QString();
    update();
}

void TStyledButton::SetImageIndex(int index) {
    if (index == FImageIndex) {
        return;
    }
    FImageIndex = index;
    update();
}

void TStyledButton::SetFaceList(TImageList* list) {
    if (list == FFaceList) {
        return;
    }
    FFaceList = list;
    FFaceListName = list ? list->objectName() : QString();
    update();
}

QString TStyledButton::ImageListName() const {
    return FImageList ? FImageList->objectName() : FImageListName;
}

void TStyledButton::SetImageListName(const QString& name) {
    if (!FImageList) {
        FImageListName = name;
    }
}

QString TStyledButton::FaceListName() const {
    return FFaceList ? FFaceList->objectName() : FFaceListName;
}

void TStyledButton::SetFaceListName(const QString& name) {
    if (!FFaceList) {
        FFaceListName = name;
    }
}

void TStyledButton::SetOpacity(qreal opacity) {
    if (opacity == FOpacity) {
        return;
    }
    FOpacity = opacity;
    ApplyOpacity();
}

void TStyledButton::SetPictureGreyed(bool greyed) {
    if (greyed == FPictureGreyed) {
        return;
    }
    FPictureGreyed = greyed;
    update();
}

QSize TStyledButton::sizeHint() const {
    return FLook == BLButton1Style ? QSize(160, 90) : QSize(90, 90);
}

void TStyledButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (FLook == BLButton1Style) {
        PaintButton1(painter);
    } else {
        PaintButtonSS(painter);
    }
    if (FPending) {
        PaintPendingRing(painter);
    }
    if (ShowsFocusRing(this)) {
        PaintFocusRing(painter, rect());
    }
}

// Space presses the button as any button's; Enter does too.
void TStyledButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TStyledButton::PaintPendingRing(QPainter& painter) const {
    constexpr QRgb RING_COLOUR = 0xFFFFA500; // orange
    constexpr qreal RING_WIDTH = 3.0;
    constexpr qreal RING_RADIUS = 8.0;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgba(RING_COLOUR), RING_WIDTH));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = RING_WIDTH / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), RING_RADIUS,
                            RING_RADIUS);
}

void TStyledButton::SetPending(bool pending) {
    if (pending == FPending) {
        return;
    }
    FPending = pending;
    update();
}

void TStyledButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        ApplyOpacity();
    }
    QAbstractButton::changeEvent(event);
}

void TStyledButton::PaintButton1(QPainter& painter) {
    // The face leaves room on its shadow's side so that the shadow stays on the button.
    const qreal reach = std::ceil(ShadowReach(Looks::Button1FaceShadow));
    const QRectF face(0, 0, width() - reach, height() - reach);
    if (const auto placed =
            Place(painter, FFaceList, Looks::Button1FaceIndex, face, PICTURE_STRETCH)) {
        PaintLayer(painter, *placed, Looks::Button1FaceShadow);
    }
    painter.setOpacity(Looks::Button1PictureOpacity);
    const QRectF box(Looks::Button1PictureX, Looks::Button1PictureY, Looks::Button1PictureSize,
                     Looks::Button1PictureSize);
    PaintPicture(painter, box, Looks::Button1PictureShadow);
}

void TStyledButton::PaintButtonSS(QPainter& painter) {
    const qreal side = height() - 2 * Looks::ButtonSSMargin;
    const QRectF box((width() - side) / 2, Looks::ButtonSSMargin, side, side);
    PaintPicture(painter, box, Looks::ButtonSSShadow);
}

void TStyledButton::PaintPicture(QPainter& painter, const QRectF& box, const TShadowLook& shadow) {
    auto placed = Place(painter, FImageList, FImageIndex, box, PICTURE_FIT);
    if (!placed) {
        return;
    }
    if (FPictureGreyed) {
        placed->Pixmap = FGreyedPicture.Of(placed->Pixmap, Looks::GreyedPicture);
    }
    PaintLayer(painter, *placed, shadow);
}

void TStyledButton::ApplyOpacity() {
    const qreal opacity = FOpacity * (isEnabled() ? 1.0 : Looks::DisabledOpacity);
    if (opacity >= 1.0 && !graphicsEffect()) {
        return;
    }
    ControlEffect(this)->SetSourceOpacity(opacity);
}
