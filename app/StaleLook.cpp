#include "StaleLook.h"

#include "DravonRTU.h"
#include "KovMainForm.h"
#include "SaunaREG.h"
#include "StatusColours.h"
#include "TControlEffect.h"
#include "TGlyph.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QLabel>

namespace {
constexpr qreal STALE_OPACITY = 0.5;
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
        SetTextColor(reading.Label, Port.StaleREG(reading.Reg)
                                        ? QColor::fromRgba(StatusColours::DimGray)
                                        : reading.LayoutColour);
    }
    ShowDigits(Port.StaleREG(REG_TEMP_ACT));
    ShowOpacity(FForm.PieWorkTimer,
                Port.StaleREG(REG_WORK_TIMER) || Port.StaleREG(REG_WORK_TIME_SET));
    const struct {
        int Coil;
        TRectangle* Lamp;
        TStyledButton* Button;
    } outputs[] = {
        {BIT_HEATER, FForm.LampHeater, FForm.BtHeaterSS},
        {BIT_LIGHT1, FForm.LampLight1, FForm.BtLight1SS},
        {BIT_LIGHT2, FForm.LampLight2, FForm.BtLight2SS},
        {BIT_VENT, FForm.LampVent, FForm.BtVentSS},
        {BIT_AROMA, FForm.LampAroma, FForm.BtAromaSS},
    };
    const bool heatModeStale = Port.StaleREG(REG_HEAT_MODE);
    for (const auto& output : outputs) {
        const bool stale = Port.StaleBIT(output.Coil);
        ShowOpacity(output.Lamp, stale);
        // The heater's picture also shows the heating mode.
        const bool pictureStale = stale || (output.Coil == BIT_HEATER && heatModeStale);
        output.Button->SetPictureOpacity(pictureStale ? STALE_OPACITY : 1.0);
    }
    FForm.BtSaunaMode->SetPictureOpacity(heatModeStale ? STALE_OPACITY : 1.0);
}

void TStaleLook::ShowDigits(bool Stale) {
    const QColor tint = Stale ? QColor::fromRgba(StatusColours::DimGray) : QColor();
    for (TGlyph* digit : FDigits) {
        digit->SetTint(tint);
    }
}

// Through the control's effect layer, made only once a control is first dimmed.
void TStaleLook::ShowOpacity(QWidget* Widget, bool Stale) {
    if (Stale || Widget->graphicsEffect()) {
        ControlEffect(Widget)->SetSourceOpacity(Stale ? STALE_OPACITY : 1.0);
    }
}
