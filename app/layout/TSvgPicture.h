#pragma once
// One SVG picture, rendered once for each pixel size it is shown at and kept. The parsed drawing
// is not kept: it is read again for a size not rendered before, which is rare.

#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

#include <map>
#include <tuple>

class QPainter;

class TSvgPicture {
public:
    // `sourceSize` is the picture's own size; an empty one is read from the file.
    explicit TSvgPicture(QString source, QSize sourceSize = {});
    TSvgPicture(TSvgPicture&&) noexcept;
    TSvgPicture& operator=(TSvgPicture&&) noexcept;
    ~TSvgPicture();

    const QString& Source() const { return FSource; }
    QSize SourceSize() const;

    // The picture drawn into `pixelSize` device pixels, carrying the device pixel `ratio`.
    // A file that cannot be read gives a transparent pixmap.
    QPixmap Pixmap(const QSize& pixelSize, qreal ratio) const;

private:
    QString FSource;
    mutable QSize FSourceSize;
    mutable std::map<std::tuple<int, int, qreal>, QPixmap> FPixmaps;
};

// How a picture takes its box: whole and undistorted, centred; or stretched over the box.
enum TPictureFit { PICTURE_FIT, PICTURE_STRETCH };

// A picture ready to paint: the pixmap at the painter's device pixel ratio and where it goes.
struct TPlacedPicture {
    QPixmap Pixmap;
    QPointF TopLeft;
};

// The part of `box` that a picture of `sourceSize` covers under `fit`.
QRectF PictureRect(const QSizeF& sourceSize, const QRectF& box, TPictureFit fit);

// Places `picture` in `box` on the painter's device, snapped to whole device pixels so that it
// stays crisp at every display scale.
TPlacedPicture PlacePicture(const QPainter& painter, const TSvgPicture& picture, const QRectF& box,
                            TPictureFit fit);
