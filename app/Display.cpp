#include "Display.h"

#include "SaunaMX.h"
#include "SaunaREG.h"
#include "TGlyph.h"

#include <QLabel>

TDisplay::TDisplay(TGlyph& LEDDisp1, TGlyph& LEDDisp2, TGlyph& LEDDisp3, QLabel& LabelTempSet,
                   const TSaunaMX& Sauna)
    : FLEDDisp1(LEDDisp1), FLEDDisp2(LEDDisp2), FLEDDisp3(LEDDisp3), FLabelTempSet(LabelTempSet),
      FSauna(Sauna) {}

void TDisplay::Disp7Seg(std::int32_t Val) {
    FVal7Seg = Val;
    const std::int32_t hundreds = Val / 1000;
    const std::int32_t tens = (Val % 1000) / 100;
    const std::int32_t units = (Val % 100) / 10;
    // The list has one picture per digit: a hundreds place past 9 has none of its own.
    FLEDDisp1.SetImageIndex(hundreds > 0 && hundreds <= 9 ? hundreds : UNLIT_DIGIT);
    FLEDDisp2.SetImageIndex(tens);
    FLEDDisp3.SetImageIndex(units);
    FLabelTempSet.setText(QString::number(FSauna.ReadTableREG(REG_TEMP_SET) / 10) +
                          QStringLiteral("\u00B0C"));
}
