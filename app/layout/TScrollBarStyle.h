#pragma once
// The scroll bars' look on the dark panel: a slim dark track, a level filled from the minimum up to
// the handle, and a broad handle in the bar's highlight colour. Everything else (sizes, hit
// testing, the other controls) comes from the application's style.

#include <QProxyStyle>

class QScrollBar;

class TScrollBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    TScrollBarStyle();

    // Gives every scroll bar of `form` this look; the style belongs to the form.
    static void Apply(QWidget* form);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    void DrawArrow(QPainter& painter, const QRect& button, bool up, bool pressed,
                   const QColor& colour) const;
};
