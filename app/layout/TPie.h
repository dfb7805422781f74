#pragma once
// A pie sector that starts at 12 o'clock and grows clockwise by its end angle.

#include <QColor>
#include <QWidget>

class TPie : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double EndAngle READ EndAngle WRITE SetEndAngle)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(qreal Opacity READ Opacity WRITE SetOpacity)

public:
    explicit TPie(QWidget* parent = nullptr);

    // The sweep in degrees; 360 and more is the whole disc, 0 and less nothing.
    double EndAngle() const { return FEndAngle; }
    void SetEndAngle(double angle);

    // Fill and outline colour, and the opacity the sector is drawn with.
    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);
    qreal Opacity() const { return FOpacity; }
    void SetOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double FEndAngle = 0.0;
    QColor FColor = Qt::blue;
    qreal FOpacity = 1.0;
};
