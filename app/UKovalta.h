#pragma once
// The main window of the panel: start-up and shutdown, and the live status view that follows
// the controller and the link (UKovalta.cpp); the binding of every control's events
// (UKovaltaBindings.cpp); commands, sauna selection, page buttons and press feedback
// (UKovaltaCommands.cpp); link control and the settings page (UKovaltaLink.cpp); setpoint
// editing through the controller's edit block (UKovaltaEditing.cpp).

#include "AssistiveTechnology.h"
#include "Display.h"
#include "DravonRTU.h"
#include "EditBlockQueue.h"
#include "EditSession.h"
#include "KovMainForm.h"
#include "KovMode.h"
#include "KovUni.h"
#include "PendingCommands.h"
#include "ReadingsSnapshot.h"
#include "SaunaREG.h"
#include "SetpointPageLook.h"
#include "StaleLook.h"

#include <QCoreApplication>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>

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
    // The loads and stores of setpoints, one at a time on each sauna's edit block.
    std::unique_ptr<TEditBlockQueue> EditBlocks;

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
    void SendCommand(QObject* Sender, std::int32_t Code, TReadBack Shows);
    void MarkSelectedSauna();
    void RequestFailed(std::int32_t SocketNum);

    void BtWiFiConnectClick(QObject* Sender);
    void ShowServerState(bool Flag);
    void CheckBoxIPConfigChange(QObject* Sender);
    void DisconnectGateway();

    void BtSelTabTempClick(QObject* Sender);
    void BtSelTabTimeClick(QObject* Sender);
    void BtTempSPUpDnClick(QObject* Sender);
    void ScBarSetTempChange(QObject* Sender);
    void ScBarSetTimeChange(QObject* Sender);
    void BtSetTempWriteClick(QObject* Sender);
    void SetUpEditing();
    TSetpointPage TempPage();
    TSetpointPage TimePage();
    std::optional<TSetpointPage> OpenSetpointPage();
    void OpenPage(const TSetpointPage& Page);
    void QueueLoad(const TSetpointPage& Page);
    void ReloadOpenPage();
    bool IsLoading(std::int32_t Opening) const;
    void EditBlockRead(std::int32_t Opening);
    void LoadEnded(std::int32_t Opening, bool Loaded);
    void RefreshOpenPage();
    void RefreshPage(const TSetpointPage& Page);
    void SetBar(const TSetpointPage& Page, double Value);
    void FollowScrollBar(const TSetpointPage& Page);
    void SetEditValue(std::int32_t Value);
    TSetpointState ShownState() const;
    void StoreEnded(std::int32_t Opening, std::int32_t Value, bool Stored);
    bool Editable(const TSetpointPage& Page) const;

    void SetUpKeyboard();
    bool FocusPage();
    void NameControls();
    void ShowAccessibleValues();

    void PortTrans(TPortStatus State);
    void PortError(TPortStatus State, TPortError ECode);
    QString StatusLineText(TPortError ECode) const;
    void ShowLockedLook();
    void ShowLinkIndicators(TPortStatus State);
    void ShowTxRx(TPortStatus State);
    void ShowReadings();
    void DrawReadings();
    void ShowWorkTime();
    void ShowOutputs();
    void ShowHeatingMode();
    void ShowControllerInfo();

    TEditSession FEdit;
    std::unique_ptr<TSetpointPageLook> FTempLook;
    std::unique_ptr<TSetpointPageLook> FTimeLook;
    TPendingCommands FPending;
    // What the status line adds to the link's state: a command that did not reach the
    // controller, an address the gateway cannot be dialled at.
    QString FCommandNote;
    QString FAddressNote;
    // The page's own setting of its scroll bar is not an operator's move.
    bool FSettingBar = false;
    // Where each page last put its bar: a bar moved while its page takes no edit goes back there.
    double FTempBarShown = 0;
    double FTimeBarShown = 0;
    // The readings' names with their values are made only while a screen reader listens.
    std::unique_ptr<TAssistiveTechnology> FAssistiveTechnology;
    // What the readings on screen were drawn from; none before the first drawing.
    std::optional<TReadingsSnapshot> FReadingsShown;
};
