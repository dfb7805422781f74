#include "TControlEffect.h"

#include "Shadow.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

TControlEffect::TControlEffect(QObject* parent) : QGraphicsEffect(parent) {
    UpdateEnabled();
}

void TControlEffect::SetShadow(const std::optional<TShadowLook>& shadow) {
    FShadow = shadow;
    FShadowPixmap = QPixmap();
    FShadowSource = 0;
    UpdateEnabled();
    updateBoundingRect();
    update();
}

void TControlEffect::SetSourceOpacity(qreal opacity) {
    if (opacity == FSourceOpacity) {
        return;
    }
    FSourceOpacity = opacity;
    UpdateEnabled();
    update();
}

QRectF TControlEffect::boundingRectFor(const QRectF& rect) const {
    if (!FShadow) {
        return rect;
    }
    const qreal blur = std::ceil(FShadow->Softness * Looks::BlurPxPerSoftness) + 1.0;
    return rect.united(rect.translated(ShadowOffset(*FShadow)).adjusted(-blur, -blur, blur, blur));
}

void TControlEffect::draw(QPainter* painter) {
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::DeviceCoordinates, &offset, PadToEffectiveBoundingRect);
    if (pixmap.isNull()) {
        return;
    }
    // Device coordinates keep the control's pixels unscaled.
    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    const qreal opacity = painter->opacity();
    painter->setOpacity(opacity * FSourceOpacity);
    if (FShadow) {
        if (pixmap.cacheKey() != FShadowSource) {
            FShadowPixmap = MakeShadow(pixmap, *FShadow, SHADOW_FROM_ALPHA);
            FShadowSource = pixmap.cacheKey();
        }
        DrawMadeShadow(*painter, FShadowPixmap, QPointF(offset), *FShadow);
    }
    painter->drawPixmap(offset, pixmap);
    painter->setOpacity(opacity);
    painter->setWorldTransform(restore);
}

void TControlEffect::UpdateEnabled() {
    setEnabled(FShadow.has_value() || FSourceOpacity < 1.0);
}

TControlEffect* ControlEffect(QWidget* widget) {
    auto* effect = qobject_cast<TControlEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new TControlEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    return effect;
}
