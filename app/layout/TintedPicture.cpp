#include "TintedPicture.h"

#include <QImage>

#include <algorithm>

namespace {

// In premultiplied pixels the brightest channel already carries the alpha.
QPixmap Tinted(const QPixmap& Source, const QColor& Tint) {
    QImage image = Source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int value = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            line[x] = qRgba(Tint.red() * value / 255, Tint.green() * value / 255,
                            Tint.blue() * value / 255, qAlpha(pixel));
        }
    }
    QPixmap tinted = QPixmap::fromImage(image);
    tinted.setDevicePixelRatio(Source.devicePixelRatio());
    return tinted;
}

} // namespace

const QPixmap& TTintedPicture::Of(const QPixmap& Source, const QColor& Tint) {
    if (FSourceKey != Source.cacheKey() || FTint != Tint.rgba() || FPixmap.isNull()) {
        FSourceKey = Source.cacheKey();
        FTint = Tint.rgba();
        FPixmap = Tinted(Source, Tint);
    }
    return FPixmap;
}
