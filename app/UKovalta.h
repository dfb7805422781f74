#pragma once
// The main window of the panel: start-up and shutdown, and the live status view that follows
// the controller and the link (UKovalta.cpp); the binding of every control's events
// (UKovaltaBindings.cpp); commands, sauna selection, page buttons and press feedback
// (UKovaltaCommands.cpp); link control and the settings page (UKovaltaLink.cpp); setpoint
// editing through the controller's edit block (UKovaltaEditing.cpp).

#include "Display.h"
#include "DravonRTU.h"
#include "KovMainForm.h"
#include "KovUni.h"
#include "StaleLook.h"

#include <QCoreApplication>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>

// Which page the operator last opened through the bottom bar.
enum TKovMode : std::uint8_t {
    KOV_MODE_0, // while the window is being built
    KOV_MODE_MAIN,
    KOV_MODE_SET_TEMP,
    KOV_MODE_SET_TIME,
    KOV_MODE_SET_PARAM,
    KOV_MODE_SETTINGS,
};

class TKovMainNavigation : public TKovMainForm {
    Q_OBJECT
public:
    // Builds the layout, then starts up from "Kovalta_Config.xml" in SettingsDir. The port
    // talks through Client, or through a real TCP client when none is given.
    explicit TKovMainNavigation(const QString& SettingsDir = QCoreApplication::applicationDirPath(),
                                std::unique_ptr<TTCPClient> Client = nullptr,
                                QWidget* parent = nullptr);
    // Saves the settings page into the settings file and frees the port.
    ~TKovMainNavigation() override;

    // Hours and minutes, each two digits at least, joined by ":".
    static QString MinutesToStr(std::int32_t Minutes);

    TKovMode KovMode = KOV_MODE_0;
    // Made by start-up and owned by the window; Port goes first at shutdown.
    std::unique_ptr<TDravonPort> Port;
    std::unique_ptr<TDisplay> Display;
    std::unique_ptr<TProgConfig> Config;
    std::unique_ptr<TStaleLook> StaleLook;

protected:
    // Mouse down and up on the page buttons, for their press feedback.
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The pages of the setpoint editor, described in UKovaltaEditing.cpp.
    struct TSetpointPage;

    // The integer a control carries in its Tag, read by the shared handler of its family.
    static std::int32_t TagOf(const QObject* Sender) { return Sender->property("Tag").toInt(); }

    void BindControls();
    void FormCreate(const QString& SettingsDir, std::unique_ptr<TTCPClient> Client);
    void DeclareSettings(const QString& SettingsDir);
    void ShowSettings();
    void QueuePollSet();
    void SpaceBottomBar();
    void SaveSettings();

    void BtDeviceSSClick(QObject* Sender);
    void BtSaunaModeClick(QObject* Sender);
    void BtSaunaSelectClick(QObject* Sender);
    void BtSelTabMainClick(QObject* Sender);
    void BtSelTabParamClick(QObject* Sender);
    void BtSelTabSettingsClick(QObject* Sender);
    void BtMouseDown(QObject* Sender);
    void BtMouseUp(QObject* Sender);

    void BtWiFiConnectClick(QObject* Sender);
    void ShowServerState(bool Flag);
    void CheckBoxIPConfigChange(QObject* Sender);
    void DisconnectGateway();

    void BtSelTabTempClick(QObject* Sender);
    void BtSelTabTimeClick(QObject* Sender);
    void ReadEditBlock(std::int32_t SocketNum);
    void ShowSetTemp(std::int32_t SocketNum);
    void ShowSetTime(std::int32_t SocketNum);
    void BtTempSPUpDnClick(QObject* Sender);
    void ScBarSetTempChange(QObject* Sender);
    void ScBarSetTimeChange(QObject* Sender);
    void BtSetTempWriteClick(QObject* Sender);
    TSetpointPage TempPage() const;
    TSetpointPage TimePage() const;
    std::optional<TSetpointPage> OpenSetpointPage() const;
    void OpenPage(const TSetpointPage& Page);
    void ShowSetpoint(const TSetpointPage& Page, std::int32_t SocketNum);
    void FollowScrollBar(const TSetpointPage& Page);

    void PortTrans(TPortStatus State);
    void PortError(TPortStatus State, TPortError ECode);
    void ShowLinkIndicators(TPortStatus State);
    void ShowTxRx(TPortStatus State);
    void ShowWorkTime();
    void ShowOutputs();
    void ShowHeatingMode();

    // Reads of the edit block completed since a setpoint page was last opened; the re-reads
    // stop at a bound.
    std::int32_t FEditReads = 0;
    // A read for the page open now has completed since it was opened: its up, down and store
    // buttons wait for it, so that they never work on the 0 of the opening or on the other
    // page's value.
    bool FEditPageLoaded = false;
};
