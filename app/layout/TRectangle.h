#pragma once
// A rectangle with a solid or gradient fill and an outline: frames, bands, lamps, indicators.

#include <QBrush>
#include <QColor>
#include <QWidget>

class TRectangle : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TFillKind FillKind READ FillKind WRITE SetFillKind)
    Q_PROPERTY(QColor FillColor READ FillColor WRITE SetFillColor)
    Q_PROPERTY(QBrush FillGradient READ FillGradient WRITE SetFillGradient)
    Q_PROPERTY(QColor StrokeColor READ StrokeColor WRITE SetStrokeColor)
    Q_PROPERTY(qreal StrokeThickness READ StrokeThickness WRITE SetStrokeThickness)
    Q_PROPERTY(bool HitTest READ HitTest WRITE SetHitTest)

public:
    // None: no fill. Solid: FillColor. Gradient: FillGradient, a brush in the rectangle's own
    // bounding-box coordinates.
    enum TFillKind { FILL_NONE, FILL_SOLID, FILL_GRADIENT };
    Q_ENUM(TFillKind)

    explicit TRectangle(QWidget* parent = nullptr);

    TFillKind FillKind() const { return FFillKind; }
    void SetFillKind(TFillKind kind);
    QColor FillColor() const { return FFillColor; }
    void SetFillColor(const QColor& color);
    QBrush FillGradient() const { return FFillGradient; }
    void SetFillGradient(const QBrush& brush);

    // A thickness of 0 draws no outline.
    QColor StrokeColor() const { return FStrokeColor; }
    void SetStrokeColor(const QColor& color);
    qreal StrokeThickness() const { return FStrokeThickness; }
    void SetStrokeThickness(qreal thickness);

    // Whether the rectangle takes mouse clicks itself (and raises clicked()) rather than
    // leaving them to the control under it.
    bool HitTest() const { return FHitTest; }
    void SetHitTest(bool hitTest);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TFillKind FFillKind = FILL_NONE;
    QColor FFillColor = Qt::white;
    QBrush FFillGradient;
    QColor FStrokeColor = Qt::black;
    qreal FStrokeThickness = 1.0;
    bool FHitTest = false;
    bool FPressed = false;
};
