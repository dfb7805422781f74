#pragma once
// The lamp of a device button: a small rounded glass. Lit, it shows the rectangle's fill (the
// layout's gradient); with a transparent fill the unlit glass beneath shows, a dark red lamp
// that cannot be taken for an empty check box.

#include "TRectangle.h"

class TLamp : public TRectangle {
    Q_OBJECT
public:
    explicit TLamp(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
