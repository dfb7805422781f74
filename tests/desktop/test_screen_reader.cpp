// The panel as a screen reader meets it through the toolkit's accessibility interfaces, on the
// real window and scripted controllers that load their setpoints as real ones do: the scroll
// bars are sliders with their value in degrees and minutes that announce every change, a
// setpoint page that loads reports its controls disabled and its value loading, the sauna
// buttons are one radio group whose action chooses a sauna as a click does, and the page keys
// move the focus to the page's first control that acts and announce it. Run by
// with_screen_reader_bus.sh: the toolkit announces only while a screen reader's bus is enabled.
#include "ControllerBus.h"
#include "FocusRing.h"
#include "LinkedWindow.h"
#include "QtPrinters.h"
#include "TScrollBar.h"
#include "TStyledButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// What the toolkit announces to assistive technology while a recorder lives.
class TAnnouncements {
public:
    TAnnouncements() : FPrevious(QAccessible::installUpdateHandler(Record)) { FRecorder = this; }
    ~TAnnouncements() {
        QAccessible::installUpdateHandler(FPrevious);
        FRecorder = nullptr;
    }
    TAnnouncements(const TAnnouncements&) = delete;
    TAnnouncements& operator=(const TAnnouncements&) = delete;

    // The controls announced as focused, oldest first.
    std::vector<const QObject*> Focused() const {
        std::vector<const QObject*> focused;
        for (const TAnnounced& event : FEvents) {
            if (event.Type == QAccessible::Focus) {
                focused.push_back(event.Object);
            }
        }
        return focused;
    }
    // The values announced for Object, oldest first.
    std::vector<double> Values(const QObject* Object) const {
        std::vector<double> values;
        for (const TAnnounced& event : FEvents) {
            if (event.Object == Object && event.Type == QAccessible::ValueChanged) {
                values.push_back(event.Value);
            }
        }
        return values;
    }

private:
    struct TAnnounced {
        const QObject* Object;
        QAccessible::Event Type;
        double Value;
    };
    static void Record(QAccessibleEvent* Event) {
        double value = 0;
        if (Event->type() == QAccessible::ValueChanged) {
            value = static_cast<QAccessibleValueChangeEvent*>(Event)->value().toDouble();
        }
        FRecorder->FEvents.push_back({Event->object(), Event->type(), value});
    }

    static inline TAnnouncements* FRecorder = nullptr;
    QAccessible::UpdateHandler FPrevious;
    std::vector<TAnnounced> FEvents;
};

QAccessibleInterface* Accessible(QObject* Control) {
    return QAccessible::queryAccessibleInterface(Control);
}

QString NameOf(QObject* Control) {
    return Accessible(Control)->text(QAccessible::Name);
}

// The window shown and active while the screen reader's bus is enabled, with four controllers
// behind the gateway: heating saunas set to 80 degrees (40 to 110 in steps of one degree) and
// 02:00 of work time (00:30 to 10:30 in steps of ten minutes).
class ScreenReader : public ::testing::Test {
protected:
    ScreenReader() {
        EXPECT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000));
        Link.Rig.Fake->Responder = [this](const QByteArray& Request) {
            return Bus.Answer(Request);
        };
        EXPECT_TRUE(
            Link.TickUntil([this] { return Link.Image().ReadTableREG(REG_TEMP_SET) == 800; }));
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
        Window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    void Key(Qt::Key Pressed) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &Window;
        QTest::keyClick(target, Pressed);
    }

    ControllerBus Bus;
    LinkedWindow Link;
    TKovMainNavigation& Window = Link.Window();
};

struct TSliderCase {
    std::string Name;
    int Page;
    // In the page's units: degrees, minutes.
    double Value;
    double Min;
    double Max;
    double Step;
    double AfterUp;
    double Set; // set through the slider's value
    const char* ValueShown;
};

class Slider : public ScreenReader, public ::testing::WithParamInterface<TSliderCase> {};

TEST_P(Slider, HasTheValueInThePagesUnitsAndAnnouncesEachChange) {
    const TSliderCase& slider = GetParam();
    const bool temp = slider.Page == 1;
    TScrollBar* bar = temp ? Window.ScBarSetTemp : Window.ScBarSetTime;
    QLabel* shown = temp ? Window.LabSetTemp : Window.LabSetTime;
    (temp ? Window.BtSelTabTemp : Window.BtSelTabTime)->click();
    ASSERT_TRUE(Link.TickUntil([bar] { return bar->isEnabled(); }));

    QAccessibleInterface* accessible = Accessible(bar);
    EXPECT_EQ(accessible->role(), QAccessible::Slider);
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble(), slider.Value);
    EXPECT_EQ(value->minimumValue().toDouble(), slider.Min);
    EXPECT_EQ(value->maximumValue().toDouble(), slider.Max);
    EXPECT_EQ(value->minimumStepSize().toDouble(), slider.Step);
    EXPECT_FALSE(NameOf(bar).isEmpty());

    bar->setFocus(Qt::TabFocusReason);
    const TAnnouncements announced;
    Key(Qt::Key_Up);
    EXPECT_EQ(value->currentValue().toDouble(), slider.AfterUp);
    EXPECT_EQ(announced.Values(bar), std::vector<double>{slider.AfterUp});

    value->setCurrentValue(slider.Set);
    EXPECT_EQ(bar->Value() * bar->ValueScale(), slider.Set);
    EXPECT_EQ(shown->text(), QString::fromUtf8(slider.ValueShown));
    EXPECT_EQ(announced.Values(bar), (std::vector<double>{slider.AfterUp, slider.Set}));
}

INSTANTIATE_TEST_SUITE_P(
    SetpointPages, Slider,
    ::testing::Values(TSliderCase{"TemperatureInDegrees", 1, 80, 40, 110, 1, 81, 95, "95"},
                      TSliderCase{"WorkTimeInMinutes", 2, 120, 30, 630, 10, 130, 300, "05:00"}),
    [](const auto& info) { return info.param.Name; });

struct TLoadingCase {
    std::string Name;
    int Page;
    // Requests the gateway serves before the controller has loaded the edit block.
    int EditDelay;
    const char* What;
    // The value's name once the page has its setpoint, or has given up.
    const char* Then;
};

class LoadingPage : public ScreenReader, public ::testing::WithParamInterface<TLoadingCase> {};

// Until the setpoint is there, up, down, store and the bar are disabled for the eye and the
// screen reader, and the value's name says that it loads; then they act, or the name says the
// load failed.
TEST_P(LoadingPage, DisablesItsControlsAndSaysSo) {
    const TLoadingCase& page = GetParam();
    const bool temp = page.Page == 1;
    const std::vector<QWidget*> controls =
        temp ? std::vector<QWidget*>{Window.BtSetTempUp, Window.BtSetTempDn, Window.BtSetTempWrite,
                                     Window.ScBarSetTemp}
             : std::vector<QWidget*>{Window.BtSetTimeUp, Window.BtSetTimeDn, Window.BtSetTimeWrite,
                                     Window.ScBarSetTime};
    QLabel* value = temp ? Window.LabSetTemp : Window.LabSetTime;
    const QString what = QString::fromUtf8(page.What);
    Bus.EditDelay = page.EditDelay;
    (temp ? Window.BtSelTabTemp : Window.BtSelTabTime)->click();
    Link.Rig.Tick(1);
    for (QWidget* control : controls) {
        EXPECT_TRUE(Accessible(control)->state().disabled) << control->objectName().toStdString();
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_EQ(NameOf(value), what + QString::fromUtf8(", wczytywanie nastawy"));

    const QString then = what + QString::fromUtf8(page.Then);
    ASSERT_TRUE(Link.TickUntil([&] { return NameOf(value) == then; }, 600))
        << NameOf(value).toStdString();
    const bool loaded = controls.front()->isEnabled();
    for (QWidget* control : controls) {
        EXPECT_EQ(Accessible(control)->state().disabled, !loaded);
    }
    if (loaded) {
        controls.front()->setFocus(Qt::TabFocusReason);
        Key(Qt::Key_Up);
        Link.Rig.Tick(1);
        EXPECT_EQ(NameOf(value), what + " " + value->text() + ", zmiana niezapisana");
    }
}

INSTANTIATE_TEST_SUITE_P(
    SetpointPages, LoadingPage,
    ::testing::Values(TLoadingCase{"TemperatureLoads", 1, 6, "Nastawa temperatury", " 80"},
                      TLoadingCase{"WorkTimeLoads", 2, 6, "Nastawa czasu pracy", " 02:00"},
                      TLoadingCase{"TemperatureNeverLoads", 1, 100000, "Nastawa temperatury",
                                   ", nie udało się wczytać nastawy"}),
    [](const auto& info) { return info.param.Name; });

struct TChoiceCase {
    std::string Name;
    QString Action;
    int Sauna;
};

class SaunaChoice : public ScreenReader, public ::testing::WithParamInterface<TChoiceCase> {
protected:
    std::vector<QPushButton*> Saunas() const {
        return {Window.BtSelectSauna1, Window.BtSelectSauna2, Window.BtSelectSauna3,
                Window.Button1};
    }
    // The saunas whose buttons the screen reader hears checked.
    std::vector<int> Checked() const {
        std::vector<int> checked;
        for (QPushButton* button : Saunas()) {
            QAccessibleInterface* accessible = Accessible(button);
            EXPECT_EQ(accessible->role(), QAccessible::RadioButton);
            EXPECT_TRUE(accessible->state().checkable);
            if (accessible->state().checked) {
                checked.push_back(button->property("Tag").toInt());
            }
        }
        return checked;
    }
};

// The action selects the sauna as a click does: the port talks to it and its number shows; one
// button alone is checked, also after the action on the button already checked.
TEST_P(SaunaChoice, TheActionChoosesTheSaunaAndOneButtonIsChecked) {
    const TChoiceCase& choice = GetParam();
    Window.BtSelTabParam->click();
    EXPECT_EQ(Checked(), std::vector<int>{1});
    QPushButton* button = Saunas()[static_cast<std::size_t>(choice.Sauna - 1)];
    QAccessibleActionInterface* actions = Accessible(button)->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(choice.Action));
    for (int repeat = 0; repeat < 2; ++repeat) {
        actions->doAction(choice.Action);
        EXPECT_EQ(Window.Port->SlaveAddr(), choice.Sauna);
        EXPECT_EQ(Checked(), std::vector<int>{choice.Sauna});
    }
    Link.Rig.Tick(1);
    EXPECT_EQ(Window.LabSaunaAddr->text(), QStringLiteral("Sauna %1").arg(choice.Sauna));
    EXPECT_EQ(NameOf(button), QStringLiteral("Sauna %1").arg(choice.Sauna));
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SaunaChoice,
    ::testing::Values(
        TChoiceCase{"ToggleChoosesSauna3", QAccessibleActionInterface::toggleAction(), 3},
        TChoiceCase{"PressChoosesSauna4", QAccessibleActionInterface::pressAction(), 4},
        TChoiceCase{"ToggleOfTheCheckedSauna1", QAccessibleActionInterface::toggleAction(), 1}),
    [](const auto& info) { return info.param.Name; });

// Each page key gives the focus, with its mark, to the page's first control that acts, and
// announces it; a locked field is passed over. A setpoint page's controls act once it has
// loaded: the focus waits on the page's own button and goes on to the page then.
TEST_F(ScreenReader, PageKeysMoveTheFocusToThePage) {
    const struct {
        Qt::Key Opens;
        QWidget* AtOnce;
        QWidget* OnceLoaded;
    } keys[] = {
        {Qt::Key_F5, Window.CheckBoxIPConst, nullptr},
        {Qt::Key_F1, Window.BtAromaSS, nullptr},
        {Qt::Key_F4, Window.BtSelectSauna1, nullptr},
        {Qt::Key_F2, Window.BtSelTabTemp, Window.BtSetTempUp},
        {Qt::Key_F3, Window.BtSelTabTime, Window.BtSetTimeUp},
        {Qt::Key_F5, Window.CheckBoxIPConst, nullptr},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.AtOnce->objectName().toStdString());
        const TAnnouncements announced;
        Key(key.Opens);
        EXPECT_EQ(QApplication::focusWidget(), key.AtOnce);
        EXPECT_TRUE(Accessible(key.AtOnce)->state().focused);
        EXPECT_TRUE(ShowsFocusRing(key.AtOnce));
        std::vector<const QObject*> focused{key.AtOnce};
        if (key.OnceLoaded != nullptr) {
            ASSERT_TRUE(Link.TickUntil([&key] { return key.OnceLoaded->isEnabled(); }));
            EXPECT_EQ(QApplication::focusWidget(), key.OnceLoaded);
            EXPECT_TRUE(ShowsFocusRing(key.OnceLoaded));
            focused.push_back(key.OnceLoaded);
        }
        // The last announcement is the control the key went to.
        const std::vector<const QObject*> heard = announced.Focused();
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back(), focused.back());
        for (const QObject* control : focused) {
            EXPECT_NE(std::find(heard.begin(), heard.end(), control), heard.end());
        }
    }
    EXPECT_FALSE(Window.EditTCP_IPNum->isEnabled());
}

} // namespace
