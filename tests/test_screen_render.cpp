// Renders each page of the window to build/screens/ for a look by eye: page-N.png at 100 %
// display scale and page-N@2x.png at 200 %. The checks catch blank or mis-sized renders.
#include "KovMainForm.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Renders the whole window at `ratio` device pixels per logical pixel.
QImage RenderWindow(QWidget& window, qreal ratio) {
    QImage image(window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    window.render(&image);
    return image;
}

// How many distinct colours the image holds: a blank or unpainted page has very few.
int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

class ScreenRender : public ::testing::TestWithParam<int> {};

TEST_P(ScreenRender, WritesPageAtOneAndTwoTimesScale) {
    const int page = GetParam();
    TKovMainForm window;
    window.show();
    window.TabControl->setCurrentIndex(page);
    QApplication::processEvents();
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage image = RenderWindow(window, ratio);
        EXPECT_EQ(image.size(), QSize(420, 884) * ratio);
        EXPECT_GT(DistinctColours(image), 200) << "page " << page << " looks blank";
        const QString name = ratio == 1.0 ? QStringLiteral("page-%1.png").arg(page)
                                          : QStringLiteral("page-%1@2x.png").arg(page);
        EXPECT_TRUE(image.save(QDir(KOV_SCREENS_DIR).filePath(name)));
    }
}

INSTANTIATE_TEST_SUITE_P(AllPages, ScreenRender, ::testing::Range(0, 5));

} // namespace
