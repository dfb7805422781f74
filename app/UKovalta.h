#pragma once
// The main window of the panel: start-up and shutdown, and the live status view that follows
// the controller and the link.

#include "Display.h"
#include "DravonRTU.h"
#include "KovMainForm.h"
#include "KovUni.h"
#include "StaleLook.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <memory>

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

private:
    void BindControls();
    void FormCreate(const QString& SettingsDir, std::unique_ptr<TTCPClient> Client);
    void DeclareSettings(const QString& SettingsDir);
    void ShowSettings();
    void QueuePollSet();
    void SpaceBottomBar();
    void SaveSettings();

    void CheckBoxIPConfigChange(QObject* Sender);

    void PortTrans(TPortStatus State);
    void PortError(TPortStatus State, TPortError ECode);
    void ShowLinkIndicators(TPortStatus State);
    void ShowTxRx(TPortStatus State);
    void ShowWorkTime();
    void ShowOutputs();
    void ShowHeatingMode();
};
