// The look widgets and image lists on their own: pictures, fitting, crispness, shadows, the
// button looks, opacity, clicks, the pie and the setters' repaint discipline.
#include "ImageListCatalog.h"
#include "QtPrinters.h"
#include "Shadow.h"
#include "TControlEffect.h"
#include "TDockBar.h"
#include "TGlyph.h"
#include "TImageList.h"
#include "TLamp.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Renders `widget` with its children and effects on `background` (not on the window's own).
QImage Render(QWidget& widget, qreal ratio = 1.0, QColor background = Qt::black) {
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int Brightest(const QImage& image) {
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            brightest = std::max({brightest, qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    }
    return brightest;
}

TEST(ImageListArtwork, EveryPictureLoadsAtItsSourceSize) {
    QObject owner;
    for (const QString& name :
         {ImageLists::SS, ImageLists::BR, ImageLists::BC, ImageLists::Seg7, ImageLists::Bt}) {
        const TImageList* list = CreateImageList(name, &owner);
        ASSERT_GT(list->Count(), 0) << name.toStdString();
        for (int index = 0; index < list->Count(); ++index) {
            SCOPED_TRACE(list->Picture(index)->Source().toStdString());
            const QSvgRenderer renderer(list->Picture(index)->Source());
            ASSERT_TRUE(renderer.isValid());
            EXPECT_EQ(renderer.defaultSize(), list->SourceSize(index));
        }
    }
    for (const auto& [source, size] : {std::pair{":/images/dial/Timer.svg", QSize(150, 150)},
                                       std::pair{":/images/logo/Kovalta.svg", QSize(1350, 379)}}) {
        EXPECT_EQ(QSvgRenderer(QString::fromLatin1(source)).defaultSize(), size) << source;
    }
}

TEST(ImageListArtwork, IndexesOutsideTheListHaveNothing) {
    QObject owner;
    const TImageList* list = CreateImageList(ImageLists::Seg7, &owner);
    for (const int index : {-1, 11, 1000}) {
        EXPECT_EQ(list->Picture(index), nullptr);
        EXPECT_TRUE(list->Name(index).isEmpty());
        EXPECT_FALSE(list->SourceSize(index).isValid());
    }
    EXPECT_EQ(CreateImageList(QStringLiteral("ImageListNone"), &owner)->Count(), 0);
}

struct TFitRow {
    QSizeF Source;
    QRectF Box;
    TPictureFit Fit;
    QRectF Expected;
};

TEST(PictureFit, WholeUndistortedAndCentredOrStretched) {
    const std::vector<TFitRow> rows{
        // The wide step key in a square box: full width, centred vertically.
        {{378, 300},
         {0, 0, 90, 90},
         PICTURE_FIT,
         {0, 90 * (1 - 300.0 / 378) / 2, 90, 90 * 300.0 / 378}},
        // The tall flame in the device buttons' picture box: full height, centred across.
        {{205, 300}, {96, 14, 60, 60}, PICTURE_FIT, {96 + (60 - 41) / 2.0, 14, 41, 60}},
        {{300, 300}, {10, 2, 50, 50}, PICTURE_FIT, {10, 2, 50, 50}},
        {{1350, 379},
         {8, 8, 191, 49},
         PICTURE_FIT,
         {8 + (191 - 49 * 1350.0 / 379) / 2, 8, 49 * 1350.0 / 379, 49}},
        {{160, 90}, {0, 0, 156, 86}, PICTURE_STRETCH, {0, 0, 156, 86}},
    };
    for (const TFitRow& row : rows) {
        const QRectF rect = PictureRect(row.Source, row.Box, row.Fit);
        EXPECT_NEAR(rect.x(), row.Expected.x(), 1e-9) << row.Source.width();
        EXPECT_NEAR(rect.y(), row.Expected.y(), 1e-9) << row.Source.width();
        EXPECT_NEAR(rect.width(), row.Expected.width(), 1e-9) << row.Source.width();
        EXPECT_NEAR(rect.height(), row.Expected.height(), 1e-9) << row.Source.width();
    }
}

TEST(PictureFit, RendersAtTheDevicePixelsItIsShownAt) {
    QObject owner;
    const TImageList* list = CreateImageList(ImageLists::SS, &owner);
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage device(QSize(100, 100) * ratio, QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(ratio);
        QPainter painter(&device);
        const TPlacedPicture placed =
            PlacePicture(painter, *list->Picture(13), QRectF(5, 5, 80, 80), PICTURE_FIT);
        EXPECT_EQ(placed.Pixmap.devicePixelRatio(), ratio);
        // Drawn one to one: the pixmap has as many pixels as its place on the device.
        EXPECT_NEAR(placed.Pixmap.width(), 80 * ratio, 1.0);
        EXPECT_NEAR(placed.Pixmap.height(), 80 * ratio * 300 / 378, 1.0);
        EXPECT_DOUBLE_EQ(placed.TopLeft.x() * ratio, std::round(placed.TopLeft.x() * ratio));
        EXPECT_DOUBLE_EQ(placed.TopLeft.y() * ratio, std::round(placed.TopLeft.y() * ratio));
        // The second call finds the picture rendered already.
        const TPlacedPicture again =
            PlacePicture(painter, *list->Picture(13), QRectF(5, 5, 80, 80), PICTURE_FIT);
        EXPECT_EQ(again.Pixmap.cacheKey(), placed.Pixmap.cacheKey());
    }
}

struct TShadowRow {
    qreal Direction;
    QPointF Offset;
};

// The centre of mass of the image's alpha.
QPointF AlphaCentre(const QImage& image) {
    double sum = 0, x = 0, y = 0;
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            const int alpha = qAlpha(image.pixel(column, row));
            sum += alpha;
            x += alpha * (column + 0.5);
            y += alpha * (row + 0.5);
        }
    }
    return sum > 0 ? QPointF(x / sum, y / sum) : QPointF();
}

TEST(Shadows, FallAtTheirDistanceInTheirDirection) {
    QPixmap square(10, 10);
    square.fill(Qt::white);
    const std::vector<TShadowRow> rows{
        {0, {6, 0}}, {45, {4.2426, 4.2426}}, {90, {0, 6}}, {180, {-6, 0}}, {270, {0, -6}}};
    for (const TShadowRow& row : rows) {
        SCOPED_TRACE(row.Direction);
        QImage canvas(60, 60, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        DrawShadow(painter, square, QPointF(25, 25), {6, row.Direction, 0.4, 1.0, Qt::black},
                   SHADOW_FROM_ALPHA);
        painter.end();
        const QPointF centre = AlphaCentre(canvas);
        EXPECT_NEAR(centre.x(), 30 + row.Offset.x(), 0.75);
        EXPECT_NEAR(centre.y(), 30 + row.Offset.y(), 0.75);
    }
}

TEST(Shadows, AGlowComesFromTheLitPartsOnly) {
    QImage canvas(40, 40, QImage::Format_ARGB32_Premultiplied);
    const auto peakGlow = [&canvas](QColor colour) {
        QPixmap segment(8, 20);
        segment.fill(colour);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        DrawShadow(painter, segment, QPointF(16, 10), {0, 0, 2, 0.6, QColor(0xDC, 0x14, 0x3C)},
                   SHADOW_FROM_BRIGHTNESS);
        painter.end();
        int peak = 0;
        for (int y = 0; y < canvas.height(); ++y) {
            peak = std::max(peak, qAlpha(canvas.pixel(12, y))); // 4 pixels beside the segment
        }
        return peak;
    };
    const int lit = peakGlow(QColor(0xFF, 0x20, 0x20));
    const int unlit = peakGlow(QColor(0x30, 0x08, 0x08));
    EXPECT_GT(lit, 0);
    EXPECT_LT(unlit * 4, lit);
}

// A control's shadow is that of what the control shows now: a frame that loses its fill loses
// the shadow it cast, and casts it again with the fill back.
TEST(Shadows, AControlsShadowFollowsWhatItShows) {
    QWidget window;
    window.resize(100, 100);
    auto* frame = new TRectangle(&window);
    frame->setGeometry(20, 20, 40, 40);
    frame->SetStrokeThickness(0);
    frame->SetFillColor(Qt::white);
    frame->SetFillKind(TRectangle::FILL_SOLID);
    ControlEffect(frame)->SetShadow(TShadowLook{6, 45, 0.2, 1.0, Qt::black});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // How much darker the shadow's corner below and right of the frame is than the window.
    const auto shade = [&window] {
        QApplication::processEvents();
        QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
        window.render(&image);
        return qGray(image.pixel(95, 5)) - qGray(image.pixel(63, 63));
    };
    EXPECT_GT(shade(), 60);
    frame->SetFillKind(TRectangle::FILL_NONE);
    EXPECT_EQ(shade(), 0);
    frame->SetFillKind(TRectangle::FILL_SOLID);
    EXPECT_GT(shade(), 60);
}

// A button of the given look showing entry `index` of the neutral list.
class ButtonLooks : public ::testing::TestWithParam<TStyledButton::TLook> {
protected:
    void SetUp() override {
        Neutral = CreateImageList(ImageLists::SS, &Owner);
        Faces = CreateImageList(ImageLists::Bt, &Owner);
    }
    std::unique_ptr<TStyledButton> Make(TImageList* list, int index, const QString& text = {}) {
        auto button = std::make_unique<TStyledButton>();
        button->resize(GetParam() == TStyledButton::BLButton1Style ? QSize(160, 90)
                                                                   : QSize(270, 90));
        button->SetLook(GetParam());
        button->SetFaceList(Faces);
        button->SetImageList(list);
        button->SetImageIndex(index);
        button->setText(text);
        return button;
    }
    QObject Owner;
    TImageList* Neutral = nullptr;
    TImageList* Faces = nullptr;
};

TEST_P(ButtonLooks, AnIndexOutsideTheListShowsNoPicture) {
    const QImage bare = Render(*Make(nullptr, -1));
    EXPECT_NE(Render(*Make(Neutral, 12)), bare);
    for (const int index : {-1, -7, 15, 99}) {
        EXPECT_EQ(Render(*Make(Neutral, index)), bare) << index;
    }
}

TEST_P(ButtonLooks, DrawNoCaption) {
    EXPECT_EQ(Render(*Make(Neutral, 12, QStringLiteral("Start G700"))), Render(*Make(Neutral, 12)));
}

TEST_P(ButtonLooks, ShowTheEntryOfTheListAndIndexSetAtRunTime) {
    auto button = Make(Neutral, 12);
    const QImage enter = Render(*button);
    button->SetImageIndex(13);
    EXPECT_NE(Render(*button), enter);
    button->SetImageIndex(12);
    EXPECT_EQ(Render(*button), enter);
    button->SetImageList(CreateImageList(ImageLists::BR, &Owner));
    EXPECT_NE(Render(*button), enter);
}

INSTANTIATE_TEST_SUITE_P(BothLooks, ButtonLooks,
                         ::testing::Values(TStyledButton::BLButton1Style,
                                           TStyledButton::BLButtonSSStyle));

// A device button with its lamp, on a parent so that renders include the button's effect.
class DeviceButton : public ::testing::Test {
protected:
    DeviceButton() {
        Page.resize(200, 120);
        Button = new TStyledButton(&Page);
        Button->setGeometry(20, 15, 160, 90);
        Lamp = new TRectangle(Button);
        Lamp->setGeometry(8, 8, 30, 15);
        Lamp->SetFillKind(TRectangle::FILL_SOLID);
        Lamp->SetFillColor(Qt::white);
    }
    QRgb LampPixel() { return Render(Page).pixel(20 + 20, 15 + 15); }

    QWidget Page;
    TStyledButton* Button;
    TRectangle* Lamp;
};

TEST_F(DeviceButton, OpacityDimsTheButtonWithItsChildren) {
    const QRgb full = LampPixel();
    EXPECT_EQ(full, qRgb(255, 255, 255));
    Button->SetOpacity(0.5);
    EXPECT_EQ(Button->Opacity(), 0.5);
    EXPECT_NEAR(qRed(LampPixel()), 128, 2);
    Button->SetOpacity(1.0);
    EXPECT_EQ(LampPixel(), full);
}

TEST_F(DeviceButton, ADisabledButtonIsDimmedAndKeepsItsOpacity) {
    Button->setEnabled(false);
    EXPECT_LT(qRed(LampPixel()), 128);
    EXPECT_EQ(Button->Opacity(), 1.0);
    Button->setEnabled(true);
    EXPECT_EQ(LampPixel(), qRgb(255, 255, 255));
}

// A greyed picture shows no colour, neither the on-look's nor the off-look's: the face and the
// lamp keep their look, and the button's own opacity stays free for the press feedback.
TEST_F(DeviceButton, AGreyedPictureLosesItsColourAlone) {
    QObject owner;
    Button->SetFaceList(CreateImageList(ImageLists::Bt, &owner));
    Button->SetImageList(CreateImageList(ImageLists::BC, &owner));
    Button->SetImageIndex(4);
    const QRect picture(20 + 96, 15 + 14, 60, 60);
    const QImage full = Render(Page);
    const auto colourful = [](const QImage& image) {
        int most = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                most = std::max(most, std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) -
                                          std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}));
            }
        }
        return most;
    };
    ASSERT_GT(colourful(full.copy(picture)), 100); // the yellow bulb
    Button->SetPictureGreyed(true);
    EXPECT_TRUE(Button->PictureGreyed());
    EXPECT_EQ(Button->Opacity(), 1.0);
    const QImage greyed = Render(Page);
    EXPECT_LT(colourful(greyed.copy(picture)), 8);
    EXPECT_GT(Brightest(greyed.copy(picture)), 0x40) << "the picture still shows";
    EXPECT_EQ(greyed.pixel(20 + 20, 15 + 15), full.pixel(20 + 20, 15 + 15)); // the lamp
    EXPECT_EQ(greyed.pixel(20 + 60, 15 + 70), full.pixel(20 + 60, 15 + 70)); // the face
    Button->SetPictureGreyed(false);
    EXPECT_EQ(Render(Page), full);
}

TEST_F(DeviceButton, AClickOnTheLampClicksTheButton) {
    Page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Page));
    QSignalSpy buttonClicks(Button, &QAbstractButton::clicked);
    QSignalSpy lampClicks(Lamp, &TRectangle::clicked);
    QTest::mouseClick(Lamp, Qt::LeftButton, {}, QPoint(15, 7));
    EXPECT_EQ(buttonClicks.count(), 1);
    EXPECT_EQ(lampClicks.count(), 0);
}

// A lamp on the dark face of a device button, off (transparent fill, as the status view sets it)
// and on (the layout's gradient).
TEST(Lamps, AnUnlitLampIsDarkRedGlassWithRoundedCornersNotAnEmptyBox) {
    const QColor faceColour(0x2B, 0x2B, 0x2B);
    QWidget face;
    face.resize(46, 31);
    auto* lamp = new TLamp(&face);
    lamp->setGeometry(8, 8, 30, 15);
    lamp->SetFillKind(TRectangle::FILL_SOLID);
    lamp->SetFillColor(Qt::transparent);
    const QImage off = Render(face, 1.0, faceColour);
    const QRgb glass = off.pixel(8 + 15, 8 + 7);
    EXPECT_NE(glass, faceColour.rgb()) << "the face shows through the lamp";
    EXPECT_GT(qRed(glass), 2 * qGreen(glass));
    EXPECT_GT(qRed(glass), 2 * qBlue(glass));
    EXPECT_LT(qRed(glass), 0x80) << "an unlit lamp is dark";
    // The corner is cut round, so the face shows there: no square outline corner as a check
    // box has.
    EXPECT_GE(qGreen(off.pixel(8, 8)), faceColour.green() * 3 / 4);

    QLinearGradient lit(0, 0, 0, 1);
    lit.setCoordinateMode(QGradient::ObjectBoundingMode);
    lit.setStops({{0.0, QColor(0xE6, 0x1C, 0x1C)},
                  {0.4627, QColor(0xF5, 0xA6, 0xA6)},
                  {1.0, QColor(0xDC, 0x11, 0x11)}});
    lamp->SetFillGradient(lit);
    lamp->SetFillKind(TRectangle::FILL_GRADIENT);
    const QRgb on = Render(face, 1.0, faceColour).pixel(8 + 15, 8 + 7);
    EXPECT_GT(qRed(on), 0xE0);
    EXPECT_GT(qGreen(on), 0x80);
}

// A lamp in grey keeps lit and unlit apart without colour; a blank lamp is neither: neutral
// glass with a dash across, the same whatever its fill.
TEST(Lamps, InGreyLitAndUnlitStayApartAndABlankLampIsNeither) {
    const QColor faceColour(0x2B, 0x2B, 0x2B);
    QWidget face;
    face.resize(46, 31);
    auto* lamp = new TLamp(&face);
    lamp->setGeometry(8, 8, 30, 15);
    QLinearGradient lit(0, 0, 0, 1);
    lit.setCoordinateMode(QGradient::ObjectBoundingMode);
    lit.setStops({{0.0, QColor(0xE6, 0x1C, 0x1C)},
                  {0.4627, QColor(0xF5, 0xA6, 0xA6)},
                  {1.0, QColor(0xDC, 0x11, 0x11)}});
    lamp->SetFillGradient(lit);
    lamp->SetFillColor(Qt::transparent);
    const QPoint middle(8 + 15, 8 + 7);
    const QPoint band(8 + 6, 8 + 7);
    const auto render = [&](TRectangle::TFillKind Kind, TLamp::TLampShade Shade) {
        lamp->SetFillKind(Kind);
        lamp->SetShade(Shade);
        return Render(face, 1.0, faceColour);
    };
    const auto grey = [](QRgb Pixel) {
        return std::abs(qRed(Pixel) - qGreen(Pixel)) <= 2 &&
               std::abs(qRed(Pixel) - qBlue(Pixel)) <= 2;
    };
    const QRgb litGrey = render(TRectangle::FILL_GRADIENT, TLamp::LAMP_IN_GREY).pixel(middle);
    const QRgb unlitGrey = render(TRectangle::FILL_SOLID, TLamp::LAMP_IN_GREY).pixel(middle);
    EXPECT_TRUE(grey(litGrey));
    EXPECT_TRUE(grey(unlitGrey));
    EXPECT_GT(qRed(litGrey), qRed(unlitGrey) + 0x60) << "lit stays brighter than unlit";
    const QRgb litColour = render(TRectangle::FILL_GRADIENT, TLamp::LAMP_IN_COLOUR).pixel(middle);
    EXPECT_GT(qRed(litColour), qGreen(litColour) + 0x30) << "in colour the lamp is red";

    const QImage blankLit = render(TRectangle::FILL_GRADIENT, TLamp::LAMP_BLANK);
    EXPECT_EQ(render(TRectangle::FILL_SOLID, TLamp::LAMP_BLANK), blankLit);
    EXPECT_TRUE(grey(blankLit.pixel(middle)));
    EXPECT_GT(qRed(blankLit.pixel(middle)), 0x80) << "the dash";
    EXPECT_TRUE(grey(blankLit.pixel(band)));
    EXPECT_LT(qRed(blankLit.pixel(band)), 0x40) << "dark glass beside the dash";
}

TEST(Rectangles, AHitTestRectangleRaisesClickedOnAClick) {
    TRectangle rectangle;
    rectangle.resize(180, 80);
    rectangle.SetHitTest(true);
    auto* digit = new TGlyph(&rectangle);
    digit->setGeometry(0, 0, 58, 80);
    rectangle.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rectangle));
    QSignalSpy clicks(&rectangle, &TRectangle::clicked);
    QTest::mouseClick(&rectangle, Qt::LeftButton, {}, QPoint(150, 40));
    QTest::mouseClick(digit, Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_EQ(clicks.count(), 2);
    QTest::mouseClick(&rectangle, Qt::RightButton, {}, QPoint(150, 40));
    EXPECT_EQ(clicks.count(), 2);
}

TEST(DockBar, LeftMarginsReLayTheRowAtOnceEvenBeforeItIsShown) {
    TDockBar bar;
    bar.resize(420, 48);
    auto* row = new QHBoxLayout(&bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    std::vector<QWidget*> buttons;
    for (const int margin : {50, 20, 20}) {
        row->addSpacerItem(new QSpacerItem(margin, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
        auto* button = new TStyledButton(&bar);
        button->setFixedSize(48, 48);
        row->addWidget(button);
        buttons.push_back(button);
    }
    row->addStretch();
    QLabel stranger;
    bar.SetLeftMargin(&stranger, 30);
    EXPECT_EQ(bar.LeftMargin(&stranger), -1);
    for (QWidget* button : buttons) {
        bar.SetLeftMargin(button, 30);
    }
    EXPECT_EQ(buttons[0]->geometry(), QRect(30, 0, 48, 48));
    EXPECT_EQ(buttons[1]->geometry(), QRect(108, 0, 48, 48));
    EXPECT_EQ(buttons[2]->geometry(), QRect(186, 0, 48, 48));
    EXPECT_EQ(bar.LeftMargin(buttons[1]), 30);
}

struct TPieRow {
    double EndAngle;
    bool UpperRight;
    bool LowerRight;
    bool LowerLeft;
    bool UpperLeft;
};

TEST(Pie, StartsAtTwelveAndGrowsClockwise) {
    const std::vector<TPieRow> rows{
        {0, false, false, false, false},   {90, true, false, false, false},
        {180, true, true, false, false},   {270, true, true, true, false},
        {360, true, true, true, true},     {450, true, true, true, true},
        {-30, false, false, false, false},
    };
    TPie pie;
    pie.resize(60, 60);
    pie.SetColor(Qt::blue);
    pie.SetOpacity(0.7);
    for (const TPieRow& row : rows) {
        SCOPED_TRACE(row.EndAngle);
        pie.SetEndAngle(row.EndAngle);
        const QImage image = Render(pie, 1.0, Qt::white);
        const auto isBlue = [&image](int x, int y) { return qRed(image.pixel(x, y)) < 128; };
        EXPECT_EQ(isBlue(42, 18), row.UpperRight);
        EXPECT_EQ(isBlue(42, 42), row.LowerRight);
        EXPECT_EQ(isBlue(18, 42), row.LowerLeft);
        EXPECT_EQ(isBlue(18, 18), row.UpperLeft);
    }
}

TEST(Digits, TheUnlitDigitIsDarkAndTheLitOnesShine) {
    QObject owner;
    TGlyph digit;
    digit.resize(58, 80);
    digit.SetImageList(CreateImageList(ImageLists::Seg7, &owner));
    digit.SetImageIndex(10);
    const int unlit = Brightest(Render(digit, 1.0, QColor(0x0F, 0x0F, 0x0F)));
    digit.SetImageIndex(8);
    const int lit = Brightest(Render(digit, 1.0, QColor(0x0F, 0x0F, 0x0F)));
    EXPECT_LT(unlit, 128);
    EXPECT_GT(lit, 200);
}

// A tinted digit shows in the tint's colour, its unlit segments still dark, and untinted again
// exactly as before.
TEST(Digits, ATintShowsTheDigitInItsColourAndKeepsTheUnlitSegmentsDark) {
    QObject owner;
    TGlyph digit;
    digit.resize(58, 80);
    digit.SetImageList(CreateImageList(ImageLists::Seg7, &owner));
    digit.SetGlowColor(QColor(220, 20, 60));
    digit.SetGlowSoftness(2);
    digit.SetGlowOpacity(0.6);
    const QColor background(0x0F, 0x0F, 0x0F);
    digit.SetImageIndex(8);
    const QImage lit = Render(digit, 1.0, background);
    digit.SetTint(QColor(0x69, 0x69, 0x69));
    EXPECT_EQ(digit.Tint(), QColor(0x69, 0x69, 0x69));
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage grey = Render(digit, ratio, background);
        int brightest = 0;
        for (int y = 0; y < grey.height(); ++y) {
            for (int x = 0; x < grey.width(); ++x) {
                const QRgb pixel = grey.pixel(x, y);
                ASSERT_LE(std::abs(qRed(pixel) - qGreen(pixel)), 2) << x << "," << y;
                ASSERT_LE(std::abs(qGreen(pixel) - qBlue(pixel)), 2) << x << "," << y;
                brightest = std::max(brightest, qRed(pixel));
            }
        }
        EXPECT_NEAR(brightest, 0x69, 4) << ratio;
    }
    digit.SetImageIndex(10);
    EXPECT_LT(Brightest(Render(digit, 1.0, background)), 0x30);
    digit.SetImageIndex(8);
    digit.SetTint(QColor());
    EXPECT_EQ(Render(digit, 1.0, background), lit);
}

// A setter called with the value it already holds must not repaint: the status view sets every
// control about ten times a second.
struct TSetterRow {
    const char* Name;
    std::function<std::unique_ptr<QWidget>(QObject& owner)> Make;
    std::function<void(QWidget&)> SetSame;
    std::function<void(QWidget&)> SetOther;
};

class PaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        Paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

template <typename T> T& As(QWidget& widget) {
    return static_cast<T&>(widget);
}

TEST(Setters, ReturnWithoutRepaintWhenTheValueDoesNotChange) {
    const auto button = [](QObject& owner) {
        auto made = std::make_unique<TStyledButton>();
        made->SetImageList(CreateImageList(ImageLists::BR, &owner));
        made->SetImageIndex(4);
        return made;
    };
    const std::vector<TSetterRow> rows{
        {"button image list", button,
         [](QWidget& w) { As<TStyledButton>(w).SetImageList(As<TStyledButton>(w).ImageList()); },
         [](QWidget& w) { As<TStyledButton>(w).SetImageList(nullptr); }},
        {"button image index", button, [](QWidget& w) { As<TStyledButton>(w).SetImageIndex(4); },
         [](QWidget& w) { As<TStyledButton>(w).SetImageIndex(5); }},
        {"button opacity", button, [](QWidget& w) { As<TStyledButton>(w).SetOpacity(1.0); },
         [](QWidget& w) { As<TStyledButton>(w).SetOpacity(0.5); }},
        {"button picture greyed", button,
         [](QWidget& w) { As<TStyledButton>(w).SetPictureGreyed(false); },
         [](QWidget& w) { As<TStyledButton>(w).SetPictureGreyed(true); }},
        {"lamp shade", [](QObject&) { return std::make_unique<TLamp>(); },
         [](QWidget& w) { As<TLamp>(w).SetShade(TLamp::LAMP_IN_COLOUR); },
         [](QWidget& w) { As<TLamp>(w).SetShade(TLamp::LAMP_BLANK); }},
        {"lamp fill kind", [](QObject&) { return std::make_unique<TRectangle>(); },
         [](QWidget& w) { As<TRectangle>(w).SetFillKind(TRectangle::FILL_NONE); },
         [](QWidget& w) { As<TRectangle>(w).SetFillKind(TRectangle::FILL_SOLID); }},
        {"link fill colour",
         [](QObject&) {
             auto made = std::make_unique<TRectangle>();
             made->SetFillKind(TRectangle::FILL_SOLID);
             made->SetFillColor(Qt::red);
             return made;
         },
         [](QWidget& w) { As<TRectangle>(w).SetFillColor(Qt::red); },
         [](QWidget& w) { As<TRectangle>(w).SetFillColor(Qt::green); }},
        {"digit index", [](QObject&) { return std::make_unique<TGlyph>(); },
         [](QWidget& w) { As<TGlyph>(w).SetImageIndex(-1); },
         [](QWidget& w) { As<TGlyph>(w).SetImageIndex(3); }},
        {"digit tint", [](QObject&) { return std::make_unique<TGlyph>(); },
         [](QWidget& w) { As<TGlyph>(w).SetTint(QColor()); },
         [](QWidget& w) { As<TGlyph>(w).SetTint(QColor(0x69, 0x69, 0x69)); }},
        {"pie end angle", [](QObject&) { return std::make_unique<TPie>(); },
         [](QWidget& w) { As<TPie>(w).SetEndAngle(0); },
         [](QWidget& w) { As<TPie>(w).SetEndAngle(90); }},
        {"scroll bar value", [](QObject&) { return std::make_unique<TScrollBar>(); },
         [](QWidget& w) { As<TScrollBar>(w).SetValue(0); },
         [](QWidget& w) { As<TScrollBar>(w).SetValue(30.5); }},
        {"scroll bar bounds", [](QObject&) { return std::make_unique<TScrollBar>(); },
         [](QWidget& w) {
             As<TScrollBar>(w).SetMin(0);
             As<TScrollBar>(w).SetMax(100);
         },
         [](QWidget& w) { As<TScrollBar>(w).SetMax(50); }},
        {"label text colour",
         [](QObject&) {
             auto made = std::make_unique<QLabel>("Tx");
             SetTextColor(made.get(), QColor(0x69, 0x69, 0x69));
             return made;
         },
         [](QWidget& w) { SetTextColor(&w, TextColor(&w)); },
         [](QWidget& w) { SetTextColor(&w, QColor(0xAD, 0xFF, 0x2F)); }},
    };
    for (const TSetterRow& row : rows) {
        SCOPED_TRACE(row.Name);
        QObject owner;
        std::unique_ptr<QWidget> widget = row.Make(owner);
        widget->resize(60, 40);
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget.get()));
        QApplication::processEvents();
        PaintCounter counter;
        widget->installEventFilter(&counter);
        row.SetSame(*widget);
        QApplication::processEvents();
        EXPECT_EQ(counter.Paints, 0);
        row.SetOther(*widget);
        QApplication::processEvents();
        EXPECT_GT(counter.Paints, 0);
    }
}

} // namespace
