// The floating-point scroll bar on its own: the bound rules, a change on every value change and
// none without one, fractional values from dragging and from the track, the minimum at the
// bottom, and its look in the bar's highlight colour.
#include "QtPrinters.h"
#include "TScrollBar.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A bar of the setpoint pages' size and range.
class ScrollBar : public ::testing::Test {
protected:
    ScrollBar() {
        Bar.resize(88, 400);
        Bar.SetMax(110);
        Bar.SetMin(40);
        Bar.SetValue(50);
        Spy.clear();
    }

    // The values the change carried since the last call.
    std::vector<double> Changes() {
        std::vector<double> values;
        for (const QList<QVariant>& signal : Spy) {
            values.push_back(signal.at(0).toDouble());
        }
        Spy.clear();
        return values;
    }

    TScrollBar Bar;
    QSignalSpy Spy{&Bar, &TScrollBar::valueChanged};
};

struct TBoundCase {
    std::string Name;
    std::function<void(TScrollBar&)> Change;
    double Min;
    double Max;
    double Value;
    std::vector<double> Changes;
};

void PrintTo(const TBoundCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class BoundRules : public ScrollBar, public ::testing::WithParamInterface<TBoundCase> {};

TEST_P(BoundRules, KeepTheValueInRangeAndRaiseAChangeOnlyWhenItMoves) {
    const TBoundCase& rule = GetParam();
    rule.Change(Bar);
    EXPECT_EQ(Bar.Min(), rule.Min);
    EXPECT_EQ(Bar.Max(), rule.Max);
    EXPECT_EQ(Bar.Value(), rule.Value);
    EXPECT_EQ(Changes(), rule.Changes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundRules,
    ::testing::Values(
        TBoundCase{"ValueInRange", [](TScrollBar& b) { b.SetValue(85.5); }, 40, 110, 85.5, {85.5}},
        TBoundCase{"SameValue", [](TScrollBar& b) { b.SetValue(50); }, 40, 110, 50, {}},
        TBoundCase{
            "ValueAboveTheMaximum", [](TScrollBar& b) { b.SetValue(500); }, 40, 110, 110, {110}},
        TBoundCase{
            "ValueBelowTheMinimum", [](TScrollBar& b) { b.SetValue(-3); }, 40, 110, 40, {40}},
        TBoundCase{"MinimumMovesTheValue", [](TScrollBar& b) { b.SetMin(60); }, 60, 110, 60, {60}},
        TBoundCase{"MinimumBelowTheValue", [](TScrollBar& b) { b.SetMin(45); }, 45, 110, 50, {}},
        TBoundCase{
            "MaximumMovesTheValue", [](TScrollBar& b) { b.SetMax(45.5); }, 40, 45.5, 45.5, {45.5}},
        TBoundCase{"MinimumAboveTheMaximumBecomesTheMaximum",
                   [](TScrollBar& b) { b.SetMin(120); },
                   110,
                   110,
                   110,
                   {110}},
        TBoundCase{"MaximumBelowTheMinimumBecomesTheMinimum",
                   [](TScrollBar& b) { b.SetMax(10); },
                   40,
                   40,
                   40,
                   {40}},
        TBoundCase{"MaximumThenMinimumAboveTheRange",
                   [](TScrollBar& b) {
                       b.SetMax(630);
                       b.SetMin(300);
                   },
                   300,
                   630,
                   300,
                   {300}},
        TBoundCase{"MinimumThenMaximumAboveTheRange",
                   [](TScrollBar& b) {
                       b.SetMin(300);
                       b.SetMax(630);
                   },
                   110,
                   630,
                   110,
                   {110}}),
    [](const auto& info) { return info.param.Name; });

// The change runs at once, so a handler that sets the bar again sees its own change.
TEST_F(ScrollBar, AHandlerThatSnapsTheValueEndsTheChain) {
    QObject::connect(&Bar, &TScrollBar::valueChanged,
                     [this](double value) { Bar.SetValue(std::nearbyint(value)); });
    Bar.SetValue(85.5);
    EXPECT_EQ(Bar.Value(), 86);
    EXPECT_EQ(Changes(), (std::vector<double>{85.5, 86}));
}

// Presses and drags at the bar's own pixels: the handle's centre runs from the bottom (the
// minimum) to the top (the maximum).
class Dragging : public ScrollBar {
protected:
    Dragging() {
        Bar.show();
        Bar.SetValue(40);
        Changes();
        Bottom = Bar.HandleRect().center();
        Bar.SetValue(110);
        Top = Bar.HandleRect().center();
        Bar.SetValue(40);
        Changes();
    }
    // The value a handle centre at Y stands for.
    double ValueAt(qreal Y) const { return 40 + 70 * (Bottom.y() - Y) / (Bottom.y() - Top.y()); }

    QPointF Bottom;
    QPointF Top;
};

TEST_F(Dragging, TheMinimumIsAtTheBottomAndTheMaximumAtTheTop) {
    EXPECT_GT(Bottom.y(), Bar.height() - 40);
    EXPECT_LT(Top.y(), 40);
    EXPECT_EQ(Bottom.x(), Top.x());
}

TEST_F(Dragging, TheHandleFollowsThePointerWithFractionalValues) {
    const QPoint taken = Bottom.toPoint() + QPoint(10, -3); // off the handle's centre
    QTest::mousePress(&Bar, Qt::LeftButton, {}, taken);
    EXPECT_TRUE(Changes().empty()) << "taking the handle does not move it";
    QTest::mouseMove(&Bar, taken + QPoint(0, -101));
    const double moved = Bar.Value();
    EXPECT_NEAR(moved, ValueAt(Bottom.y() - 101), 1e-9);
    EXPECT_NE(moved, std::floor(moved));
    QTest::mouseMove(&Bar, taken + QPoint(0, -1000)); // far beyond the top
    EXPECT_EQ(Bar.Value(), 110);
    QTest::mouseRelease(&Bar, Qt::LeftButton, {}, taken + QPoint(0, -1000));
    EXPECT_EQ(Changes(), (std::vector<double>{moved, 110}));
    // Moves after the release drag nothing.
    QTest::mouseMove(&Bar, taken);
    EXPECT_EQ(Bar.Value(), 110);
}

TEST_F(Dragging, APressOnTheTrackBringsTheHandleThere) {
    const QPoint at(Bar.width() / 2, static_cast<int>((Bottom.y() + Top.y()) / 2) + 7);
    QTest::mouseClick(&Bar, Qt::LeftButton, {}, at);
    EXPECT_NEAR(Bar.Value(), ValueAt(at.y()), 1e-9);
    EXPECT_NEAR(Bar.HandleRect().center().y(), at.y(), 1e-9);
    EXPECT_EQ(Changes().size(), 1u);
}

TEST_F(Dragging, OtherButtonsDoNothing) {
    QTest::mouseClick(&Bar, Qt::RightButton, {}, Top.toPoint());
    EXPECT_EQ(Bar.Value(), 40);
    EXPECT_TRUE(Changes().empty());
}

// The handle is drawn in the bar's highlight colour where the value puts it, the level below it.
TEST_F(ScrollBar, DrawsTheHandleInTheHighlightColourAtItsValue) {
    QPalette palette = Bar.palette();
    palette.setColor(QPalette::Highlight, QColor(0xB2, 0x22, 0x22));
    Bar.setPalette(palette);
    for (const double value : {40.0, 75.0, 110.0}) {
        SCOPED_TRACE(value);
        Bar.SetValue(value);
        QImage image(Bar.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        Bar.render(&image);
        const QPoint centre = Bar.HandleRect().center().toPoint() + QPoint(0, 10);
        const QRgb handle = image.pixel(centre);
        EXPECT_GT(qRed(handle), 120);
        EXPECT_LT(qGreen(handle), 60);
        // Above the handle the track is dark; below it the level shows the colour.
        const int middle = Bar.width() / 2;
        if (value < 110) {
            EXPECT_LT(qRed(image.pixel(middle, static_cast<int>(Bar.HandleRect().top()) - 8)), 60);
        }
        if (value > 40) {
            EXPECT_GT(qRed(image.pixel(middle, static_cast<int>(Bar.HandleRect().bottom()) + 8)),
                      70);
        }
    }
}

// A disabled bar shows its handle and level in grey, and takes no drag.
TEST_F(ScrollBar, ADisabledBarIsGreyAndTakesNoDrag) {
    QPalette palette = Bar.palette();
    palette.setColor(QPalette::Highlight, QColor(0xB2, 0x22, 0x22));
    Bar.setPalette(palette);
    Bar.setEnabled(false);
    QImage image(Bar.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    Bar.render(&image);
    const QRgb handle = image.pixel(Bar.HandleRect().center().toPoint() + QPoint(0, 10));
    EXPECT_GT(qRed(handle), 60);
    EXPECT_LE(std::abs(qRed(handle) - qGreen(handle)), 4);
    QTest::mouseClick(&Bar, Qt::LeftButton, {}, QPoint(44, 20));
    EXPECT_EQ(Bar.Value(), 50);
    EXPECT_TRUE(Changes().empty());
}

} // namespace
