#include "GatewayAddress.h"

#include <QHostAddress>

bool IsGatewayAddress(const QString& Host) {
    QHostAddress address;
    return address.setAddress(Host) && address.protocol() == QAbstractSocket::IPv4Protocol;
}
