#include "TSvgPicture.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

TSvgPicture::TSvgPicture(QString source, QSize sourceSize)
    : FSource(std::move(source)), FSourceSize(sourceSize) {}

TSvgPicture::TSvgPicture(TSvgPicture&&) noexcept = default;
TSvgPicture& TSvgPicture::operator=(TSvgPicture&&) noexcept = default;
TSvgPicture::~TSvgPicture() = default;

QSize TSvgPicture::SourceSize() const {
    if (FSourceSize.isEmpty()) {
        FSourceSize = QSvgRenderer(FSource).defaultSize();
    }
    return FSourceSize;
}

QPixmap TSvgPicture::Pixmap(const QSize& pixelSize, qreal ratio) const {
    const auto key = std::make_tuple(pixelSize.width(), pixelSize.height(), ratio);
    if (const auto found = FPixmaps.find(key); found != FPixmaps.end()) {
        return found->second;
    }
    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(FSource);
    if (renderer.isValid()) {
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixelSize)));
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(ratio);
    FPixmaps.emplace(key, pixmap);
    return pixmap;
}

QRectF PictureRect(const QSizeF& sourceSize, const QRectF& box, TPictureFit fit) {
    if (fit == PICTURE_STRETCH || sourceSize.isEmpty()) {
        return box;
    }
    const QSizeF size = sourceSize.scaled(box.size(), Qt::KeepAspectRatio);
    return {box.x() + (box.width() - size.width()) / 2,
            box.y() + (box.height() - size.height()) / 2, size.width(), size.height()};
}

TPlacedPicture PlacePicture(const QPainter& painter, const TSvgPicture& picture, const QRectF& box,
                            TPictureFit fit) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QRectF rect = PictureRect(QSizeF(picture.SourceSize()), box, fit);
    const QPoint topLeft(static_cast<int>(std::lround(rect.left() * ratio)),
                         static_cast<int>(std::lround(rect.top() * ratio)));
    const QPoint bottomRight(static_cast<int>(std::lround(rect.right() * ratio)),
                             static_cast<int>(std::lround(rect.bottom() * ratio)));
    const QSize pixels(std::max(1, bottomRight.x() - topLeft.x()),
                       std::max(1, bottomRight.y() - topLeft.y()));
    return {picture.Pixmap(pixels, ratio), QPointF(topLeft) / ratio};
}
