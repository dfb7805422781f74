#pragma once
// The texts the status view shows for the controller's model and firmware version.

#include <QString>

#include <cstdint>

// The model name of a controller type code; empty for a code the panel does not know.
QString ControllerModelText(std::int32_t TypeCode);

// Upper-case hexadecimal, at least three digits, with a point after the first: 0x110 is "1.10".
QString FirmwareVersionText(std::int32_t Version);
