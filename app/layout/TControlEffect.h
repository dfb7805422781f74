#pragma once
// The effect layer of a control: its own opacity, applied with its child controls, and an
// optional drop shadow under the whole control.

#include "Looks.h"

#include <QGraphicsEffect>
#include <QPixmap>

#include <optional>

class TControlEffect : public QGraphicsEffect {
    Q_OBJECT
public:
    explicit TControlEffect(QObject* parent = nullptr);

    const std::optional<TShadowLook>& Shadow() const { return FShadow; }
    void SetShadow(const std::optional<TShadowLook>& shadow);

    qreal SourceOpacity() const { return FSourceOpacity; }
    void SetSourceOpacity(qreal opacity);

    QRectF boundingRectFor(const QRectF& rect) const override;

protected:
    void draw(QPainter* painter) override;

private:
    // Without a shadow, a fully opaque control needs no off-screen pass.
    void UpdateEnabled();

    std::optional<TShadowLook> FShadow;
    qreal FSourceOpacity = 1.0;
    // The control's picture changes with the control, so only the shadow of the last one is
    // kept, here rather than in the pixmap cache where every earlier one would stay too.
    QPixmap FShadowPixmap;
    qint64 FShadowSource = 0;
};

// The effect of `widget`, made on first use.
TControlEffect* ControlEffect(QWidget* widget);
