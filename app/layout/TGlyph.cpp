#include "TGlyph.h"

#include "Shadow.h"
#include "TImageList.h"

#include <QPainter>

TGlyph::TGlyph(QWidget* parent) : QWidget(parent) {}

TGlyph::~TGlyph() = default;

void TGlyph::SetImageList(TImageList* list) {
    if (list == FImageList) {
        return;
    }
    FImageList = list;
    FImageListName = list ? list->objectName() : QString();
    update();
}

void TGlyph::SetImageIndex(int index) {
    if (index == FImageIndex) {
        return;
    }
    FImageIndex = index;
    update();
}

QString TGlyph::ImageListName() const {
    return FImageList ? FImageList->objectName() : FImageListName;
}

void TGlyph::SetImageListName(const QString& name) {
    if (!FImageList) {
        FImageListName = name;
    }
}

QString TGlyph::Picture() const {
    return FPicture ? FPicture->Source() : QString();
}

void TGlyph::SetPicture(const QString& source) {
    if (source == Picture()) {
        return;
    }
    if (source.isEmpty()) {
        FPicture.reset();
    } else {
        FPicture.emplace(source);
    }
    update();
}

void TGlyph::SetGlowColor(const QColor& color) {
    if (color == FGlowColor) {
        return;
    }
    FGlowColor = color;
    update();
}

void TGlyph::SetGlowSoftness(qreal softness) {
    if (softness == FGlowSoftness) {
        return;
    }
    FGlowSoftness = softness;
    update();
}

void TGlyph::SetGlowOpacity(qreal opacity) {
    if (opacity == FGlowOpacity) {
        return;
    }
    FGlowOpacity = opacity;
    update();
}

void TGlyph::SetTint(const QColor& color) {
    if (color == FTint) {
        return;
    }
    FTint = color;
    update();
}

const TSvgPicture* TGlyph::ShownPicture() const {
    if (FImageList) {
        return FImageList->Picture(FImageIndex);
    }
    return FPicture ? &*FPicture : nullptr;
}

void TGlyph::paintEvent(QPaintEvent*) {
    const TSvgPicture* picture = ShownPicture();
    if (!picture) {
        return;
    }
    QPainter painter(this);
    TPlacedPicture placed = PlacePicture(painter, *picture, rect(), PICTURE_FIT);
    if (FTint.isValid()) {
        placed.Pixmap = FTinted.Of(placed.Pixmap, FTint);
    }
    if (FGlowColor.isValid() && FGlowOpacity > 0) {
        const QColor color = FTint.isValid() ? FTint : FGlowColor;
        const TShadowLook glow{0.0, 0.0, FGlowSoftness, FGlowOpacity, color};
        DrawShadow(painter, placed.Pixmap, placed.TopLeft, glow, SHADOW_FROM_BRIGHTNESS);
    }
    painter.drawPixmap(placed.TopLeft, placed.Pixmap);
}
