// The panel from the keyboard and through a screen reader, on the real window and the scripted
// gateway: Tab reaches every control that acts, Space and Enter press the focused button, F1 to
// F5 open the pages, Up, Down and Enter step and store on a setpoint page, the focus mark shows
// only once the keyboard is used, and every control and reading has a Polish accessible name
// with its value or state.
#include "LinkedWindow.h"

#include "FitToScreen.h"
#include "FocusRing.h"
#include "QtPrinters.h"
#include "ScreenReaderOn.h"
#include "TStyledButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

constexpr std::uint8_t WRITE_REGISTER = 6;
constexpr std::uint8_t READ_REGISTERS = 3;

class Keyboard : public ::testing::Test {
protected:
    Keyboard() {
        // The edit block holds the setpoint (90 degrees) at once, in steps of one degree.
        Link.Controller.WriteTableREG(102, 900);
        Link.Controller.WriteTableREG(103, 400);
        Link.Controller.WriteTableREG(104, 1100);
        Link.Controller.WriteTableREG(107, 10);
        Window.show();
        QApplication::setActiveWindow(&Window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    void Key(Qt::Key Pressed) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &Window;
        QTest::keyClick(target, Pressed);
    }
    // Every widget Tab gives the focus to, going round the window twice.
    std::set<QWidget*> TabRound() {
        std::set<QWidget*> reached;
        for (int press = 0; press < 60; ++press) {
            Key(Qt::Key_Tab);
            reached.insert(QApplication::focusWidget());
        }
        return reached;
    }
    static QString AccessibleName(QWidget* Control) {
        return QAccessible::queryAccessibleInterface(Control)->text(QAccessible::Name);
    }

    LinkedWindow Link;
    TKovMainNavigation& Window = Link.Window();
};

TEST_F(Keyboard, TabReachesEveryActingControlOfThePageShownAndTheBottomBar) {
    const std::vector<QWidget*> bottomBar{Window.BtSelTabMain, Window.BtSelTabTemp,
                                          Window.BtSelTabTime, Window.BtSelTabParam,
                                          Window.BtSelTabSettings};
    // The setpoint pages' controls act once their page has loaded the setpoint.
    const struct {
        Qt::Key Opens;
        std::vector<QWidget*> Controls;
        int SetpointPage;
    } pages[] = {
        {Qt::Key_F1,
         {Window.BtAromaSS, Window.BtVentSS, Window.BtLight2SS, Window.BtLight1SS,
          Window.BtHeaterSS, Window.BtSaunaMode},
         0},
        {Qt::Key_F2,
         {Window.BtSetTempUp, Window.BtSetTempDn, Window.BtSetTempWrite, Window.ScBarSetTemp},
         1},
        {Qt::Key_F3,
         {Window.BtSetTimeUp, Window.BtSetTimeDn, Window.BtSetTimeWrite, Window.ScBarSetTime},
         2},
        // The sauna buttons are one radio group: one stop, at the chosen sauna.
        {Qt::Key_F4, {Window.BtSelectSauna1}, 0},
        // The address and port are locked while the link runs.
        {Qt::Key_F5,
         {Window.CheckBoxIPConst, Window.CheckBoxIPAuto, Window.CheckBoxConnectAuto,
          Window.BtWiFiConnect},
         0},
    };
    for (const auto& page : pages) {
        Key(page.Opens);
        if (page.SetpointPage != 0) {
            ASSERT_TRUE(Link.OpenLoadedSetpointPage(page.SetpointPage));
        }
        const std::set<QWidget*> reached = TabRound();
        EXPECT_FALSE(reached.count(&Window)); // the window is no stop of its own
        for (QWidget* control : page.Controls) {
            EXPECT_TRUE(reached.count(control)) << control->objectName().toStdString();
        }
        for (QWidget* control : bottomBar) {
            EXPECT_TRUE(reached.count(control)) << control->objectName().toStdString();
        }
    }
}

TEST_F(Keyboard, FunctionKeysOpenTheFivePages) {
    const std::pair<Qt::Key, int> pages[] = {
        {Qt::Key_F5, 4}, {Qt::Key_F4, 3}, {Qt::Key_F3, 2}, {Qt::Key_F2, 1}, {Qt::Key_F1, 0}};
    for (const auto& [key, page] : pages) {
        Key(key);
        EXPECT_EQ(Window.TabControl->currentIndex(), page) << page;
    }
}

// In the sauna buttons' group the arrow keys move and choose, as in any group of radio buttons.
TEST_F(Keyboard, ArrowKeysChooseASaunaInTheGroup) {
    Key(Qt::Key_F4);
    ASSERT_EQ(QApplication::focusWidget(), Window.BtSelectSauna1);
    const std::pair<Qt::Key, QPushButton*> moves[] = {{Qt::Key_Down, Window.BtSelectSauna2},
                                                      {Qt::Key_Down, Window.BtSelectSauna3},
                                                      {Qt::Key_Up, Window.BtSelectSauna2}};
    for (const auto& [key, chosen] : moves) {
        Key(key);
        EXPECT_EQ(QApplication::focusWidget(), chosen);
        EXPECT_TRUE(chosen->isChecked());
        EXPECT_EQ(Window.Port->SlaveAddr(), chosen->property("Tag").toInt());
    }
    int checked = 0;
    for (QPushButton* sauna :
         {Window.BtSelectSauna1, Window.BtSelectSauna2, Window.BtSelectSauna3, Window.Button1}) {
        checked += sauna->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(checked, 1);
}

// On the temperature page Up steps by the controller's step and Enter stores, on the wire; on
// the main page Enter and Space press the focused output button.
TEST_F(Keyboard, KeysStepStoreAndPressButtons) {
    Key(Qt::Key_F2);
    ASSERT_TRUE(Link.TickUntilAnswered(READ_REGISTERS, 102, 7));
    EXPECT_EQ(Window.LabSetTemp->text(), "90");
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    EXPECT_EQ(Window.LabSetTemp->text(), "91");
    Key(Qt::Key_Return);
    ASSERT_TRUE(Link.TickUntilAnswered(WRITE_REGISTER, 2, 330));
    EXPECT_EQ(Link.Controller.ReadTableREG(102), 910);

    Key(Qt::Key_F1);
    for (int press = 0; press < 40 && QApplication::focusWidget() != Window.BtLight1SS; ++press) {
        Key(Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), Window.BtLight1SS);
    const QSignalSpy clicks(Window.BtLight1SS, &QAbstractButton::clicked);
    Key(Qt::Key_Space);
    Key(Qt::Key_Return);
    // Enter shows the press before the click, as the mouse does: the click comes after it.
    ASSERT_TRUE(QTest::qWaitFor([&clicks] { return clicks.count() == 2; }, 2000));
    Link.TickUntil([this] { return Link.CountRequests(WRITE_REGISTER, 2, 111) == 2; });
    EXPECT_EQ(Link.CountRequests(WRITE_REGISTER, 2, 111), 2);
}

// A click gives no control the focus, and until the keyboard moves the focus no control wears a
// focus mark, neither the panel's ring nor the platform's frame: the window's first control
// holds the focus unmarked. The first Tab shows the ring.
TEST_F(Keyboard, AMouseOperatorSeesNoFocusMark) {
    EXPECT_EQ(Window.focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(Window.BtLight1SS, Qt::LeftButton);
    QTest::mouseClick(Window.BtSelTabParam, Qt::LeftButton);
    QTest::mouseClick(Window.BtSelectSauna2, Qt::LeftButton);
    for (QWidget* clicked :
         {static_cast<QWidget*>(Window.BtLight1SS), static_cast<QWidget*>(Window.BtSelTabParam),
          static_cast<QWidget*>(Window.BtSelectSauna2)}) {
        EXPECT_FALSE(clicked->hasFocus()) << clicked->objectName().toStdString();
    }
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_FALSE(ShowsFocusRing(focused)) << focused->objectName().toStdString();
    EXPECT_FALSE(Window.testAttribute(Qt::WA_KeyboardFocusChange));
    Key(Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(ShowsFocusRing(QApplication::focusWidget()));
}

// The heating sauna of the scripted gateway: 85.3 degrees of 90, heater and light 1 on.
TEST_F(Keyboard, ReadingsAndOutputsHaveTheirValuesInTheirNames) {
    const TScreenReaderOn screenReader;
    EXPECT_EQ(AccessibleName(Window.Rectangle7LED), QString::fromUtf8("Temperatura 85 \u00B0C"));
    EXPECT_EQ(AccessibleName(Window.LabelTempSet),
              QString::fromUtf8("Temperatura zadana 90\u00B0C"));
    EXPECT_EQ(AccessibleName(Window.LabSetWorkTime), QString::fromUtf8("Czas pracy zadany 02:00"));
    EXPECT_EQ(AccessibleName(Window.BtHeaterSS), QString::fromUtf8("Grzanie, włączone"));
    EXPECT_EQ(AccessibleName(Window.BtLight2SS), QString::fromUtf8("Światło 2, wyłączone"));
    EXPECT_EQ(AccessibleName(Window.LabSaunaAddr), QString::fromUtf8("Wybrana Sauna 1"));
    for (QWidget* control :
         {static_cast<QWidget*>(Window.BtSaunaMode), static_cast<QWidget*>(Window.BtSetTempUp),
          static_cast<QWidget*>(Window.BtSetTimeWrite), static_cast<QWidget*>(Window.ScBarSetTemp),
          static_cast<QWidget*>(Window.EditTCP_IPNum), static_cast<QWidget*>(Window.BtSelTabMain),
          static_cast<QWidget*>(Window.BtWiFiConnect),
          static_cast<QWidget*>(Window.BtSelectSauna3)}) {
        EXPECT_FALSE(AccessibleName(control).isEmpty()) << control->objectName().toStdString();
    }
    Link.Controller.WriteTableREG(15, 912); // the measured temperature
    ASSERT_TRUE(Link.TickUntil([this] {
        return AccessibleName(Window.Rectangle7LED) == QString::fromUtf8("Temperatura 91 \u00B0C");
    }));
}

// A 1366 x 768 screen holds less than the panel's height: the panel comes in a scroll area as
// tall as the screen allows, and a click reaches the bottom bar once it is scrolled to. A
// screen that holds the panel shows it as it is.
TEST(SmallScreen, TheBottomBarIsReachedOnALaptopScreen) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    EXPECT_EQ(FitToScreen(window, QSize(1920, 1080)), nullptr);
    const std::unique_ptr<QScrollArea> area = FitToScreen(window, QSize(1366, 768));
    ASSERT_NE(area, nullptr);
    area->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get()));
    EXPECT_LE(area->height(), 768);
    area->ensureWidgetVisible(window.BtSelTabSettings);
    QApplication::processEvents();
    const QPoint at =
        window.BtSelTabSettings->mapTo(area.get(), window.BtSelTabSettings->rect().center());
    ASSERT_TRUE(area->rect().contains(at));
    QTest::mouseClick(area->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(window.TabControl->currentIndex(), 4);
    area->takeWidget();
}

} // namespace
