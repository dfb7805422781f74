// Start-up and shutdown of the real window: the settings file into the settings page and the
// port, the poll set, the first page and the bottom bar, and the settings saved at exit.
#include "WindowRig.h"

#include "SaunaREG.h"
#include "TDockBar.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(StartUp, MissingFileIsCreatedWithTheDefaultsAndShown) {
    WindowRig rig(std::nullopt);
    ASSERT_TRUE(QFile::exists(rig.SettingsPath()));
    EXPECT_EQ(rig.Saved("Records"), "5");
    EXPECT_EQ(rig.Saved("ServerTCP-IP"), "192.168.0.222");
    EXPECT_EQ(rig.Saved("ServerTCP-Port"), "502");
    EXPECT_EQ(rig.Saved("ServerTCP-ConstIP"), "1");
    EXPECT_EQ(rig.Saved("ServerTCP-AutoIP"), "0");
    EXPECT_EQ(rig.Saved("ServerTCP-ConnectAuto"), "1");

    const TKovMainNavigation& window = *rig.Window;
    EXPECT_EQ(window.EditTCP_IPNum->text(), "192.168.0.222");
    EXPECT_EQ(window.EditTCP_PortNum->text(), "502");
    EXPECT_TRUE(window.CheckBoxIPConst->isChecked());
    EXPECT_FALSE(window.CheckBoxIPAuto->isChecked());
    EXPECT_TRUE(window.CheckBoxConnectAuto->isChecked());
    EXPECT_EQ(window.Port->ServerTCPIPNum(), "192.168.0.222");
    EXPECT_EQ(window.Port->ServerTCPPortNum(), 502);
    EXPECT_TRUE(window.Port->AutoConnect());
    EXPECT_TRUE(window.Port->SocketServerStart());
}

TEST(StartUp, PortConnectsByItselfAfterTheStartDelay) {
    TSettingsFile file;
    file.ConnectAuto = true;
    WindowRig rig(file);
    rig.Tick(TDravonPort::START_DELAY_TICKS + 1);
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    rig.Tick(1);
    EXPECT_EQ(rig.Fake->ConnectCalls, 1);
    EXPECT_EQ(rig.Fake->Host, "127.0.0.1");
    EXPECT_EQ(rig.Fake->Port, 502);
}

TEST(StartUp, AutoConnectOffKeepsTheLinkStoppedAndSendsNothing) {
    WindowRig rig;
    EXPECT_FALSE(rig.Window->CheckBoxConnectAuto->isChecked());
    rig.Tick(TDravonPort::START_DELAY_TICKS + 30);
    EXPECT_EQ(rig.Window->Port->Status(), PORT_STOP);
    EXPECT_EQ(rig.Fake->ConnectCalls, 0);
    EXPECT_TRUE(rig.Fake->Written.empty());
    EXPECT_EQ(TextColor(rig.Window->LabG700Stat), QColor(0xFFFF0000));
}

struct TAddressModeCase {
    bool ConstIP;
    bool AutoIP;
    bool ConstChecked;
    bool AutoChecked;
    bool AddressEnabled;
};

class AddressMode : public ::testing::TestWithParam<TAddressModeCase> {};

TEST_P(AddressMode, RecordsGiveTheCheckBoxesAndTheAddressField) {
    const TAddressModeCase& mode = GetParam();
    TSettingsFile file;
    file.ConstIP = mode.ConstIP;
    file.AutoIP = mode.AutoIP;
    WindowRig rig(file);
    EXPECT_EQ(rig.Window->CheckBoxIPConst->isChecked(), mode.ConstChecked);
    EXPECT_EQ(rig.Window->CheckBoxIPAuto->isChecked(), mode.AutoChecked);
    EXPECT_EQ(rig.Window->EditTCP_IPNum->isEnabled(), mode.AddressEnabled);

    rig.Close();
    EXPECT_EQ(rig.Saved("ServerTCP-ConstIP"), mode.ConstChecked ? "1" : "0");
    EXPECT_EQ(rig.Saved("ServerTCP-AutoIP"), mode.AutoChecked ? "1" : "0");
}

INSTANTIATE_TEST_SUITE_P(FourCombinations, AddressMode,
                         ::testing::Values(TAddressModeCase{true, false, true, false, true},
                                           TAddressModeCase{false, true, false, true, false},
                                           TAddressModeCase{true, true, false, true, false},
                                           TAddressModeCase{false, false, false, false, true}));

// A click on the box's indicator, which a click in the middle of a wide box would miss.
void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

TEST(StartUp, ClickingOneAddressModeBoxSetsTheOtherOpposite) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    ClickBox(window.CheckBoxIPAuto);
    EXPECT_TRUE(window.CheckBoxIPAuto->isChecked());
    EXPECT_FALSE(window.CheckBoxIPConst->isChecked());
    EXPECT_FALSE(window.EditTCP_IPNum->isEnabled());

    ClickBox(window.CheckBoxIPConst);
    EXPECT_TRUE(window.CheckBoxIPConst->isChecked());
    EXPECT_FALSE(window.CheckBoxIPAuto->isChecked());
    EXPECT_TRUE(window.EditTCP_IPNum->isEnabled());
}

TEST(StartUp, PollSetSitsInSlotsOneToFiveForUnitOne) {
    WindowRig rig;
    const TDravonSockets& sockets = *rig.Window->Port->Sockets;
    ASSERT_EQ(sockets.Count(), static_cast<std::int32_t>(std::size(POLL_SET)));
    for (std::int32_t slot = 1; slot <= sockets.Count(); ++slot) {
        SCOPED_TRACE(slot);
        const TPollBlock& block = POLL_SET[slot - 1];
        EXPECT_EQ(sockets.GetMode(slot), SOCKET_MODE_MULTI);
        EXPECT_EQ(sockets.GetSlaveAddr(slot), 1);
        EXPECT_EQ(sockets.GetFunctionCode(slot),
                  block.Coils ? SOCKET_FUNCTION_READ_COILS : SOCKET_FUNCTION_READ_REGISTERS);
        EXPECT_EQ(sockets.GetRegNum(slot), block.First);
        EXPECT_EQ(sockets.GetRegCount(slot), block.Count);
    }
    EXPECT_EQ(sockets.GetMode(6), SOCKET_MODE_NONE);
}

TEST(StartUp, MainPageIsShownAndTheBottomBarIsSpaced) {
    WindowRig rig;
    TKovMainNavigation& window = *rig.Window;
    EXPECT_EQ(window.TabControl->currentWidget(), window.TabPanel);
    EXPECT_EQ(window.KovMode, KOV_MODE_MAIN);
    const std::array<TStyledButton*, 5> buttons{window.BtSelTabMain, window.BtSelTabTemp,
                                                window.BtSelTabTime, window.BtSelTabParam,
                                                window.BtSelTabSettings};
    const std::array<int, 5> spacedX{30, 108, 186, 264, 342};
    for (std::size_t index = 0; index < buttons.size(); ++index) {
        EXPECT_EQ(window.ToolBarBottom->LeftMargin(buttons[index]), 30);
        EXPECT_EQ(buttons[index]->x(), spacedX[index]);
    }
    for (const TStyledButton* button : {window.BtAromaSS, window.BtVentSS, window.BtLight1SS,
                                        window.BtLight2SS, window.BtHeaterSS, window.BtSaunaMode}) {
        EXPECT_EQ(button->ImageList(), window.ImageListBR) << button->objectName().toStdString();
    }
}

TEST(Shutdown, TypedAddressIsSavedAndUsedAtTheNextStart) {
    WindowRig rig;
    rig.Window->EditTCP_IPNum->clear();
    QTest::keyClicks(rig.Window->EditTCP_IPNum, "127.0.0.2");
    rig.Close();
    EXPECT_EQ(rig.Saved("ServerTCP-IP"), "127.0.0.2");

    rig.Start();
    EXPECT_EQ(rig.Window->EditTCP_IPNum->text(), "127.0.0.2");
    EXPECT_EQ(rig.Window->Port->ServerTCPIPNum(), "127.0.0.2");
}

TEST(Shutdown, PortFieldThatIsNoIntegerKeepsThePortRecordAndSavesTheRest) {
    TSettingsFile file;
    file.PortNum = "1502";
    WindowRig rig(file);
    TKovMainNavigation& window = *rig.Window;
    window.EditTCP_PortNum->setText("15o2");
    window.EditTCP_IPNum->setText("127.0.0.3");
    window.CheckBoxIPAuto->setChecked(true);
    window.CheckBoxConnectAuto->setChecked(true);
    rig.Close();
    EXPECT_EQ(rig.Saved("ServerTCP-Port"), "1502");
    EXPECT_EQ(rig.Saved("ServerTCP-IP"), "127.0.0.3");
    EXPECT_EQ(rig.Saved("ServerTCP-ConstIP"), "0");
    EXPECT_EQ(rig.Saved("ServerTCP-AutoIP"), "1");
    EXPECT_EQ(rig.Saved("ServerTCP-ConnectAuto"), "1");
}

TEST(Shutdown, PortFieldIsSavedAsTheIntegerItHolds) {
    WindowRig rig;
    rig.Window->EditTCP_PortNum->setText(" $1F7");
    rig.Close();
    EXPECT_EQ(rig.Saved("ServerTCP-Port"), "503");
}

} // namespace
