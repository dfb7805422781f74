#pragma once
// The lamp of a device button: a small rounded glass. Lit, it shows the rectangle's fill (the
// layout's gradient); with a transparent fill the unlit glass beneath shows, a dark red lamp
// that cannot be taken for an empty check box. In grey it shows the same, without colour; blank
// it shows neither lit nor unlit glass, only a dash.

#include "TRectangle.h"

class TLamp : public TRectangle {
    Q_OBJECT
    Q_PROPERTY(TLampShade Shade READ Shade WRITE SetShade)

public:
    enum TLampShade { LAMP_IN_COLOUR, LAMP_IN_GREY, LAMP_BLANK };
    Q_ENUM(TLampShade)

    explicit TLamp(QWidget* parent = nullptr);

    TLampShade Shade() const { return FShade; }
    void SetShade(TLampShade shade);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The brush in the lamp's shade.
    QBrush Shaded(const QBrush& brush) const;
    void PaintDash(QPainter& painter) const;

    TLampShade FShade = LAMP_IN_COLOUR;
};
