#pragma once
// A picture fitted into its box keeping proportions: an image list entry or a picture of its
// own, with an optional glow.

#include "TImageList.h"
#include "TSvgPicture.h"
#include "TintedPicture.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <optional>

class TGlyph : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TImageList* ImageList READ ImageList WRITE SetImageList)
    Q_PROPERTY(QString ImageListName READ ImageListName WRITE SetImageListName)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(QString Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QColor GlowColor READ GlowColor WRITE SetGlowColor)
    Q_PROPERTY(qreal GlowSoftness READ GlowSoftness WRITE SetGlowSoftness)
    Q_PROPERTY(qreal GlowOpacity READ GlowOpacity WRITE SetGlowOpacity)
    Q_PROPERTY(QColor Tint READ Tint WRITE SetTint)

public:
    explicit TGlyph(QWidget* parent = nullptr);
    ~TGlyph() override;

    // Entry ImageIndex of ImageList; -1 or an index outside the list shows nothing.
    TImageList* ImageList() const { return FImageList; }
    void SetImageList(TImageList* list);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    // The name of the list bound, or of the list the layout asks for until it is bound.
    QString ImageListName() const;
    void SetImageListName(const QString& name);

    // A picture file of the glyph's own, shown when no list is set.
    QString Picture() const;
    void SetPicture(const QString& source);

    // The glow around the lit parts of the picture; an invalid colour or opacity 0 is none.
    QColor GlowColor() const { return FGlowColor; }
    void SetGlowColor(const QColor& color);
    qreal GlowSoftness() const { return FGlowSoftness; }
    void SetGlowSoftness(qreal softness);
    qreal GlowOpacity() const { return FGlowOpacity; }
    void SetGlowOpacity(qreal opacity);

    // A colour the picture and its glow are shown in instead of their own, each pixel as bright
    // as its brightest channel allows, so that lit and unlit parts stay apart. Invalid: none.
    QColor Tint() const { return FTint; }
    void SetTint(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TSvgPicture* ShownPicture() const;

    QPointer<TImageList> FImageList;
    QString FImageListName;
    int FImageIndex = -1;
    std::optional<TSvgPicture> FPicture;
    QColor FGlowColor;
    qreal FGlowSoftness = 0.0;
    qreal FGlowOpacity = 0.0;
    QColor FTint;
    TTintedPicture FTinted;
};
