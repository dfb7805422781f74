#pragma once
// A tool bar in the panel's dark tool-bar look. Its buttons stand left to right in a row layout,
// each after a fixed spacer that is its left margin.

#include <QWidget>

class TDockBar : public QWidget {
    Q_OBJECT
public:
    explicit TDockBar(QWidget* parent = nullptr);

    // Re-lays the row with `margin` before `button`. A widget that is not a button of the row
    // is ignored.
    void SetLeftMargin(QWidget* button, int margin);
    // The margin before `button`; -1 for a widget that is not a button of the row.
    int LeftMargin(const QWidget* button) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
