#pragma once
// The real main window in a settings directory of its own, talking through the scripted TCP
// client: nothing reaches the network, and the port's tick is driven by hand.
#include "FakeTCPClient.h"
#include "UKovalta.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// The five settings as the file holds them, each element's text as written.
struct TSettingsFile {
    QString Address = QStringLiteral("127.0.0.1");
    QString PortNum = QStringLiteral("502");
    bool ConstIP = true;
    bool AutoIP = false;
    bool ConnectAuto = false;
};

// Writes the settings file at Path.
void WriteSettingsFile(const QString& Path, const TSettingsFile& File);

// A heating sauna as the poll set reads it: 85 degrees of 90, heater and light 1 on, the
// infrared heating mode, model M-C at version 1.10, half an hour of two gone.
void FillHeatingSauna(TSaunaMX& Sauna);

class WindowRig {
public:
    // Writes File into a fresh directory first; without one the window starts with no file.
    explicit WindowRig(const std::optional<TSettingsFile>& File = TSettingsFile{});
    ~WindowRig();

    // Builds the window again in the same directory, on a new scripted client.
    void Start();
    // Closes the window: the shutdown saves the settings file.
    void Close();
    // Runs Count ticks of the port, 100 ms apart on the scripted clock.
    void Tick(int Count);
    // The text of the element Name in the settings file; empty when there is none.
    QString Saved(const QString& Name) const;
    QString SettingsPath() const;

    TSaunaMX& Sauna() { return *Window->Port->Sauna; }
    // Raises the port's progress event as the port does at the end of a step.
    void Raise(TPortStatus State, TPortError ECode = NO_ERROR, bool Connected = true);

    QTemporaryDir Dir;
    FakeTCPClient* Fake = nullptr;
    std::unique_ptr<TKovMainNavigation> Window;
};
