#pragma once
// The three-digit seven-segment display of the measured temperature, with the set temperature
// beside it. A temperature the selected sauna has not answered shows no value: unlit digits, and
// dashes for the set temperature.

#include <cstdint>

class QLabel;
class TDravonPort;
class TGlyph;

class TDisplay {
public:
    // The unlit digit of the seven-segment image list, after the digits 0 to 9.
    static constexpr int UNLIT_DIGIT = 10;

    TDisplay(TGlyph& LEDDisp1, TGlyph& LEDDisp2, TGlyph& LEDDisp3, QLabel& LabelTempSet,
             const TDravonPort& Port);

    // Shows Val, the measured temperature in tenths of a degree, in whole degrees; the set
    // temperature comes from the port's image. A hundreds place of 0, or above 9, shows the
    // unlit digit.
    void Disp7Seg(std::int32_t Val);

private:
    std::int32_t FVal7Seg = 0;
    TGlyph& FLEDDisp1;
    TGlyph& FLEDDisp2;
    TGlyph& FLEDDisp3;
    QLabel& FLabelTempSet;
    const TDravonPort& FPort;
};
