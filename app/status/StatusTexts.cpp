#include "StatusTexts.h"

QString ControllerModelText(std::int32_t TypeCode) {
    switch (TypeCode) {
    case 0x21:
        return QStringLiteral("M-A");
    case 0x31:
        return QStringLiteral("M-B");
    case 0x32:
        return QStringLiteral("M-C");
    case 0x33:
        return QStringLiteral("M-D");
    case 0x41:
        return QStringLiteral("MX-A");
    case 0x46:
        return QStringLiteral("MX-B");
    default:
        return {};
    }
}

QString FirmwareVersionText(std::int32_t Version) {
    QString digits = QString::number(Version, 16).toUpper().rightJustified(3, QLatin1Char('0'));
    return digits.insert(1, QLatin1Char('.'));
}
