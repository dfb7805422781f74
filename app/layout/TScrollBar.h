#pragma once
// A vertical scroll bar with a floating-point value, the minimum at the bottom, in the panel's
// look: a slim dark track, a level filled from the minimum up to the handle, and a broad handle
// in the bar's highlight colour. Dragging the handle, or pressing the track, gives fractional
// values. For assistive technology it is a slider whose value is in the units the operator
// reads (ValueScale of them to one unit of the bar), and every change of its value is announced.

#include <QRectF>
#include <QWidget>

class TScrollBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Min READ Min WRITE SetMin)
    Q_PROPERTY(double Max READ Max WRITE SetMax)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(double ValueScale READ ValueScale WRITE SetValueScale)

public:
    explicit TScrollBar(QWidget* parent = nullptr);

    // The bar keeps Min <= Value <= Max. A minimum above the maximum becomes the maximum, a
    // maximum below the minimum becomes the minimum, and every setter brings the value into
    // the range.
    double Min() const { return FMin; }
    void SetMin(double min);
    double Max() const { return FMax; }
    void SetMax(double max);
    double Value() const { return FValue; }
    void SetValue(double value);

    // How many of the operator's units (degrees, minutes) one unit of the bar is.
    double ValueScale() const { return FValueScale; }
    void SetValueScale(double scale) { FValueScale = scale; }

    // Where the handle stands, in the bar's own coordinates.
    QRectF HandleRect() const;

signals:
    // Raised at once whenever the value changes, also by code or by a bound that moves it;
    // never when the value stays as it was.
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Moves the value into the range and raises the change when it moved.
    void Settle(double value);
    // The handle centre's path: from the bottom (Min) up over Travel() pixels.
    qreal Travel() const;
    qreal CentreAtMin() const;
    double ValueAtCentre(qreal centreY) const;

    double FMin = 0.0;
    double FMax = 100.0;
    double FValue = 0.0;
    double FValueScale = 1.0;
    bool FDragging = false;
    // How far below the handle centre the handle was taken.
    qreal FGrabOffset = 0.0;
};
