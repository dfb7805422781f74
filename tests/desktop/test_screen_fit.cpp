// Every label of the screen keeps its text inside its box for every value it can show, judged by
// the pixels it paints; and the fitting label on its own: it shrinks only a text that does not
// fit, keeps the layout's font and draws in the palette's colour.
#include "KovMainForm.h"

#include "TFitLabel.h"
#include "TextColor.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

// The band around a label's box in which text that ran past the box would show.
constexpr int Spill = 40;

// Renders what `label` paints on a transparent ground, with the spill band around its box: the
// box keeps its place and size. A label clips a text that runs past its box, so the text it
// paints is cut where the box ends. A label that paints the fill it stands on paints its text
// alone here.
QImage PaintedText(QLabel& label, qreal ratio) {
    const QRect geometry = label.geometry();
    const QMargins margins = label.contentsMargins();
    const QMargins band(Spill, Spill, Spill, Spill);
    const bool filled = label.autoFillBackground();
    label.setAutoFillBackground(false);
    label.setContentsMargins(margins + band);
    label.setGeometry(geometry.marginsAdded(band));
    QImage image(label.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    label.setGeometry(geometry);
    label.setContentsMargins(margins);
    label.setAutoFillBackground(filled);
    return image;
}

// The label's whole text in `font`, nothing clipped, where the label lays it out: the same
// picture as PaintedText when the label paints all of its text in that font.
QImage WholeText(const QLabel& label, const QFont& font, qreal ratio) {
    QImage image((label.size() + QSize(2 * Spill, 2 * Spill)) * ratio,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(TextColor(&label));
    painter.drawText(label.contentsRect().translated(Spill, Spill),
                     static_cast<int>(label.alignment()) | Qt::TextDontClip, label.text());
    return image;
}

// The label's box in the pixels of PaintedText and WholeText.
QRect BoxPixels(const QLabel& label, qreal ratio) {
    const QRect box = label.contentsRect().translated(Spill, Spill);
    return {QPoint(qRound(box.left() * ratio), qRound(box.top() * ratio)),
            QSize(qRound(box.width() * ratio), qRound(box.height() * ratio))};
}

// Every pixel that carries any ink.
QRect InkPixels(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

// The colour of the most strongly inked pixel.
QRgb InkColour(const QImage& image) {
    QRgb strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > qAlpha(strongest)) {
                strongest = pixel;
            }
        }
    }
    return strongest;
}

struct TWidestRow {
    const char* Label;
    const char* Text;
};

void PrintTo(const TWidestRow& row, std::ostream* out) {
    *out << row.Label << " \"" << row.Text << "\"";
}

// The widest text of each label that shows values: register values run from 0 to 65535, so the
// work times reach 1092:15, the temperatures 6553 degrees and the firmware version F.FFF; the
// model, sauna, status and link texts are the whole sets the panel shows.
const std::vector<TWidestRow> WidestRows{
    {"LabWorkTimer", "1092:15"},     {"LabSetWorkTime", "1092:15"},
    {"LabelTempSet", "6553\u00B0C"}, {"LabSetTemp", "6553"},
    {"LabSetTempMax", "6553"},       {"LabSetTempMin", "6553"},
    {"LabSetTime", "1092:15"},       {"LabSetTimeMax", "1092:15"},
    {"LabSetTimeMin", "1092:15"},    {"LabConType", "M-A"},
    {"LabConType", "M-B"},           {"LabConType", "M-C"},
    {"LabConType", "M-D"},           {"LabConType", "MX-A"},
    {"LabConType", "MX-B"},          {"LabConVersion", "F.FFF"},
    {"LabConVersion", "D.DDD"},      {"LabConVersion", "8.888"},
    {"LabSaunaAddr", "Sauna 4"},     {"StatusLabel", "TCP NOT Connected"},
    {"StatusLabel", "TCP Timeout"},  {"LabSSSerwer", "SERWER START"},
    {"LabSSSerwer", "SERWER STOP"},
};

class WidestValues : public ::testing::TestWithParam<TWidestRow> {
protected:
    static void SetUpTestSuite() {
        Window = std::make_unique<TKovMainForm>();
        Window->show();
        QApplication::processEvents();
    }
    static void TearDownTestSuite() { Window.reset(); }

    static std::unique_ptr<TKovMainForm> Window;
};
std::unique_ptr<TKovMainForm> WidestValues::Window;

TEST_P(WidestValues, PaintTheWholeTextInsideTheBoxAtTheLayoutFontOrSmaller) {
    auto* label = Window->findChild<TFitLabel*>(QLatin1String(GetParam().Label));
    ASSERT_NE(label, nullptr);
    const QString layoutText = label->text();
    const QFont layoutFont = label->font();
    const QString text = QString::fromUtf8(GetParam().Text);
    label->setText(text);
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage whole = WholeText(*label, label->FittedFont(), ratio);
        const QRect ink = InkPixels(whole);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(BoxPixels(*label, ratio).contains(ink))
            << "ink " << ::testing::PrintToString(ink) << " box "
            << ::testing::PrintToString(BoxPixels(*label, ratio));
        EXPECT_EQ(PaintedText(*label, ratio), whole) << "the label cut its text";
        // Still read at a glance: no smaller than 60 % of the layout font's letters.
        const int layoutInk = label->fontMetrics().tightBoundingRect(text).height();
        EXPECT_GE(ink.height(), 0.6 * layoutInk * ratio);
    }
    EXPECT_TRUE(label->font() == layoutFont);
    label->setText(layoutText);
}

INSTANTIATE_TEST_SUITE_P(EveryValueLabel, WidestValues, ::testing::ValuesIn(WidestRows),
                         [](const auto& info) {
                             return std::string(info.param.Label) + "_" +
                                    std::to_string(info.index);
                         });

// A fitting label and a plain one with the same box, font, alignment and colour.
class FitLabel : public ::testing::Test {
protected:
    FitLabel() {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(45);
        font.setWeight(QFont::Black);
        for (QLabel* label : {static_cast<QLabel*>(&Fitting), &Plain}) {
            label->setGeometry(0, 0, 136, 50);
            label->setFont(font);
            label->setAlignment(Qt::AlignCenter);
            SetTextColor(label, QColor(0x00, 0x00, 0xFF));
        }
    }

    static QImage Render(QLabel& label) {
        QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    TFitLabel Fitting;
    QLabel Plain;
};

TEST_F(FitLabel, ATextThatFitsIsPaintedAsAPlainLabelPaintsIt) {
    for (const char* text : {"00:00", "02:30", "99:59", ""}) {
        SCOPED_TRACE(text);
        Fitting.setText(QString::fromUtf8(text));
        Plain.setText(QString::fromUtf8(text));
        EXPECT_EQ(Render(Fitting), Render(Plain));
        EXPECT_TRUE(Fitting.FittedFont() == Fitting.font());
    }
}

TEST_F(FitLabel, ATooWideTextIsShrunkForThatTextOnly) {
    const QFont layoutFont = Fitting.font();
    Fitting.setText(QStringLiteral("1092:15"));
    const QFont fitted = Fitting.FittedFont();
    EXPECT_LT(fitted.pixelSize(), layoutFont.pixelSize());
    EXPECT_EQ(fitted.family(), layoutFont.family());
    EXPECT_EQ(fitted.weight(), layoutFont.weight());
    const QImage whole = WholeText(Fitting, fitted, 1.0);
    EXPECT_TRUE(BoxPixels(Fitting, 1.0).contains(InkPixels(whole)));
    EXPECT_EQ(PaintedText(Fitting, 1.0), whole);
    EXPECT_TRUE(Fitting.font() == layoutFont);
    // A plain label cuts the same text at its box: the fault the fitting label mends.
    Plain.setText(Fitting.text());
    EXPECT_NE(PaintedText(Plain, 1.0), WholeText(Plain, layoutFont, 1.0));

    Fitting.setText(QStringLiteral("01:00"));
    Plain.setText(Fitting.text());
    EXPECT_EQ(Render(Fitting), Render(Plain));
}

TEST_F(FitLabel, AShrunkTextTakesTheColourSetThroughThePalette) {
    Fitting.setText(QStringLiteral("1092:15"));
    for (const QRgb colour : {0xFF696969u, 0xFFADFF2Fu, 0xFFFF0000u}) {
        SetTextColor(&Fitting, QColor::fromRgba(colour));
        EXPECT_EQ(InkColour(Render(Fitting)), colour);
    }
}

} // namespace
