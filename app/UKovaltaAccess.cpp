// The panel from the keyboard and for a screen reader: Tab reaches every control that acts, in
// the order the pages show them; F1 to F5 open the five pages; on a setpoint page Up and Down
// step and Enter stores, through the on-screen buttons so that all their guards hold. Every
// control and reading has a Polish accessible name, the readings with their value and the
// outputs with their state.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>

#include <functional>
#include <initializer_list>

namespace {

constexpr int PAGE_SET_TEMP = 1;
constexpr int PAGE_SET_TIME = 2;

// Sets Name when it differs, so that an unchanged reading raises no accessibility event.
void Name(QWidget* Control, const QString& Text) {
    if (Control->accessibleName() != Text) {
        Control->setAccessibleName(Text);
    }
}

QString OnOff(bool On) {
    return On ? QStringLiteral(", włączone") : QStringLiteral(", wyłączone");
}

} // namespace

void TKovMainNavigation::SetUpKeyboard() {
    // The window holds the focus until the operator presses Tab, so that no control is shown
    // focused, with its platform's focus frame, to an operator who only uses the mouse.
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::OtherFocusReason);
    QWidget* const order[] = {BtAromaSS,       BtVentSS,       BtLight2SS,          BtLight1SS,
                              BtHeaterSS,      BtSaunaMode,    BtSetTempUp,         BtSetTempDn,
                              BtSetTempWrite,  ScBarSetTemp,   BtSetTimeUp,         BtSetTimeDn,
                              BtSetTimeWrite,  ScBarSetTime,   BtSelectSauna1,      BtSelectSauna2,
                              BtSelectSauna3,  Button1,        EditTCP_IPNum,       EditTCP_PortNum,
                              CheckBoxIPConst, CheckBoxIPAuto, CheckBoxConnectAuto, BtWiFiConnect,
                              BtSelTabMain,    BtSelTabTemp,   BtSelTabTime,        BtSelTabParam,
                              BtSelTabSettings};
    for (std::size_t k = 1; k < std::size(order); ++k) {
        setTabOrder(order[k - 1], order[k]);
    }
    // Enter presses a sauna button, as Space does; a click gives it no focus, so the mouse
    // never shows a focus mark.
    for (QPushButton* sauna : {BtSelectSauna1, BtSelectSauna2, BtSelectSauna3, Button1}) {
        sauna->setAutoDefault(true);
        sauna->setFocusPolicy(Qt::TabFocus);
    }
    const std::pair<Qt::Key, QAbstractButton*> pages[] = {{Qt::Key_F1, BtSelTabMain},
                                                          {Qt::Key_F2, BtSelTabTemp},
                                                          {Qt::Key_F3, BtSelTabTime},
                                                          {Qt::Key_F4, BtSelTabParam},
                                                          {Qt::Key_F5, BtSelTabSettings}};
    for (const auto& [key, button] : pages) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    }
    // Only while a setpoint page is shown, so that elsewhere Enter presses the focused button.
    const std::pair<QKeySequence, std::function<QAbstractButton*()>> stepKeys[] = {
        {QKeySequence(Qt::Key_Up),
         [this] { return KovMode == KOV_MODE_SET_TIME ? BtSetTimeUp : BtSetTempUp; }},
        {QKeySequence(Qt::Key_Down),
         [this] { return KovMode == KOV_MODE_SET_TIME ? BtSetTimeDn : BtSetTempDn; }},
        {QKeySequence(Qt::Key_Return),
         [this] { return KovMode == KOV_MODE_SET_TIME ? BtSetTimeWrite : BtSetTempWrite; }},
        {QKeySequence(Qt::Key_Enter),
         [this] { return KovMode == KOV_MODE_SET_TIME ? BtSetTimeWrite : BtSetTempWrite; }}};
    for (const auto& [keys, target] : stepKeys) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, this, [target] { target()->click(); });
        connect(TabControl, &QStackedWidget::currentChanged, shortcut, [shortcut](int Page) {
            shortcut->setEnabled(Page == PAGE_SET_TEMP || Page == PAGE_SET_TIME);
        });
    }
    NameControls();
}

void TKovMainNavigation::NameControls() {
    const std::pair<QWidget*, const char*> names[] = {
        {BtSaunaMode, "Wybór typu grzania"},
        {BtSetTempUp, "Temperatura w górę"},
        {BtSetTempDn, "Temperatura w dół"},
        {BtSetTempWrite, "Zapisz temperaturę w sterowniku"},
        {ScBarSetTemp, "Suwak temperatury"},
        {BtSetTimeUp, "Czas pracy w górę"},
        {BtSetTimeDn, "Czas pracy w dół"},
        {BtSetTimeWrite, "Zapisz czas pracy w sterowniku"},
        {ScBarSetTime, "Suwak czasu pracy"},
        {EditTCP_IPNum, "Adres IP bramki"},
        {EditTCP_PortNum, "Numer portu bramki"},
        {BtSelTabMain, "Sterowanie sauną (F1)"},
        {BtSelTabTemp, "Ustawianie temperatury (F2)"},
        {BtSelTabTime, "Ustawianie czasu pracy (F3)"},
        {BtSelTabParam, "Wybór sauny (F4)"},
        {BtSelTabSettings, "Ustawienia programu (F5)"},
    };
    for (const auto& [control, name] : names) {
        Name(control, QString::fromUtf8(name));
    }
    ShowAccessibleValues();
}

// The readings with their values, the outputs with their states; called with every redraw.
void TKovMainNavigation::ShowAccessibleValues() {
    const TSaunaMX& sauna = *Port->Sauna;
    const QString degrees = QStringLiteral(" \u00B0C");
    const QString old = QStringLiteral(", nieaktualne");
    Name(Rectangle7LED, QStringLiteral("Temperatura ") +
                            QString::number(sauna.ReadTableREG(REG_TEMP_ACT) / 10) + degrees +
                            (Port->StaleREG(REG_TEMP_ACT) ? old : QString()));
    // Texts made at compile time: this runs with every redraw of the status view.
    const std::pair<QLabel*, QString> readings[] = {
        {LabelTempSet, QStringLiteral("Temperatura zadana ")},
        {LabWorkTimer, QStringLiteral("Czas pracy ")},
        {LabSetWorkTime, QStringLiteral("Czas pracy zadany ")},
        {LabConType, QStringLiteral("Typ sterownika ")},
        {LabConVersion, QStringLiteral("Wersja programu ")},
        {LabSaunaAddr, QStringLiteral("Wybrana ")},
        {StatusLabel, QStringLiteral("Stan połączenia: ")},
        {LabSetTemp, QStringLiteral("Nastawa temperatury ")},
        {LabSetTime, QStringLiteral("Nastawa czasu pracy ")}};
    for (const auto& [label, name] : readings) {
        Name(label, name + label->text());
    }
    const std::pair<TStyledButton*, std::pair<QString, int>> outputs[] = {
        {BtAromaSS, {QStringLiteral("Aromat"), BIT_AROMA}},
        {BtVentSS, {QStringLiteral("Wentylacja"), BIT_VENT}},
        {BtLight2SS, {QStringLiteral("Światło 2"), BIT_LIGHT2}},
        {BtLight1SS, {QStringLiteral("Światło 1"), BIT_LIGHT1}},
        {BtHeaterSS, {QStringLiteral("Grzanie"), BIT_HEATER}}};
    for (const auto& [button, output] : outputs) {
        Name(button, output.first + OnOff(sauna.ReadTableBIT(output.second)));
    }
    Name(BtWiFiConnect, LabSSSerwer->text());
}
