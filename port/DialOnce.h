#pragma once
#include "TCPClient.h"

#include <QString>

#include <cstdint>

// One TCP connection attempt to an IPv4 address, never repeated and never waited for. The
// attempt's non-blocking socket, or -1 when the address is no IPv4 address or the attempt failed
// at once; State tells whether it stands already or is pending.
int StartDial(const QString& Address, std::uint16_t Port, TTCPConnect& State);
// How the pending attempt on Socket stands, looked at without waiting. A failed attempt's socket
// is left to the caller to close.
TTCPConnect DialState(int Socket);
