#pragma once
// A picture shown in one colour instead of its own: each pixel in the tint, as bright as its
// brightest channel, its alpha kept, so that lit and unlit parts stay apart.

#include <QColor>
#include <QPixmap>

class TTintedPicture {
public:
    // Source in Tint. The last picture tinted is kept, so that a repaint does not tint the same
    // picture again (and a glow or shadow made from it stays in the cache).
    const QPixmap& Of(const QPixmap& Source, const QColor& Tint);

private:
    qint64 FSourceKey = 0;
    QRgb FTint = 0;
    QPixmap FPixmap;
};
