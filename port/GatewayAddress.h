#pragma once
#include <QString>

// The gateway is dialled by its IPv4 address only: a name is never looked up, as a lookup could
// block beyond the connect time-out and reach beyond the gateway.
bool IsGatewayAddress(const QString& Host);
