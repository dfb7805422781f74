#pragma once
// The panel's five settings records as the window declares them, and their values read from and
// written to a store as one, for the settings tests and the settings fuzz target.
#include "KovUni.h"

#include <QString>

#include <cstdint>
#include <ostream>

inline const QString PANEL_CONFIG_NAME = QStringLiteral("Kovalta_Config");

// The panel's five settings, as the window reads them from the store; defaults as declared.
struct PanelValues {
    QString ip = QStringLiteral("192.168.0.222");
    std::int32_t port = 502;
    bool constIp = true;
    bool autoIp = false;
    bool connectAuto = true;
    bool operator==(const PanelValues&) const = default;
};

void PrintTo(const PanelValues& v, std::ostream* os);

void DeclarePanelRecords(TProgConfig& store);
PanelValues ReadPanel(const TProgConfig& store);
void WritePanel(TProgConfig& store, const PanelValues& v);
