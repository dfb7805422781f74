// The panel from the keyboard and for a screen reader: Tab reaches every control that acts, in
// the order the pages show them; F1 to F5 open the five pages and give the focus to the page's
// first control that acts; on a setpoint page Up and Down step and Enter stores, through the
// on-screen buttons so that all their guards hold. Every control and reading has a Polish
// accessible name, the readings with their value and the outputs with their state, each marked
// when it is old or unknown; those names are made only while a screen reader listens.
#include "UKovalta.h"

#include "SaunaREG.h"
#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"

#include <QApplication>
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

// What, then its value (with the separator it needs), as the reading stands.
QString ReadingName(const QString& What, TReadingAge Age, const QString& Value) {
    switch (Age) {
    case READING_UNKNOWN:
        return What + QStringLiteral(", brak danych");
    case READING_OLD:
        return What + Value + QStringLiteral(", nieaktualne");
    case READING_LIVE:
        break;
    }
    return What + Value;
}

// The scroll bars count in tens of register units: a degree of the temperature's tenths, ten
// minutes of the work time. A screen reader hears degrees and minutes.
constexpr double DEGREES_PER_BAR_UNIT = 1.0;
constexpr double MINUTES_PER_BAR_UNIT = 10.0;

} // namespace

void TKovMainNavigation::SetUpKeyboard() {
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
    // Enter presses a sauna button, as Space does; a click gives it no focus.
    for (QPushButton* sauna : {BtSelectSauna1, BtSelectSauna2, BtSelectSauna3, Button1}) {
        sauna->setAutoDefault(true);
        sauna->setFocusPolicy(Qt::TabFocus);
    }
    const struct {
        Qt::Key Key;
        QAbstractButton* Opens;
        TSetpointPageLook* Loads; // the setpoint page's look, for a page that loads its value
    } pages[] = {{Qt::Key_F1, BtSelTabMain, nullptr},
                 {Qt::Key_F2, BtSelTabTemp, FTempLook.get()},
                 {Qt::Key_F3, BtSelTabTime, FTimeLook.get()},
                 {Qt::Key_F4, BtSelTabParam, nullptr},
                 {Qt::Key_F5, BtSelTabSettings, nullptr}};
    for (const auto& page : pages) {
        auto* shortcut = new QShortcut(QKeySequence(page.Key), this);
        connect(shortcut, &QShortcut::activated, this, [this, page] {
            // A page key is the keyboard's use: from now on the focus shows, also where the
            // page's change has already moved it.
            window()->setAttribute(Qt::WA_KeyboardFocusChange);
            page.Opens->click();
            if (!FocusPage()) {
                // Nothing on the page acts while its setpoint loads: the focus waits on the
                // page's own button, and goes on to the page once the setpoint is there.
                page.Opens->setFocus(Qt::ShortcutFocusReason);
                if (page.Loads != nullptr) {
                    page.Loads->FocusWhenLoaded(page.Opens);
                }
            }
            if (QWidget* focused = QApplication::focusWidget()) {
                focused->update();
            }
        });
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

// The focus goes to the first control of the page shown that acts, in Tab's order, and a
// screen reader says where it went: a locked field is passed over, and of a group of choices
// only the chosen one is a stop, as for Tab. False when no control acts.
bool TKovMainNavigation::FocusPage() {
    const QWidget* page = TabControl->currentWidget();
    for (QWidget* control = nextInFocusChain(); control != this;
         control = control->nextInFocusChain()) {
        const auto* choice = qobject_cast<const QAbstractButton*>(control);
        const bool otherChoice =
            choice != nullptr && choice->autoExclusive() && !choice->isChecked();
        if (page->isAncestorOf(control) && control->isEnabled() &&
            (control->focusPolicy() & Qt::TabFocus) != 0 && !otherChoice) {
            control->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
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
    ScBarSetTemp->SetValueScale(DEGREES_PER_BAR_UNIT);
    ScBarSetTime->SetValueScale(MINUTES_PER_BAR_UNIT);
}

// The readings with their values and how they stand, the outputs with their states; called
// with every redraw while a screen reader listens, and when one starts to.
void TKovMainNavigation::ShowAccessibleValues() {
    const TSaunaMX& sauna = *Port->Sauna;
    Name(Rectangle7LED,
         ReadingName(QStringLiteral("Temperatura"), Port->AgeREG(REG_TEMP_ACT),
                     QStringLiteral(" ") + QString::number(sauna.ReadTableREG(REG_TEMP_ACT) / 10) +
                         QStringLiteral(" \u00B0C")));
    // Texts made at compile time: this runs with every redraw of the status view.
    const struct {
        QLabel* Label;
        QString What;
        int Reg;
    } readings[] = {{LabelTempSet, QStringLiteral("Temperatura zadana"), REG_TEMP_SET},
                    {LabWorkTimer, QStringLiteral("Czas pracy"), REG_WORK_TIMER},
                    {LabSetWorkTime, QStringLiteral("Czas pracy zadany"), REG_WORK_TIME_SET},
                    {LabConType, QStringLiteral("Typ sterownika"), REG_CONTROLLER_TYPE},
                    {LabConVersion, QStringLiteral("Wersja programu"), REG_FIRMWARE_VERSION}};
    for (const auto& reading : readings) {
        Name(reading.Label, ReadingName(reading.What, Port->AgeREG(reading.Reg),
                                        QStringLiteral(" ") + reading.Label->text()));
    }
    Name(LabSaunaAddr, QStringLiteral("Wybrana ") + LabSaunaAddr->text());
    Name(StatusLabel, QStringLiteral("Stan połączenia: ") + StatusLabel->text());
    Name(LabSetTemp, FTempLook->ValueName(QStringLiteral("Nastawa temperatury")));
    Name(LabSetTime, FTimeLook->ValueName(QStringLiteral("Nastawa czasu pracy")));
    const std::pair<TStyledButton*, std::pair<QString, int>> outputs[] = {
        {BtAromaSS, {QStringLiteral("Aromat"), BIT_AROMA}},
        {BtVentSS, {QStringLiteral("Wentylacja"), BIT_VENT}},
        {BtLight2SS, {QStringLiteral("Światło 2"), BIT_LIGHT2}},
        {BtLight1SS, {QStringLiteral("Światło 1"), BIT_LIGHT1}},
        {BtHeaterSS, {QStringLiteral("Grzanie"), BIT_HEATER}}};
    for (const auto& [button, output] : outputs) {
        Name(button, ReadingName(output.first, Port->AgeBIT(output.second),
                                 OnOff(sauna.ReadTableBIT(output.second))));
    }
    Name(BtWiFiConnect, LabSSSerwer->text());
}
