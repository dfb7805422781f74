#pragma once
// A one-line label whose text always stays inside its box: a text that the label's font cannot
// fit is drawn in the same font made smaller, for that text only. The font property keeps the
// layout's value, and the text is drawn in the palette's colour like any label's.

#include <QLabel>

class TFitLabel : public QLabel {
    Q_OBJECT
public:
    // Below this the text would no longer be read; a box that small is a layout fault.
    static constexpr int MIN_PIXEL_SIZE = 6;

    explicit TFitLabel(QWidget* parent = nullptr);

    // The font the current text is drawn in: the label's own when the text fits its box,
    // otherwise the largest smaller pixel size of it that fits.
    QFont FittedFont() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where QLabel lays out a one-line text: the contents less the margin (no indent is used).
    QRect TextBox() const;
    int TextFlags() const;
    bool Fits(const QFont& font) const;
};
