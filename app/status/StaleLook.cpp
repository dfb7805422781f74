#include "StaleLook.h"

#include "DravonRTU.h"
#include "KovMainForm.h"
#include "SaunaREG.h"
#include "StatusColours.h"
#include "TControlEffect.h"
#include "TGlyph.h"
#include "TLamp.h"
#include "TPie.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QLabel>

namespace {

constexpr qreal OLD_OPACITY = 0.5;

TLamp::TLampShade LampShade(TReadingAge Age) {
    switch (Age) {
    case READING_UNKNOWN:
        return TLamp::LAMP_BLANK;
    case READING_OLD:
        return TLamp::LAMP_IN_GREY;
    case READING_LIVE:
        break;
    }
    return TLamp::LAMP_IN_COLOUR;
}

} // namespace

TStaleLook::TStaleLook(TKovMainForm& Form)
    : FDigits{Form.LEDDisp1, Form.LEDDisp2, Form.LEDDisp3}, FForm(Form) {
    const std::pair<QLabel*, int> labels[] = {
        {Form.LabelTempSet, REG_TEMP_SET},          {Form.LabWorkTimer, REG_WORK_TIMER},
        {Form.LabSetWorkTime, REG_WORK_TIME_SET},   {Form.LabConType, REG_CONTROLLER_TYPE},
        {Form.LabConVersion, REG_FIRMWARE_VERSION},
    };
    for (const auto& [label, reg] : labels) {
        FLabels.push_back({label, reg, TextColor(label)});
    }
}

void TStaleLook::Show(const TDravonPort& Port) {
    for (const TLabelReading& reading : FLabels) {
        SetTextColor(reading.Label, Port.AgeREG(reading.Reg) == READING_LIVE
                                        ? reading.LayoutColour
                                        : QColor::fromRgba(StatusColours::DimGray));
    }
    ShowDigits(Port.AgeREG(REG_TEMP_ACT) == READING_LIVE);
    ShowOpacity(FForm.PieWorkTimer, Port.AgeREG(REG_WORK_TIMER) == READING_LIVE &&
                                        Port.AgeREG(REG_WORK_TIME_SET) == READING_LIVE);
    ShowOutputs(Port);
}

void TStaleLook::ShowOutputs(const TDravonPort& Port) {
    const struct {
        int Coil;
        TLamp* Lamp;
        TStyledButton* Button;
    } outputs[] = {
        {BIT_HEATER, FForm.LampHeater, FForm.BtHeaterSS},
        {BIT_LIGHT1, FForm.LampLight1, FForm.BtLight1SS},
        {BIT_LIGHT2, FForm.LampLight2, FForm.BtLight2SS},
        {BIT_VENT, FForm.LampVent, FForm.BtVentSS},
        {BIT_AROMA, FForm.LampAroma, FForm.BtAromaSS},
    };
    const bool heatModeLive = Port.AgeREG(REG_HEAT_MODE) == READING_LIVE;
    for (const auto& output : outputs) {
        const TReadingAge age = Port.AgeBIT(output.Coil);
        output.Lamp->SetShade(LampShade(age));
        // The heater's picture also shows the heating mode.
        const bool pictureLive = age == READING_LIVE && (output.Coil != BIT_HEATER || heatModeLive);
        output.Button->SetPictureGreyed(!pictureLive);
    }
    FForm.BtSaunaMode->SetPictureGreyed(!heatModeLive);
}

void TStaleLook::ShowDigits(bool Live) {
    const QColor tint = Live ? QColor() : QColor::fromRgba(StatusColours::DimGray);
    for (TGlyph* digit : FDigits) {
        digit->SetTint(tint);
    }
}

// Through the control's effect layer, made only once a control is first dimmed.
void TStaleLook::ShowOpacity(QWidget* Widget, bool Live) {
    if (!Live || Widget->graphicsEffect()) {
        ControlEffect(Widget)->SetSourceOpacity(Live ? 1.0 : OLD_OPACITY);
    }
}
