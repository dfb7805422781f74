#pragma once
// The colours the status view paints the link indicators and lamps with (ARGB).

#include <QRgb>

namespace StatusColours {
constexpr QRgb GreenYellow = 0xFFADFF2F; // started, connected, the side now in progress
constexpr QRgb Red = 0xFFFF0000;         // stopped gateway, no connection, the side that failed
constexpr QRgb DimGray = 0xFF696969;     // idle; the link rectangle while stopped
constexpr QRgb DarkGreen = 0xFF006400;   // the other side of the transaction in progress
constexpr QRgb Orange = 0xFFFFA500;      // both sides while not connected
constexpr QRgb Transparent = 0x00000000; // the lamp of an output that is off
} // namespace StatusColours
