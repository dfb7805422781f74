// Renders each page of the window to build/screens/ for a look by eye: page-N.png at 100 %
// display scale and page-N@2x.png at 200 %, and the main page of a running sauna
// (page-0-live.png). The checks catch blank or mis-sized renders.
#include "KovMainForm.h"
#include "QtPrinters.h"

#include "TGlyph.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
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

// The smallest rectangle holding every pixel in which two renders of one size differ, in
// logical pixels; empty when they are the same.
QRect Differences(const QImage& one, const QImage& other) {
    QRect area;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x) {
            if (one.pixel(x, y) != other.pixel(x, y)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    const qreal ratio = one.devicePixelRatio();
    return QRectF(area.topLeft() / ratio, area.size() / ratio).toAlignedRect();
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

// Labels on a rectangle's fill paint that fill themselves, so that a change repaints the label
// alone. Every page looks exactly as it does with the fill showing through them.
TEST(ScreenRenderOpaqueLabels, LookAsTheFillShowingThroughThem) {
    TKovMainForm window;
    window.show();
    QList<QLabel*> opaque;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->autoFillBackground()) {
            opaque.append(label);
        }
    }
    ASSERT_TRUE(opaque.contains(window.LabTx) && opaque.contains(window.LabRx));
    const auto render = [&window, &opaque](bool labelsOpaque, qreal ratio) {
        for (QLabel* label : opaque) {
            label->setAutoFillBackground(labelsOpaque);
        }
        return RenderWindow(window, ratio);
    };
    for (int page = 0; page < window.TabControl->count(); ++page) {
        window.TabControl->setCurrentIndex(page);
        QApplication::processEvents();
        for (const qreal ratio : {1.0, 2.0}) {
            // The first render at a new scale is not yet the settled picture: it warms the caches.
            render(false, ratio);
            EXPECT_EQ(Differences(render(true, ratio), render(false, ratio)), QRect())
                << "page " << page << " at " << ratio;
        }
    }
}

// The main page as the status view will show a running sauna: 85 degrees, heater and light 1
// on, no vent, the steam heating mode, a third of the work time gone, one button pressed.
TEST(ScreenRenderLive, WritesTheMainPageOfARunningSauna) {
    TKovMainForm window;
    window.show();
    window.TabControl->setCurrentIndex(0);
    window.LEDDisp1->SetImageIndex(10);
    window.LEDDisp2->SetImageIndex(8);
    window.LEDDisp3->SetImageIndex(5);
    window.LabelTempSet->setText(QStringLiteral("90°C"));
    window.LabWorkTimer->setText(QStringLiteral("01:00"));
    window.LabSetWorkTime->setText(QStringLiteral("03:00"));
    window.PieWorkTimer->SetEndAngle(120);
    SetTextColor(window.LabG700Stat, QColor(0xAD, 0xFF, 0x2F));
    SetTextColor(window.LabTx, QColor(0xAD, 0xFF, 0x2F));
    SetTextColor(window.LabRx, QColor(0x00, 0x64, 0x00));
    window.RectConnStatus->SetFillColor(QColor(0xAD, 0xFF, 0x2F));
    for (TStyledButton* on : {window.BtHeaterSS, window.BtLight1SS}) {
        on->SetImageList(window.ImageListBC);
    }
    for (TRectangle* off : {window.LampAroma, window.LampVent, window.LampLight2}) {
        off->SetFillKind(TRectangle::FILL_SOLID);
        off->SetFillColor(Qt::transparent);
    }
    window.BtVentSS->setEnabled(false);
    window.BtHeaterSS->SetImageIndex(3);
    window.BtSaunaMode->SetImageIndex(3);
    window.BtLight2SS->SetOpacity(0.5);
    QApplication::processEvents();
    ASSERT_TRUE(QDir().mkpath(KOV_SCREENS_DIR));
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage image = RenderWindow(window, ratio);
        const QString name =
            ratio == 1.0 ? QStringLiteral("page-0-live.png") : QStringLiteral("page-0-live@2x.png");
        EXPECT_TRUE(image.save(QDir(KOV_SCREENS_DIR).filePath(name)));
    }
}

} // namespace
