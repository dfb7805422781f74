#include "Shadow.h"

#include <QImage>
#include <QPainter>
#include <QPixmapCache>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Three box blurs in a row approximate a Gaussian; each box reaches a third of the blur.
constexpr int BoxPasses = 3;

int BoxRadius(qreal blurDevicePx) {
    return std::max(1, static_cast<int>(std::lround(blurDevicePx / BoxPasses)));
}

// One box blur of `count` samples `stride` apart, zeros outside.
void BlurLine(std::uint8_t* line, int count, int stride, int radius, std::vector<int>& scratch) {
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        scratch[static_cast<std::size_t>(i)] = line[i * stride];
    }
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i) {
        sum += scratch[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < count; ++i) {
        if (i + radius < count) {
            sum += scratch[static_cast<std::size_t>(i + radius)];
        }
        if (i - radius - 1 >= 0) {
            sum -= scratch[static_cast<std::size_t>(i - radius - 1)];
        }
        line[i * stride] = static_cast<std::uint8_t>((sum + width / 2) / width);
    }
}

// The picture's mask, padded by `pad` on every side, blurred in place.
std::vector<std::uint8_t> BlurredMask(const QImage& image, int pad, int radius, TShadowMask mask) {
    const int width = image.width() + 2 * pad;
    const int height = image.height() + 2 * pad;
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* out = plane.data() + static_cast<std::size_t>(y + pad) * width + pad;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x];
            out[x] = static_cast<std::uint8_t>(
                mask == SHADOW_FROM_ALPHA ? qAlpha(pixel)
                                          : std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}));
        }
    }
    std::vector<int> scratch;
    for (int pass = 0; pass < BoxPasses; ++pass) {
        for (int y = 0; y < height; ++y) {
            BlurLine(plane.data() + static_cast<std::size_t>(y) * width, width, 1, radius, scratch);
        }
        for (int x = 0; x < width; ++x) {
            BlurLine(plane.data() + x, height, width, radius, scratch);
        }
    }
    return plane;
}

int ShadowRadius(const TShadowLook& look, qreal ratio) {
    return BoxRadius(look.Softness * Looks::BlurPxPerSoftness * ratio);
}

QPixmap BlurredShadow(const QPixmap& picture, const QColor& color, int radius, TShadowMask mask) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int pad = BoxPasses * radius;
    const std::vector<std::uint8_t> plane = BlurredMask(image, pad, radius, mask);
    QImage shadow(image.width() + 2 * pad, image.height() + 2 * pad,
                  QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < shadow.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        const std::uint8_t* in = plane.data() + static_cast<std::size_t>(y) * shadow.width();
        for (int x = 0; x < shadow.width(); ++x) {
            const int alpha = in[x] * color.alpha() / 255;
            row[x] = qRgba(color.red() * alpha / 255, color.green() * alpha / 255,
                           color.blue() * alpha / 255, alpha);
        }
    }
    QPixmap result = QPixmap::fromImage(shadow);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    return result;
}

} // namespace

QPointF ShadowOffset(const TShadowLook& look) {
    const qreal radians = qDegreesToRadians(look.Direction);
    return {look.Distance * std::cos(radians), look.Distance * std::sin(radians)};
}

qreal ShadowReach(const TShadowLook& look) {
    const QPointF offset = ShadowOffset(look);
    return std::max(std::abs(offset.x()), std::abs(offset.y())) +
           look.Softness * Looks::BlurPxPerSoftness;
}

QPixmap MakeShadow(const QPixmap& picture, const TShadowLook& look, TShadowMask mask) {
    if (picture.isNull()) {
        return {};
    }
    return BlurredShadow(picture, look.Color, ShadowRadius(look, picture.devicePixelRatio()), mask);
}

void DrawMadeShadow(QPainter& painter, const QPixmap& shadow, const QPointF& pictureTopLeft,
                    const TShadowLook& look) {
    if (shadow.isNull() || look.Opacity <= 0.0) {
        return;
    }
    const qreal ratio = shadow.devicePixelRatio();
    const qreal pad = BoxPasses * ShadowRadius(look, ratio) / ratio;
    const QPointF offset = ShadowOffset(look);
    // Whole device pixels keep the shadow as sharp as its blur allows.
    const QPointF topLeft(std::round((pictureTopLeft.x() + offset.x() - pad) * ratio) / ratio,
                          std::round((pictureTopLeft.y() + offset.y() - pad) * ratio) / ratio);
    const qreal opacity = painter.opacity();
    painter.setOpacity(opacity * look.Opacity);
    painter.drawPixmap(topLeft, shadow);
    painter.setOpacity(opacity);
}

void DrawShadow(QPainter& painter, const QPixmap& picture, const QPointF& pictureTopLeft,
                const TShadowLook& look, TShadowMask mask) {
    if (picture.isNull() || look.Opacity <= 0.0) {
        return;
    }
    const QString key = QStringLiteral("kov-shadow:%1:%2:%3:%4")
                            .arg(picture.cacheKey())
                            .arg(look.Color.rgba())
                            .arg(ShadowRadius(look, picture.devicePixelRatio()))
                            .arg(mask);
    QPixmap shadow;
    if (!QPixmapCache::find(key, &shadow)) {
        shadow = MakeShadow(picture, look, mask);
        QPixmapCache::insert(key, shadow);
    }
    DrawMadeShadow(painter, shadow, pictureTopLeft, look);
}
