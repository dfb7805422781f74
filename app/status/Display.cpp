#include "Display.h"

#include "DravonRTU.h"
#include "SaunaREG.h"
#include "TGlyph.h"

#include <QLabel>

TDisplay::TDisplay(TGlyph& LEDDisp1, TGlyph& LEDDisp2, TGlyph& LEDDisp3, QLabel& LabelTempSet,
                   const TDravonPort& Port)
    : FLEDDisp1(LEDDisp1), FLEDDisp2(LEDDisp2), FLEDDisp3(LEDDisp3), FLabelTempSet(LabelTempSet),
      FPort(Port) {}

void TDisplay::Disp7Seg(std::int32_t Val) {
    FVal7Seg = Val;
    if (FPort.AgeREG(REG_TEMP_ACT) == READING_UNKNOWN) {
        for (TGlyph* digit : {&FLEDDisp1, &FLEDDisp2, &FLEDDisp3}) {
            digit->SetImageIndex(UNLIT_DIGIT);
        }
    } else {
        const std::int32_t hundreds = Val / 1000;
        const std::int32_t tens = (Val % 1000) / 100;
        const std::int32_t units = (Val % 100) / 10;
        // The list has one picture per digit: a hundreds place past 9 has none of its own.
        FLEDDisp1.SetImageIndex(hundreds > 0 && hundreds <= 9 ? hundreds : UNLIT_DIGIT);
        FLEDDisp2.SetImageIndex(tens);
        FLEDDisp3.SetImageIndex(units);
    }
    const bool setKnown = FPort.AgeREG(REG_TEMP_SET) != READING_UNKNOWN;
    FLabelTempSet.setText((setKnown ? QString::number(FPort.Sauna->ReadTableREG(REG_TEMP_SET) / 10)
                                    : QStringLiteral("--")) +
                          QStringLiteral("\u00B0C"));
}
